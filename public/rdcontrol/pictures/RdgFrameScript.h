#pragma once
// Frame scripts of RDG picture descriptors and the animation that plays them.
//
// A script lists what an animated picture shows, e.g. "1-4r" or "1,2,d=300,5-3":
// - items are separated by ","; blanks anywhere are ignored;
// - "n" is one frame; "a-b" counts from a to b (up or down);
// - a trailing "r" plays the range forward and back without repeating its ends
//   (1-4r: 1,2,3,4,3,2) and puts a loop marker after it, so it repeats forever;
// - a trailing "*" plays the range in its direction and starts it again (1-3*:
//   1,2,3,1,2,3...): a loop marker after it, no way back. A script that is only
//   such a range ("<1-12*>") needs no frame list at all: it plays as a plain index
//   range (PlainFrameRange, TRdgAnimation::LoadRange), of any length;
// - "d=t" or "duration=t" starts a segment whose frames share t milliseconds; the
//   first segment shares the descriptor's duration. A closed segment of more than one
//   frame gets a duration entry in front of its frames carrying t / frame count.
// Unreadable items add nothing; an unreadable or negative t counts as 0.
//
// Nothing here runs a timer: the host passes times in (milliseconds from any fixed
// origin) and repaints when Tick says so.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class TRdgEntryKind : std::uint8_t { Frame, Duration, Loop };

struct TRdgFrameEntry {
    TRdgEntryKind Kind = TRdgEntryKind::Frame;
    // Frame: the frame number; Duration: the segment's t; Loop: the index to go on at.
    int Value = 0;
    // Duration only: t divided by the segment's frame count.
    int Interval = 0;

    bool operator==(const TRdgFrameEntry&) const = default;
};

// A script is text from an untrusted file, and "1-1000000000" is three characters:
// the list stops growing at this many entries (markers and duration entries
// included). Ten thousand frames is far beyond any real animation.
inline constexpr std::size_t kRdgMaxFrameEntries = 10000;

struct TRdgFrameList {
    std::vector<TRdgFrameEntry> Entries;
    bool Truncated = false;  // the script asked for more than kRdgMaxFrameEntries
    std::size_t FrameCount() const;
};

// Compiles script (the text between "<" and ">") with duration as the first
// segment's time.
TRdgFrameList CompileFrameScript(std::string_view script, int duration);

// first and last of a script that is one wrapping range "a-b*" and nothing else
// (blanks aside); nullopt for any other script.
std::optional<std::pair<int, int>> PlainFrameRange(std::string_view script);

// Frame k's picture name: the first "%d", "%i" or "%u" in pattern (optionally with a
// "0" flag and a width of up to two digits, as in "%03d") replaced by k. Everything
// else, including further "%" sequences, is taken literally; the pattern is never
// handed to a printf-style formatter.
std::string FormatFrameName(std::string_view pattern, int k);

// Plays a frame list, or a plain range of frame indices when there is no list.
class TRdgAnimation {
public:
    // The animation script describes: a plain range when it is one (PlainFrameRange),
    // else its compiled frame list.
    static TRdgAnimation FromScript(std::string_view script, int duration, bool durationExplicit,
                                    std::int64_t nowMs);
    // When durationExplicit, every entry of the list lasts duration / entry count
    // and duration entries do not change that.
    void Load(std::vector<TRdgFrameEntry> entries, int duration, bool durationExplicit, std::int64_t nowMs);
    // Indices first..last (counting down when first > last), wrapping around; each
    // lasts duration / index count.
    void LoadRange(int first, int last, int duration, std::int64_t nowMs);

    int Frame() const { return FFrame; }
    // Milliseconds until the next Tick is due (never negative).
    int Interval() const { return FInterval; }
    // The time of the current segment.
    int Duration() const { return FDuration; }
    // More than one frame to show: a host needs a timer at all.
    bool Animated() const { return FFrames > 1; }
    // Animated and not stopped for want of being drawn.
    bool Running() const { return Animated() && !FStopped; }

    // The picture was drawn at nowMs; a stopped animation runs again.
    void Drawn(std::int64_t nowMs);
    // One step at nowMs. Returns true when the shown frame changed (repaint needed).
    // A picture not drawn for longer than max(3000, 3 x Interval()) ms stops the
    // animation until Drawn: a hidden control should not keep a timer busy.
    bool Tick(std::int64_t nowMs);

private:
    // Moves from index `from` to the next frame entry, taking duration entries and
    // loop markers on the way. Returns false when no frame entry is reachable.
    bool SeekFrame(std::size_t from);
    void ApplyDuration(const TRdgFrameEntry& entry);

    std::vector<TRdgFrameEntry> FEntries;
    std::size_t FIndex = 0;
    bool FExplicit = false;
    bool FRange = false;
    int FFirst = 0, FLast = 0;
    std::size_t FFrames = 0;
    int FFrame = 0;
    int FInterval = 0;
    int FDuration = 0;
    std::int64_t FLastDrawn = 0;
    bool FStopped = false;
};
