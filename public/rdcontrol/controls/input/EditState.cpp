#include "public/rdcontrol/controls/input/EditState.h"

TEditImage SelectEditImage(const TEditState& s, const TEditImages& images) {
    TEditImage image = TEditImage::Normal;
    if (s.ErrorMode && images.Error) image = TEditImage::Error;
    if (!s.Enabled) {
        if (images.Disabled) image = TEditImage::Disabled;
        return image;
    }
    if (s.Focused) {
        if (images.Selected) image = TEditImage::Selected;
        return image;
    }
    if (!s.ErrorMode) {
        if (s.Hover) {
            if (images.Over) image = TEditImage::Over;
        } else if (s.Empty && images.Empty) {
            image = TEditImage::Empty;
        }
    }
    return image;
}

TEditFont SelectEditFont(const TEditState& s) {
    if (!s.Enabled) return TEditFont::Disabled;
    return s.ErrorMode ? TEditFont::Error : TEditFont::Normal;
}

bool EditShowsPrompt(const TEditState& s) { return s.Empty && !s.Focused && !s.ErrorMode; }
