#include "public/rdcontrol/controls/tray/CCTrayIcon.h"

#include "public/rdcontrol/controls/common/Icon.h"

namespace {

// The first `count` code points of utf8.
std::string FirstCodePoints(const std::string& utf8, std::size_t count) {
    std::size_t i = 0, n = 0;
    while (i < utf8.size() && n < count) {
        ++i;
        while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
        ++n;
    }
    return utf8.substr(0, i);
}

}  // namespace

TCCTrayIcon::TCCTrayIcon(TComponent* owner, bool enabled) : TComponent(owner), FEnabled(enabled) {
    TIcon::Register();  // its icon list may come from stored pictures
    TTrayHostEvents events;
    events.Callback = [this](unsigned event) { Callback(event); };
    events.QueryEndSession = [this] {
        bool canEnd = true;
        if (OnQueryEndSession) OnQueryEndSession(this, canEnd);
        return canEnd;
    };
    events.EndSession = [this](bool ending) {
        if (OnEndSession) OnEndSession(this);
        if (ending && FHost) FHost->Delete();
    };
    events.TaskbarCreated = [this] {
        // The shell restarted and forgot the icon: the enabled path once more. The
        // broadcast also comes while the icon is still there (Windows sends it when
        // the screen's DPI changes), where a second add would fail and disable the
        // icon: take it away first.
        if (!FEnabled) return;
        FHost->Delete();
        ApplyEnabled();
    };
    FHost = TrayPlatform().CreateHost(std::move(events));
    FIcon.OnChange = [this](TPicture*) { UpdateIcon(); };
    FTimer.SetEnabled(false);
    FTimer.SetInterval(static_cast<unsigned>(FInterval));
    FTimer.SetOnTimer([this](TRdTimer*) { AnimationTick(); });
    if (FEnabled) ApplyEnabled();
}

TCCTrayIcon::~TCCTrayIcon() {
    BeginDestroy();
    FTimer.SetOnTimer(nullptr);
    if (FEnabled) FHost->Delete();
    RemoveAppHandlers();
    if (FIconList) FIconList->Items().RemoveListener(this);
    FIcon.OnChange = nullptr;
    FHost.reset();
}

TApplication* TCCTrayIcon::App() const {
    for (TComponent* o = Owner(); o; o = o->Owner())
        if (auto* app = dynamic_cast<TApplication*>(o)) return app;
    return nullptr;
}

void TCCTrayIcon::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == FIconList) {
        FIconList = nullptr;
        UpdateIcon();
    }
    if (component == FPopupMenu) FPopupMenu = nullptr;
}

// --- Enabled -------------------------------------------------------------------------

void TCCTrayIcon::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    ApplyEnabled();
}

void TCCTrayIcon::ApplyEnabled() {
    if (!FEnabled) {
        FHost->Delete();
        RemoveAppHandlers();
        return;
    }
    TTrayIconData data = Data();
    if (!FHost->Add(data)) {
        FEnabled = false;
        RemoveAppHandlers();
        return;
    }
    FVersion = 0;
    if (FHost->ShellVersion() > 4) {
        FVersion = OnTrayHintOpen || OnTrayHintClose ? 4 : 3;
        if (!FHost->SetVersion(FVersion)) FVersion = 0;
    }
    InstallAppHandlers();
}

void TCCTrayIcon::InstallAppHandlers() {
    TApplication* app = App();
    if (!app || FHandlersInstalled) return;
    FSavedOnMinimize = app->OnMinimize;
    FSavedOnRestore = app->OnRestore;
    app->OnMinimize = [this] { MinimizeHandler(); };
    app->OnRestore = [this] { Restore(); };
    FHandlersInstalled = true;
}

void TCCTrayIcon::RemoveAppHandlers() {
    if (!FHandlersInstalled) return;
    FHandlersInstalled = false;
    if (TApplication* app = App(); app && !app->Destroying()) {
        app->OnMinimize = FSavedOnMinimize;
        app->OnRestore = FSavedOnRestore;
    }
    FSavedOnMinimize = nullptr;
    FSavedOnRestore = nullptr;
}

// --- Icon and tip ------------------------------------------------------------------------

void TCCTrayIcon::SetHint(const std::string& hint) {
    FHint = hint;
    FTip = FirstCodePoints(hint, MaxHintLength);
    if (FEnabled) FHost->Modify(Data());
}

void TCCTrayIcon::SetIconList(TImageNote* list) {
    if (list == FIconList) return;
    if (FIconList) {
        FIconList->Items().RemoveListener(this);
        FIconList->RemoveFreeNotification(this);
    }
    FIconList = list;
    if (FIconList) {
        FIconList->FreeNotification(this);
        FIconList->Items().AddListener(this, [this] { UpdateIcon(); });
    }
    UpdateIcon();
}

void TCCTrayIcon::SetIconIndex(int index) {
    FIconIndex = index;
    UpdateIcon();
}

TTrayIconData TCCTrayIcon::Data() {
    TTrayIconData data;
    data.Icon = FHasIcon ? &FIconPixels : nullptr;
    data.Tip = FTip;
    data.Version = FVersion;
    return data;
}

