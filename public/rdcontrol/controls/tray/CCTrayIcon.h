#pragma once
// TCCTrayIcon: a non-visual component that puts an icon into the notification area,
// optionally animates it through an image list, shows a tip and balloon
// notifications, hides the application's taskbar button while the application is
// minimised and restores it on a chosen click, and reports mouse and session
// events. The platform side (hidden message window, shell calls) is TTrayHost.
//
// Enabled (default true; applied at once when the component is made, as for any
// component made by code, unless it is made disabled): adds the icon (on shells newer than version 4 also asking
// for notification behaviour 4 when OnTrayHintOpen or OnTrayHintClose is set,
// otherwise 3; a refused request leaves version 0); a refused add leaves Enabled
// false. While enabled the component is the application's minimise and restore
// handler (the previous handlers come back when it is disabled or freed).
// Disabling deletes the icon. When the shell restarts ("TaskbarCreated") an enabled
// icon is added again with the same tip and icon (deleted first, in case the shell
// still has it); a disabled one is not.
//
// Hint: at most the first 255 characters are kept as the icon's tip (the Windows
// side passes on what fits the system's tip field). IconIndex picks the icon from
// IconList when one is set (every picture of the list must be a TIcon; otherwise
// the message "All picture in TCCTrayIcon.IconList must be TIcon!" is shown with
// the caption "PCCTrayIcon" and nothing changes), else Icon is shown. Animate
// steps IconIndex through the list every Interval ms, wrapping to 0.
//
// Clicks on the icon: RestoreOn (default ticLeftDblClick) restores the application,
// PopupMenuOn (default ticRightClickUp) shows PopupMenu at the cursor; the mouse
// events fire either way. Restoring: the application is restored, its taskbar
// window shown and brought to the front, its main form shown if hidden, then
// OnRestoreApp (guarded against re-entry). Minimising (as the application's
// minimise handler): the taskbar window is hidden when HideOnMinimize, then
// OnMinimizeApp. HideOnStartup: the application does not show its main form when it
// starts running.
//
// Session: OnQueryEndSession may forbid the end; OnEndSession fires, and a session
// that really ends takes the icon away.
//
// UI thread only.
#include <functional>
#include <memory>
#include <string>

#include "public/rdcontrol/base/RdTimer.h"
#include "public/rdcontrol/framework/PopupMenu.h"
#include "public/rdcontrol/controls/notebook/ImageNote.h"
#include "public/rdcontrol/controls/tray/TrayHost.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/pictures/Picture.h"

enum TCCTrayIconClicks : std::uint8_t {
    ticNone,
    ticLeftClick,
    ticLeftDblClick,
    ticLeftClickUp,
    ticRightClick,
    ticRightDblClick,
    ticRightClickUp
};

class TCCTrayIcon : public TComponent {
public:
    using TNotifyEvent = std::function<void(TCCTrayIcon* sender)>;
    using TMouseMoveEvent = std::function<void(TCCTrayIcon* sender, TShiftState shift, int x, int y)>;
    using TCCQueryEndSessionEvent = std::function<void(TCCTrayIcon* sender, bool& canEndSession)>;
    static constexpr std::size_t MaxHintLength = 255;
    static constexpr const char* NotIconsText = "All picture in TCCTrayIcon.IconList must be TIcon!";
    static constexpr const char* NotIconsCaption = "PCCTrayIcon";

    explicit TCCTrayIcon(TComponent* owner) : TCCTrayIcon(owner, true) {}
    // Made with Enabled as given: made disabled, the shell is never asked for
    // anything until it is enabled (no icon that comes and goes at once).
    TCCTrayIcon(TComponent* owner, bool enabled);
    ~TCCTrayIcon() override;

    TPicture& Icon() { return FIcon; }
    TImageNote* IconList() const { return FIconList; }
    void SetIconList(TImageNote* list);
    int IconIndex() const { return FIconIndex; }
    void SetIconIndex(int index);
    bool Animate() const { return FAnimate; }
    void SetAnimate(bool v);
    int Interval() const { return FInterval; }
    void SetInterval(int ms);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint);
    // What the shell was given: the hint's first 255 characters.
    const std::string& Tip() const { return FTip; }
    bool HideOnMinimize() const { return FHideOnMinimize; }
    void SetHideOnMinimize(bool v) { FHideOnMinimize = v; }
    bool HideOnStartup() const { return FHideOnStartup; }
    void SetHideOnStartup(bool v);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* menu);
    TCCTrayIconClicks RestoreOn() const { return FRestoreOn; }
    void SetRestoreOn(TCCTrayIconClicks v) { FRestoreOn = v; }
    TCCTrayIconClicks PopupMenuOn() const { return FPopupMenuOn; }
    void SetPopupMenuOn(TCCTrayIconClicks v) { FPopupMenuOn = v; }
    // The notification behaviour the shell agreed to (0 when none was asked or it refused).
    unsigned Version() const { return FVersion; }

    // The actions behind the clicks, for code as well.
    void Minimize();
    void Restore();
    void ShowPopupMenu();
    // A balloon notification from the icon (the shell's own balloon).
    bool ShowBalloonHint(const std::string& title, const std::string& text, TBalloonIcon icon = TBalloonIcon::Info,
                         unsigned timeoutMs = 10000);

    TNotifyEvent OnMinimizeApp, OnRestoreApp, OnLButtonDown, OnLButtonUp, OnLButtonDblClick, OnRButtonDown,
        OnRButtonUp, OnRButtonDblClick, OnBalloonHintHide, OnBalloonHintClose, OnBalloonHintClick, OnTrayHintOpen,
        OnTrayHintClose, OnEndSession;
    TMouseMoveEvent OnMouseMove;
    TCCQueryEndSessionEvent OnQueryEndSession;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TApplication* App() const;
    void ApplyEnabled();
    void UpdateIcon();
    TTrayIconData Data();
    void Callback(unsigned event);
    void ClickAction(TCCTrayIconClicks click);
    void MinimizeHandler();
    void InstallAppHandlers();
    void RemoveAppHandlers();
    void AnimationTick();

    std::unique_ptr<TTrayHost> FHost;
    TPicture FIcon;
    TImageNote* FIconList = nullptr;
    int FIconIndex = 0;
    bool FAnimate = false;
    int FInterval = 1000;
    bool FEnabled = true;
    std::string FHint, FTip;
    bool FHideOnMinimize = true, FHideOnStartup = false;
    TPopupMenu* FPopupMenu = nullptr;
    TCCTrayIconClicks FRestoreOn = ticLeftDblClick, FPopupMenuOn = ticRightClickUp;
    unsigned FVersion = 0;
    TArgbSurface FIconPixels;
    bool FHasIcon = false;
    TRdTimer FTimer;
    bool FRestoring = false;
    bool FHandlersInstalled = false;
    std::function<void()> FSavedOnMinimize, FSavedOnRestore;
};
