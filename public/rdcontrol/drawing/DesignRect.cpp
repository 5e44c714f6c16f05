#include "public/rdcontrol/drawing/DesignRect.h"

#include <algorithm>

void TDesignRect::Assign(const TDesignRect& source) {
    if (FLeft == source.FLeft && FTop == source.FTop && FRight == source.FRight && FBottom == source.FBottom &&
        FStretchMode == source.FStretchMode)
        return;
    FLeft = source.FLeft;
    FTop = source.FTop;
    FRight = source.FRight;
    FBottom = source.FBottom;
    FStretchMode = source.FStretchMode;
    Changed();
}

void TDesignRect::Draw(const TArgbSurface& image, TArgbSurface& canvas, const TRect& dest,
                       TPixelStretchFilter filter) const {
    const int iw = image.Width(), ih = image.Height();
    if (image.Empty() || dest.IsEmpty()) return;
    const TStretchDrawMode mode = FStretchMode == sdmDefault ? sdmStretch : FStretchMode;
    if (FLeft == 0 && FTop == 0 && FRight == 0 && FBottom == 0 && mode != sdmFill) {
        StretchBlend(canvas, dest, image, image.Bounds(), filter);
        return;
    }

    int l = std::clamp(FLeft, 0, iw), r = std::clamp(FRight, 0, iw);
    int t = std::clamp(FTop, 0, ih), b = std::clamp(FBottom, 0, ih);
    if (mode == sdmStretch) {
        if (dest.Height() == ih) t = b = 0;
        if (dest.Width() == iw) l = r = 0;
    }

    const bool fill = mode == sdmFill;
    auto piece = [&](const TRect& from, const TRect& to) {
        if (from.IsEmpty() || to.IsEmpty()) return;
        if (fill && from.Width() > 3 && from.Height() > 3)
            TileBlend(canvas, to, image, from);
        else
            StretchBlend(canvas, to, image, from, filter);  // 1:1 for the corners
    };

    // Source columns 0 | l | iw - r | iw and rows 0 | t | ih - b | ih map to the
    // destination's D.Left | +l | D.Right - r | D.Right and likewise down.
    const int sx[4] = {0, l, iw - r, iw}, sy[4] = {0, t, ih - b, ih};
    const int dx[4] = {dest.Left, dest.Left + l, dest.Right - r, dest.Right};
    const int dy[4] = {dest.Top, dest.Top + t, dest.Bottom - b, dest.Bottom};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            if (row == 1 && column == 1 && mode == sdmFrame) continue;
            piece(TRect{sx[column], sy[row], sx[column + 1], sy[row + 1]},
                  TRect{dx[column], dy[row], dx[column + 1], dy[row + 1]});
        }
}