void TCCTrayIcon::UpdateIcon() {
    if (Destroying()) return;
    TPicture* picture = &FIcon;
    if (FIconList) {
        TPictureCollection& items = FIconList->Items();
        for (int i = 0; i < items.Count(); ++i)
            if (!dynamic_cast<const TIcon*>(items.Items(i).Picture().Graphic().get())) {
                FHost->ShowMessage(NotIconsText, NotIconsCaption);
                return;
            }
        picture = FIconIndex >= 0 && FIconIndex < items.Count() ? &items.Items(FIconIndex).Picture() : nullptr;
    }
    FHasIcon = picture && !picture->Empty();
    if (FHasIcon) {
        if (auto* png = dynamic_cast<const TPngGraphic*>(picture->Graphic().get())) {
            FIconPixels = png->Surface();
        } else {
            FIconPixels = TArgbSurface(picture->Width(), picture->Height());
            TRdCanvas canvas(FIconPixels);
            picture->Draw(canvas, FIconPixels.Bounds());
        }
    } else {
        FIconPixels = TArgbSurface();
    }
    if (FEnabled) FHost->Modify(Data());
}

void TCCTrayIcon::SetAnimate(bool v) {
    FAnimate = v;
    FTimer.SetEnabled(v);
}

void TCCTrayIcon::SetInterval(int ms) {
    FInterval = ms;
    FTimer.SetInterval(static_cast<unsigned>(ms < 0 ? 0 : ms));
}

void TCCTrayIcon::AnimationTick() {
    if (!FIconList) return;
    int next = FIconIndex + 1;
    if (next >= FIconList->Items().Count()) next = 0;
    SetIconIndex(next);
}

// --- Clicks, menu, balloon ----------------------------------------------------------------

void TCCTrayIcon::Callback(unsigned event) {
    switch (event) {
        case teMouseMove:
            if (OnMouseMove) {
                const TPoint at = FHost->CursorPos();
                OnMouseMove(this, FHost->ShiftState(), at.X, at.Y);
            }
            break;
        case teLButtonDown:
            ClickAction(ticLeftClick);
            if (OnLButtonDown) OnLButtonDown(this);
            break;
        case teLButtonUp:
            ClickAction(ticLeftClickUp);
            if (OnLButtonUp) OnLButtonUp(this);
            break;
        case teLButtonDblClk:
            ClickAction(ticLeftDblClick);
            if (OnLButtonDblClick) OnLButtonDblClick(this);
            break;
        case teRButtonDown:
            ClickAction(ticRightClick);
            if (OnRButtonDown) OnRButtonDown(this);
            break;
        case teRButtonUp:
            ClickAction(ticRightClickUp);
            if (OnRButtonUp) OnRButtonUp(this);
            break;
        case teRButtonDblClk:
            ClickAction(ticRightDblClick);
            if (OnRButtonDblClick) OnRButtonDblClick(this);
            break;
        case teBalloonHide:
            if (OnBalloonHintHide) OnBalloonHintHide(this);
            break;
        case teBalloonTimeout:
            if (OnBalloonHintClose) OnBalloonHintClose(this);
            break;
        case teBalloonUserClick:
            if (OnBalloonHintClick) OnBalloonHintClick(this);
            break;
        case tePopupOpen:
            if (OnTrayHintOpen) OnTrayHintOpen(this);
            break;
        case tePopupClose:
            if (OnTrayHintClose) OnTrayHintClose(this);
            break;
        default: break;
    }
}

void TCCTrayIcon::ClickAction(TCCTrayIconClicks click) {
    if (click == ticNone) return;
    if (FRestoreOn == click) Restore();
    if (FPopupMenuOn == click) ShowPopupMenu();
}

void TCCTrayIcon::SetPopupMenu(TPopupMenu* menu) {
    if (menu == FPopupMenu) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = menu;
    if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TCCTrayIcon::ShowPopupMenu() {
    if (!FPopupMenu) return;
    const TPoint at = FHost->CursorPos();
    FHost->SetForeground();
    if (FPopupMenu->OnPopup) FPopupMenu->OnPopup(FPopupMenu);
    std::vector<std::string> captions;
    std::vector<bool> enabled;
    for (const TMenuItem& item : FPopupMenu->Items()) {
        captions.push_back(item.Caption);
        enabled.push_back(item.Enabled);
    }
    const int chosen = FHost->TrackMenu(captions, enabled, at);
    FHost->PostEmpty();
    FPopupMenu->Choose(chosen);
}

bool TCCTrayIcon::ShowBalloonHint(const std::string& title, const std::string& text, TBalloonIcon icon,
                                  unsigned timeoutMs) {
    return FEnabled && FHost->ShowBalloon(title, text, icon, timeoutMs);
}

// --- Minimise and restore ---------------------------------------------------------------------

void TCCTrayIcon::SetHideOnStartup(bool v) {
    FHideOnStartup = v;
    if (TApplication* app = App()) app->SetShowMainForm(!v);
}

void TCCTrayIcon::Minimize() {
    if (TApplication* app = App()) app->Minimize();  // which calls MinimizeHandler
}

void TCCTrayIcon::MinimizeHandler() {
    TApplication* app = App();
    if (FEnabled && FHideOnMinimize && app && app->MainForm() && app->MainForm()->Window())
        FHost->HideTaskbarWindow(app->MainForm()->Window()->PlatformHandle());
    if (OnMinimizeApp) OnMinimizeApp(this);
}

void TCCTrayIcon::Restore() {
    if (FRestoring) return;
    FRestoring = true;
    if (TApplication* app = App()) {
        app->Restore();
        TCustomForm* main = app->MainForm();
        if (FEnabled && main && main->Window()) FHost->ShowTaskbarWindowRestored(main->Window()->PlatformHandle());
        if (main && !main->Visible()) main->Show();
    }
    FRestoring = false;
    if (OnRestoreApp) OnRestoreApp(this);
}
