#pragma once
// The platform side of a notification-area icon (TCCTrayIcon): a hidden message
// window that receives the icon's callback messages, the session messages and the
// shell's "TaskbarCreated" broadcast, and the shell's requests (add, modify, delete,
// version, balloon), the popup menu, and the application's taskbar window.
// Windows: TrayHost_win.cpp. The host build's built-in one refuses every request
// (nothing to show on); tests install their own with SetTrayPlatform.
//
// UI thread only: the events arrive from the hidden window's messages.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "public/rdcontrol/controls/form/FormSkinPlatform.h"
#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/framework/Control.h"

// The callback message of the icon (the low word of its second parameter names the
// event), and the events the component acts on.
inline constexpr unsigned kTrayCallbackMessage = 0x2422;
enum TTrayEvent : unsigned {
    teMouseMove = 0x200,
    teLButtonDown = 0x201,
    teLButtonUp = 0x202,
    teLButtonDblClk = 0x203,
    teRButtonDown = 0x204,
    teRButtonUp = 0x205,
    teRButtonDblClk = 0x206,
    teBalloonShow = 0x402,
    teBalloonHide = 0x403,
    teBalloonTimeout = 0x404,
    teBalloonUserClick = 0x405,
    tePopupOpen = 0x406,
    tePopupClose = 0x407,
};

// What the shell gets for the icon.
struct TTrayIconData {
    const TArgbSurface* Icon = nullptr;  // nullptr: no icon
    std::string Tip;                     // empty: no tip
    unsigned Version = 0;                // notification behaviour asked for (0, 3 or 4)
};

enum class TBalloonIcon : std::uint8_t { None, Info, Warning, Error };

// What the hidden window reports.
struct TTrayHostEvents {
    std::function<void(unsigned event)> Callback;
    // The system asks whether the session may end; answer true to allow.
    std::function<bool()> QueryEndSession;
    std::function<void(bool ending)> EndSession;
    std::function<void()> TaskbarCreated;
};

class TTrayHost {
public:
    virtual ~TTrayHost() = default;
    virtual bool Add(const TTrayIconData& data) = 0;
    virtual bool Modify(const TTrayIconData& data) = 0;
    virtual bool Delete() = 0;
    virtual bool SetVersion(unsigned version) = 0;
    virtual bool ShowBalloon(const std::string& title, const std::string& text, TBalloonIcon icon,
                             unsigned timeoutMs) = 0;
    // The shell library's major version (the extended record needs more than 4).
    virtual unsigned ShellVersion() const = 0;

    virtual TPoint CursorPos() const = 0;
    virtual TShiftState ShiftState() const = 0;
    // Popup menus: the hidden window first becomes the foreground window, the
    // captions ("-" a separator) are tracked at `at`, the chosen index (-1: none) is
    // returned, and an empty message is posted to the hidden window afterwards so
    // that the menu closes when the user clicks elsewhere.
    virtual void SetForeground() = 0;
    virtual int TrackMenu(const std::vector<std::string>& captions, const std::vector<bool>& enabled, TPoint at) = 0;
    virtual void PostEmpty() = 0;
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;

    // The application's taskbar window (its main form's).
    virtual void HideTaskbarWindow(TWindowHandle window) = 0;
    virtual void ShowTaskbarWindowRestored(TWindowHandle window) = 0;
};

class TTrayPlatform {
public:
    virtual ~TTrayPlatform() = default;
    virtual std::unique_ptr<TTrayHost> CreateHost(TTrayHostEvents events) = 0;
};

TTrayPlatform& TrayPlatform();
// nullptr returns to the built-in one; the platform must outlive the icons made
// while it is installed.
void SetTrayPlatform(TTrayPlatform* platform);
TTrayPlatform& BuiltInTrayPlatform();
