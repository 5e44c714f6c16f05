#pragma once
// What a skinned edit shows, derived from its state (nothing of it is stored):
// - image: ImageNormal; in ErrorMode ImageError when present; disabled:
//   ImageDisabled when present; enabled and focused: ImageSelected when present
//   (also in ErrorMode); enabled, not focused, not in ErrorMode: with the hover
//   flag ImageOver when present, else with the empty flag ImageEmpty when present;
// - font: FontDisabled when disabled, else FontError in ErrorMode, else FontNormal;
// - the prompt (TextHint) shows while empty, not focused and not in ErrorMode.
//
// Portable, pure.
#include <cstdint>

enum class TEditImage : std::uint8_t { Normal, Over, Selected, Disabled, Error, Empty };
enum class TEditFont : std::uint8_t { Normal, Error, Disabled };

struct TEditState {
    bool Enabled = true;
    bool Focused = false;
    bool ErrorMode = false;
    bool Hover = false;
    bool Empty = false;
};

// Which state images exist (ImageNormal is the fallback, present or not).
struct TEditImages {
    bool Over = false, Selected = false, Disabled = false, Error = false, Empty = false;
};

TEditImage SelectEditImage(const TEditState& state, const TEditImages& images);
TEditFont SelectEditFont(const TEditState& state);
bool EditShowsPrompt(const TEditState& state);
