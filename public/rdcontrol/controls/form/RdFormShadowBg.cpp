#include "public/rdcontrol/controls/form/RdFormShadowBg.h"

#include <algorithm>
#include <cstdlib>

#include "public/rdcontrol/controls/common/PictureDraw.h"
#include "public/rdcontrol/controls/form/RdFormSkin.h"

namespace {

// The line around the form: |width| pixels just outside the form's rectangle
// (formRect, shadow-window coordinates) on every side that is on.
void DrawBorderLines(TRdCanvas& canvas, const TBorderLines& lines, const TEllipseSize& ellipse,
                     const TRect& formRect) {
    const int w = std::abs(lines.Width());
    TRect frame{formRect.Left - w, formRect.Top - w, formRect.Right + w, formRect.Bottom + w};
    // A side that is off is pushed out of the drawn area (by the line and, with
    // rounded corners, half a corner, so that the corners of the sides that are on
    // run straight to the edge); the clip keeps only the sides that are on.
    const int pushX = w + (ellipse.Active() ? ellipse.Width() / 2 : 0);
    const int pushY = w + (ellipse.Active() ? ellipse.Height() / 2 : 0);
    TRect clip = frame;
    if (!lines.Left()) frame.Left -= pushX, clip.Left = formRect.Left;
    if (!lines.Top()) frame.Top -= pushY, clip.Top = formRect.Top;
    if (!lines.Right()) frame.Right += pushX, clip.Right = formRect.Right;
    if (!lines.Bottom()) frame.Bottom += pushY, clip.Bottom = formRect.Bottom;

    TCanvasStateSaver saved(canvas);
    canvas.IntersectClip(clip);
    if (!ellipse.Active()) {
        canvas.FrameRect(frame, lines.Color(), w);
        return;
    }
    // A pen w pixels wide as w nested one-pixel outlines.
    int rx = ellipse.Width() / 2 + w, ry = ellipse.Height() / 2 + w;
    for (int i = 0; i < w; ++i) {
        const TRect r{frame.Left + i, frame.Top + i, frame.Right - i, frame.Bottom - i};
        if (r.IsEmpty()) break;
        canvas.RoundRect(r, std::max(rx - i, 0), std::max(ry - i, 0), clNone, lines.Color());
    }
}

}  // namespace

TRdFormShadowBg::TRdFormShadowBg(TRdFormSkin& skin) : TComponent(nullptr), FSkin(skin) {}

TRdFormShadowBg::~TRdFormShadowBg() { DestroyHandle(); }

void TRdFormShadowBg::SetAlphaBlendValue(std::uint8_t value) {
    if (value == FAlphaBlendValue) return;
    FAlphaBlendValue = value;
    if (FComposed) Push();
}

void TRdFormShadowBg::SetSnapshot(TArgbSurface snapshot) { FSnapshot = std::move(snapshot); }

void TRdFormShadowBg::CreateHandle(TWindowHandle owner) {
    if (FWindow) return;
    FWindow = FormSkinPlatform().CreateShadowWindow(owner);
    FComposed = false;
}

void TRdFormShadowBg::DestroyHandle() {
    if (!FWindow) return;
    FWindow->SetVisible(false);
    FWindow.reset();
    FComposed = false;
}

void TRdFormShadowBg::SetBounds(const TRect& screenBounds) {
    const bool resized = screenBounds.Width() != FBounds.Width() || screenBounds.Height() != FBounds.Height();
    const bool moved = !(screenBounds == FBounds);
    FBounds = screenBounds;
    if (!FWindow) return;
    if (resized || !FComposed) {
        Recompose();
    } else if (moved) {
        FWindow->Move(FBounds);
    }
}

void TRdFormShadowBg::SetVisible(bool visible) {
    if (!FWindow || visible == FWindow->Visible()) return;
    if (visible) {
        FWindow->SetVisible(true);
        // Hidden it was pushed fully transparent; now with its real alpha.
        Push();
    } else {
        FWindow->SetVisible(false);
        if (FComposed) Push();
    }
}

void TRdFormShadowBg::Recompose() {
    Compose();
    Push();
}

void TRdFormShadowBg::Compose() {
    const int w = FBounds.Width(), h = FBounds.Height();
    if (w > FSurface.Width() || h > FSurface.Height()) {
        TArgbSurface grown(std::max(FSurface.Width(), w + GrowSlack), std::max(FSurface.Height(), h + GrowSlack));
        FSurface = std::move(grown);
    }
    // Only the window's part of the surface is ever shown: clear that.
    FSurface.FillRect(TRect{0, 0, w, h}, 0);
    FComposed = true;
    if (w <= 0 || h <= 0) return;

    TRdCanvas canvas(FSurface);
    canvas.SetClipRect(TRect{0, 0, w, h});
    const TShadowFrame& frame = FSkin.ShadowFrame();
    if (FSnapshot) canvas.Draw(frame.Left(), frame.Top(), *FSnapshot);

    const TRdFormSkinBkgOpt& option = FSkin.PicShadowOption();
    const TRect picRect{option.PadLeft(), option.PadTop(), w - option.PadRight(), h - option.PadBottom()};
    DrawPicture(canvas, FSkin.PicShadow(), option, picRect);

    if (FSkin.BorderLines().Active())
        DrawBorderLines(canvas, FSkin.BorderLines(), FSkin.EllipseSize(),
                        TRect{frame.Left(), frame.Top(), w - frame.Right(), h - frame.Bottom()});

    if (FSkin.OnShadowPaintEnd) {
        const auto handler = FSkin.OnShadowPaintEnd;
        FSkin.FShadowCanvas = &canvas;
        handler(&FSkin, canvas);
        FSkin.FShadowCanvas = nullptr;
    }
}

void TRdFormShadowBg::Push() {
    if (!FWindow || FBounds.IsEmpty()) return;
    const bool show = FSkin.ShadowFrame().Enabled() && FWindow->Visible();
    FWindow->Update(FSurface, FBounds, show ? FAlphaBlendValue : 0);
}
