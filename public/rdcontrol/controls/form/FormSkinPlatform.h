#pragma once
// The platform side of a skinned form (TRdFormSkin): the click-through shadow
// window, what the skin asks about the owner window (state, z-order, monitor), the
// window region, and the hook through which a skin sees the owner window's
// messages before and after its window procedure.
//
// The skin's rules (when the shadow shows, where it goes, what it looks like, how
// the region is shaped) are portable and live in TRdFormSkin; this seam only
// carries them out. Windows: FormSkinPlatform_win.cpp. The host build's built-in
// platform has no windows (a shadow window records its state, nothing is shown);
// tests install their own with SetFormSkinPlatform.
//
// UI thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/Canvas.h"

using TWindowHandle = void*;

enum class TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };

// The messages of an owner window that a skin acts on, as the hook delivers them.
enum class TSkinMsg : std::uint8_t {
    Other,
    Create,           // the window was created
    Destroy,          // the window is being destroyed
    Move,             // moved
    Size,             // resized (also minimised, maximised, restored)
    Activate,         // Flag: activated (also by a click) / deactivated
    ActivateApp,      // Flag: the application became active / inactive
    ShowWindow,       // Flag: being shown / hidden
    PosChanging,      // position about to change: Bounds and PosFlags; Bounds may be changed (set Changed)
    GetMinMaxInfo,    // the system asks where a maximised window goes: set Bounds and Changed
    PosChanged,       // position changed: PosFlags, InsertAfter
    Paint,            // paint or print-client
    SysCommandRestore,// the restore system command (before: Flag = window is minimised now)
    QueryEndSession,  // set Result and HasResult to answer
    UpdateShadow,         // the library's requests, posted by other controls
    UpdateShadowIfVisible,
    Reregister,
};

// WINDOWPOS flags as the skin needs them.
enum TSkinPosFlag : unsigned {
    spNoSize = 1,
    spNoMove = 2,
    spNoZOrder = 4,
    spShowWindow = 8,
    spHideWindow = 16,
    spStateChanged = 32,  // the window's state (minimised, maximised, normal) changes
};

struct TSkinMessage {
    TSkinMsg Kind = TSkinMsg::Other;
    bool After = false;  // the previous window procedure has run
    bool Flag = false;
    unsigned PosFlags = 0;
    TWindowHandle InsertAfter = nullptr;
    TRect Bounds;  // screen coordinates
    bool Changed = false;
    long long Result = 0;
    bool HasResult = false;
};

// The window region of a skinned window.
struct TWindowRegion {
    enum class TKind : std::uint8_t { None, RoundRect, Polygon };
    TKind Kind = TKind::None;
    TRect Rect;                  // RoundRect: the rectangle (window coordinates)
    int EllipseWidth = 0, EllipseHeight = 0;
    std::vector<TPoint> Points;  // Polygon, winding fill
    bool operator==(const TWindowRegion&) const = default;
};

// The shadow's own window: layered, transparent to the mouse, never activated, not
// in the taskbar, owned by the skinned window; created hidden.
class TShadowWindow {
public:
    virtual ~TShadowWindow() = default;
    virtual TWindowHandle Handle() const = 0;
    // Shows the top-left screenBounds.Width() x Height() pixels of image at
    // screenBounds with per-pixel alpha and constant alpha.
    virtual void Update(const TArgbSurface& image, const TRect& screenBounds, std::uint8_t alpha) = 0;
    // Moves the window without changing its pixels.
    virtual void Move(const TRect& screenBounds) = 0;
    // Shows (without activating) or hides.
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    virtual void SetTopmost(bool topmost) = 0;
    virtual bool Topmost() const = 0;
};

// A hooked window procedure; unhooks when freed.
class TWindowHook {
public:
    virtual ~TWindowHook() = default;
};

class TFormSkinPlatform {
public:
    using THandler = std::function<void(TSkinMessage& message)>;

    virtual ~TFormSkinPlatform() = default;
    virtual std::unique_ptr<TShadowWindow> CreateShadowWindow(TWindowHandle owner) = 0;

    virtual bool WindowVisible(TWindowHandle window) const = 0;
    virtual TWindowState WindowState(TWindowHandle window) const = 0;
    virtual bool WindowTopmost(TWindowHandle window) const = 0;
    // The window directly above window in the z-order (nullptr at the top).
    virtual TWindowHandle WindowAbove(TWindowHandle window) const = 0;
    // Puts window directly below `above`, without moving, sizing or activating it,
    // without reordering owned windows and without change notifications.
    virtual void PlaceBelow(TWindowHandle window, TWindowHandle above) = 0;
    virtual void SetRegion(TWindowHandle window, const TWindowRegion& region) = 0;
    // The monitor of window: its whole rectangle and its work area (screen).
    virtual TRect MonitorRect(TWindowHandle window) const = 0;
    virtual TRect WorkArea(TWindowHandle window) const = 0;
    // The system's version, major * 256 + minor (6.2 = Windows 8 = 0x602).
    virtual unsigned OsVersion() const = 0;

    // Routes window's messages through handler, before (After false) and after
    // (After true) the window procedure that was there; several hooks on one window
    // may be removed in any order.
    virtual std::unique_ptr<TWindowHook> HookWindow(TWindowHandle window, THandler handler) = 0;
};

// The platform skins use now: the one installed, else the built-in one.
TFormSkinPlatform& FormSkinPlatform();
// nullptr returns to the built-in one. The platform must outlive every skin made
// while it is installed.
void SetFormSkinPlatform(TFormSkinPlatform* platform);
// The built-in platform of this build (Win32 on Windows, windowless on the host).
TFormSkinPlatform& BuiltInFormSkinPlatform();
