#pragma once
// TDesignRect: how a skin picture is laid over a rectangle of any size, by cutting
// it into nine pieces at four margins. Corners keep their pixels (rounded corners
// and borders stay sharp), edges follow the rectangle along their long side, and
// the centre fills the rest.
//
// Draw(image, canvas, dest), image iw x ih, dest w x h, margins L, T, R, B:
// - an empty image draws nothing;
// - with all margins 0 (and a mode other than sdmFill) the whole picture is
//   stretched over dest;
// - otherwise nine pieces. sdmDefault is sdmStretch. In those two modes a margin
//   pair is dropped along an axis where dest is exactly as long as the picture:
//   nothing needs to stretch there, and overlapping margins (T + B > ih) would
//   otherwise composite some rows twice;
// - corners (L x T, R x T, L x B, R x B) go 1:1 to dest's corners;
// - edges stretch along their long side; sdmFill tiles an edge whose piece is more
//   than 3 pixels both ways (smaller pieces would make visibly busy tiling and
//   cost a blend call per few pixels, so they are stretched);
// - the centre stretches, or in sdmFill tiles under the same condition; sdmFrame
//   does not draw it, leaving what dest already shows;
// - a piece with no source or destination extent is skipped. Every piece is
//   composited source-over with the picture's own alpha.
// Margins are cut to the picture (negative ones count as 0); dest may lie partly
// outside the canvas, which then shows the part of the same drawing inside it.
//
// A plain value. OnChange runs after any property takes a different value (once
// for an Assign that changed anything), so an owning control can repaint.
#include <cstdint>
#include <functional>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/RasterOps.h"

enum TStretchDrawMode : std::uint8_t { sdmDefault, sdmStretch, sdmFill, sdmFrame };

class TDesignRect {
public:
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Right() const { return FRight; }
    int Bottom() const { return FBottom; }
    TStretchDrawMode StretchMode() const { return FStretchMode; }

    void SetLeft(int value) { Set(FLeft, value); }
    void SetTop(int value) { Set(FTop, value); }
    void SetRight(int value) { Set(FRight, value); }
    void SetBottom(int value) { Set(FBottom, value); }
    void SetStretchMode(TStretchDrawMode value) { Set(FStretchMode, value); }
    void SetMargins(int left, int top, int right, int bottom) {
        SetLeft(left);
        SetTop(top);
        SetRight(right);
        SetBottom(bottom);
    }

    // No margins and the default mode: the picture is simply stretched.
    bool Empty() const {
        return FLeft == 0 && FTop == 0 && FRight == 0 && FBottom == 0 && FStretchMode == sdmDefault;
    }

    // Takes the margins and mode of source (not its OnChange).
    void Assign(const TDesignRect& source);

    // Paints image over dest on canvas by the rule above; filter is what the
    // stretched pieces use.
    void Draw(const TArgbSurface& image, TArgbSurface& canvas, const TRect& dest,
              TPixelStretchFilter filter = psfFastSmooth) const;

    std::function<void()> OnChange;

private:
    template <typename T>
    void Set(T& field, T value) {
        if (field == value) return;
        field = value;
        Changed();
    }
    void Changed() const {
        if (OnChange) OnChange();
    }

    int FLeft = 0, FTop = 0, FRight = 0, FBottom = 0;
    TStretchDrawMode FStretchMode = sdmDefault;
};
