#pragma once
// TRdFormShadowBg: the shadow of a skinned form, a window of its own that lies
// around the form (TRdFormSkin decides where and when it shows). It keeps a 32-bit
// premultiplied ARGB surface that only grows (by 200 pixels of slack each way, so
// that resizing a form does not reallocate at every step), composes the shadow
// picture, an optional snapshot of the form and the border line into it, and hands
// it to its platform window with per-pixel alpha and its constant AlphaBlendValue.
//
// Composition (Compose), for a window of w x h:
// 1. the surface grows to max(current, w + 200) x max(current, h + 200) when it is
//    smaller than the window;
// 2. its w x h part (all that is shown) is cleared to transparent;
// 3. a snapshot, when one is set, is drawn where the form lies in the shadow window;
// 4. the skin's PicShadow is laid by PicShadowOption's nine-slice rule into
//    (0, 0, w, h) less its paddings (sdmFrame leaves the middle transparent, so the
//    form shows through);
// 5. with active BorderLines, a line of |Width| pixels is drawn just outside the
//    form on each side that is switched on (rounded by an active EllipseSize);
//    sides switched off are not drawn at all;
// 6. the skin's OnShadowPaintEnd runs, drawing clipped to (0, 0, w, h).
// Push then shows it: constant alpha AlphaBlendValue, or 0 while the skin's
// ShadowFrame is disabled or the window is hidden.
//
// Owned by its TRdFormSkin. UI thread only.
#include <cstdint>
#include <memory>
#include <optional>

#include "public/rdcontrol/controls/form/FormSkinPlatform.h"
#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/framework/Component.h"

class TRdFormSkin;

class TRdFormShadowBg : public TComponent {
public:
    static constexpr int GrowSlack = 200;

    explicit TRdFormShadowBg(TRdFormSkin& skin);
    ~TRdFormShadowBg() override;

    TRdFormSkin& FormSkin() const { return FSkin; }

    // Constant alpha of the whole shadow; a change is shown at once.
    std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(std::uint8_t value);

    // The drawing surface (1 x 1 at first; it only grows).
    const TArgbSurface& Surface() const { return FSurface; }
    // The window's current size and screen rectangle.
    int ShadowWidth() const { return FBounds.Width(); }
    int ShadowHeight() const { return FBounds.Height(); }
    const TRect& Bounds() const { return FBounds; }

    // A picture of the form drawn under the shadow while it is set.
    void SetSnapshot(TArgbSurface snapshot);
    void ClearSnapshot() { FSnapshot.reset(); }
    bool HasSnapshot() const { return FSnapshot.has_value(); }

    // The platform window: made hidden, owned by owner (the skinned window).
    bool HandleAllocated() const { return FWindow != nullptr; }
    TShadowWindow* Window() const { return FWindow.get(); }
    void CreateHandle(TWindowHandle owner);
    void DestroyHandle();

    // Moves the window; a new size composes the picture again.
    void SetBounds(const TRect& screenBounds);
    // Shows (without activating; the picture is pushed first) or hides.
    void SetVisible(bool visible);
    bool Visible() const { return FWindow && FWindow->Visible(); }

    // Composes the picture and shows it.
    void Recompose();
    void Compose();
    void Push();

private:
    TRdFormSkin& FSkin;
    std::unique_ptr<TShadowWindow> FWindow;
    TArgbSurface FSurface{1, 1};
    std::optional<TArgbSurface> FSnapshot;
    TRect FBounds;
    std::uint8_t FAlphaBlendValue = 255;
    bool FComposed = false;
};
