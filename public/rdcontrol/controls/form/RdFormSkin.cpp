#include "public/rdcontrol/controls/form/RdFormSkin.h"

#include <algorithm>
#include <map>

#include "public/rdcontrol/controls/form/RdFormWndList.h"
#include "public/rdcontrol/framework/Application.h"

namespace {

constexpr unsigned kWindows8 = 0x602;

// Which skin styles which control (one each). UI thread only.
std::map<const TControl*, TRdFormSkin*>& Skins() {
    static std::map<const TControl*, TRdFormSkin*> skins;
    return skins;
}

}  // namespace

void TRdFormSkin::TShowHook::operator()(TControl* sender) const {
    TRdFormSkin* skin = Skin;  // this object may be replaced while it runs
    skin->ShowHookCalled(sender);
}

TRdFormSkin::TRdFormSkin(TComponent* owner)
    : TComponent(owner), FShadow(std::make_unique<TRdFormShadowBg>(*this)) {
    auto changed = [this] { SettingsChanged(); };
    FPicShadowOption.OnChange = changed;
    FBorderLines.OnChange = changed;
    FShadowFrame.OnChange = changed;
    FPicOption.OnChange = changed;
    FPicShadow.OnChange = [this](TPicture*) { SettingsChanged(); };
    FEllipseSize.OnChange = [this] {
        ApplyRegion(true);
        SettingsChanged();
    };
    FAllSkin.SetPropertyProvider([this]() -> TPropertyTable& { return Properties(); });
    FFixTimer.SetEnabled(false);
    FFixTimer.SetInterval(FixFlashBlackMs);
    FFixTimer.SetOnTimer([this](TRdTimer*) { EndFix(); });
    FReorderTimer.SetEnabled(false);
    FReorderTimer.SetInterval(ReorderIntervalMs);
    FReorderTimer.SetOnTimer([this](TRdTimer*) { Reorder(); });
    if (auto* control = dynamic_cast<TControl*>(owner)) Attach(control);
}

TRdFormSkin::~TRdFormSkin() {
    BeginDestroy();
    Detach();
    FPicShadow.OnChange = nullptr;
    FShadow.reset();
}

TFormSkinPlatform& TRdFormSkin::Platform() const { return FormSkinPlatform(); }

TRdFormSkin* TRdFormSkin::SkinOf(const TControl* control) {
    auto it = Skins().find(control);
    return it == Skins().end() ? nullptr : it->second;
}

// --- Attaching ---------------------------------------------------------------------

void TRdFormSkin::SetOwnerForm(TControl* control) {
    if (control == FOwnerControl) return;
    if (TRdFormSkin* other = SkinOf(control); control && other && other != this)
        throw ERdFormSkin("can not create 2rd TRdFormSkin, exists: " + other->Name());
    Detach();
    if (control) Attach(control);
}

void TRdFormSkin::Attach(TControl* control) {
    if (TRdFormSkin* other = SkinOf(control); other && other != this)
        throw ERdFormSkin("can not create 2rd TRdFormSkin, exists: " + other->Name());
    Skins()[control] = this;
    FOwnerControl = control;
    if (control != Owner()) control->FreeNotification(this);
    TCustomForm* form = TopForm();
    if (!form) return;
    FListenedForm = form;
    form->AddWindowListener(this);
    if (!OwnerIsForm()) {
        TRdFormWndList::For(*form).Register(this);
        FRegistered = true;
    }
    FShadow->SetAlphaBlendValue(form->AlphaBlendValue());
    if (FFixFlashBlack) InstallShowHook();
    if (form->Window()) WindowReady();
}

void TRdFormSkin::Detach() {
    if (!FOwnerControl) return;
    RemoveShowHook();
    if (FFixRunning) {
        FFixTimer.SetEnabled(false);
        FFixRunning = false;
        if (TCustomForm* form = FListenedForm; form && !form->Destroying()) form->SetAlphaBlendValue(FSavedAlpha);
    }
    FFixPending = false;
    FReorderTimer.SetEnabled(false);
    FHook.reset();
    if (FListenedForm) {
        if (FRegistered)
            for (int i = 0; i < FListenedForm->ComponentCount(); ++i)
                if (auto* list = dynamic_cast<TRdFormWndList*>(FListenedForm->Component(i))) list->Unregister(this);
        FListenedForm->RemoveWindowListener(this);
    }
    FRegistered = false;
    FListenedForm = nullptr;
    FShadow->DestroyHandle();
    FRegionWidth = FRegionHeight = -1;
    if (FOwnerControl != Owner()) FOwnerControl->RemoveFreeNotification(this);
    Skins().erase(FOwnerControl);
    FOwnerControl = nullptr;
}

void TRdFormSkin::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FOwnerControl) Detach();
}

TCustomForm* TRdFormSkin::TopForm() const { return FOwnerControl ? FOwnerControl->Form() : nullptr; }

bool TRdFormSkin::OwnerIsForm() const { return FOwnerControl && FOwnerControl->Form() == FOwnerControl; }

TWindowHandle TRdFormSkin::OwnerHandle() const {
    const TCustomForm* form = TopForm();
    return form && form->Window() ? form->Window()->PlatformHandle() : nullptr;
}

void TRdFormSkin::FormWindowAttached(TCustomForm& form) {
    if (&form == FListenedForm) WindowReady();
}

void TRdFormSkin::WindowReady() {
    const TWindowHandle handle = OwnerHandle();
    if (!handle) return;
    FShadow->CreateHandle(handle);
    if (OwnerIsForm() && !FHook)
        FHook = Platform().HookWindow(handle, [this](TSkinMessage& message) { HandleMessage(message, false); });
    ApplyRegion(true);
    UpdateShadow();
}

void TRdFormSkin::FormWindowDetaching(TCustomForm& form) {
    if (&form != FListenedForm) return;
    FHook.reset();
    FShadow->DestroyHandle();
    FRegionWidth = FRegionHeight = -1;
}

void TRdFormSkin::FormAlphaApplied(TCustomForm& form, std::uint8_t alpha) {
    if (&form == FListenedForm) FShadow->SetAlphaBlendValue(alpha);
}

// --- Properties ------------------------------------------------------------------------

void TRdFormSkin::SetFixFlashBlack(bool value) {
    if (value == FFixFlashBlack) return;
    FFixFlashBlack = value;
    if (value) {
        InstallShowHook();
    } else {
        FFixPending = false;
        RemoveShowHook();
    }
}

TColor TRdFormSkin::FormColor() const { return FOwnerControl ? FOwnerControl->Color() : clWindow; }

void TRdFormSkin::SetFormColor(TColor color) {
    if (FOwnerControl) FOwnerControl->SetColor(color);
}

void TRdFormSkin::SettingsChanged() {
    if (Destroying()) return;
    if (FShadow->HandleAllocated()) FShadow->Recompose();
    UpdateShadow();
}

TPropertyTable& TRdFormSkin::Properties() {
    if (FProperties) return *FProperties;
    FProperties = std::make_unique<TPropertyTable>();
    TPropertyTable& t = *FProperties;
    t.SetClassName("TRdFormSkin");
    t.AddBool("FixFlashBlack", [this] { return FFixFlashBlack; }, [this](bool v) { SetFixFlashBlack(v); });
    t.AddColor("FormColor", [this] { return FormColor(); }, [this](TColor v) { SetFormColor(v); });
    AddPictureProperty(t, "PicShadow", FPicShadow, FSkinPictures);

    TPropertyTable option = DesignRectProperties(FPicShadowOption);
    auto& o = FPicShadowOption;
    option.AddInt("PadLeft", [&o] { return o.PadLeft(); }, [&o](int v) { o.SetPadLeft(v); });
    option.AddInt("PadTop", [&o] { return o.PadTop(); }, [&o](int v) { o.SetPadTop(v); });
    option.AddInt("PadRight", [&o] { return o.PadRight(); }, [&o](int v) { o.SetPadRight(v); });
    option.AddInt("PadBottom", [&o] { return o.PadBottom(); }, [&o](int v) { o.SetPadBottom(v); });
    t.AddObject("PicShadowOption", option);

    TPropertyTable ellipse;
    auto& e = FEllipseSize;
    ellipse.AddBool("Ellipse", [&e] { return e.Ellipse(); }, [&e](bool v) { e.SetEllipse(v); });
    ellipse.AddInt("Width", [&e] { return e.Width(); }, [&e](int v) { e.SetWidth(v); });
    ellipse.AddInt("Height", [&e] { return e.Height(); }, [&e](int v) { e.SetHeight(v); });
    t.AddObject("EllipseSize", ellipse);

    TPropertyTable lines;
    auto& l = FBorderLines;
    lines.AddBool("Enabled", [&l] { return l.Enabled(); }, [&l](bool v) { l.SetEnabled(v); });
    lines.AddColor("Color", [&l] { return l.Color(); }, [&l](TColor v) { l.SetColor(v); });
    lines.AddInt("Width", [&l] { return l.Width(); }, [&l](int v) { l.SetWidth(v); });
    lines.AddBool("Left", [&l] { return l.Left(); }, [&l](bool v) { l.SetLeft(v); });
    lines.AddBool("Right", [&l] { return l.Right(); }, [&l](bool v) { l.SetRight(v); });
    lines.AddBool("Top", [&l] { return l.Top(); }, [&l](bool v) { l.SetTop(v); });
    lines.AddBool("Bottom", [&l] { return l.Bottom(); }, [&l](bool v) { l.SetBottom(v); });
    t.AddObject("BorderLines", lines);

    TPropertyTable frame;
    auto& f = FShadowFrame;
    frame.AddBool("Enabled", [&f] { return f.Enabled(); }, [&f](bool v) { f.SetEnabled(v); });
    frame.AddInt("Left", [&f] { return f.Left(); }, [&f](int v) { f.SetLeft(v); });
    frame.AddInt("Right", [&f] { return f.Right(); }, [&f](int v) { f.SetRight(v); });
    frame.AddInt("Top", [&f] { return f.Top(); }, [&f](int v) { f.SetTop(v); });
    frame.AddInt("Bottom", [&f] { return f.Bottom(); }, [&f](int v) { f.SetBottom(v); });
    t.AddObject("ShadowFrame", frame);

    TPropertyTable pic;
    auto& p = FPicOption;
    pic.AddInt("Opacity", [&p] { return int(p.Opacity()); },
               [&p](int v) { p.SetOpacity(static_cast<std::uint8_t>(std::clamp(v, 0, 255))); });
    pic.AddInt("PadLeft", [&p] { return p.PadLeft(); }, [&p](int v) { p.SetPadLeft(v); });
    pic.AddInt("PadTop", [&p] { return p.PadTop(); }, [&p](int v) { p.SetPadTop(v); });
    pic.AddInt("PadRight", [&p] { return p.PadRight(); }, [&p](int v) { p.SetPadRight(v); });
    pic.AddInt("PadBottom", [&p] { return p.PadBottom(); }, [&p](int v) { p.SetPadBottom(v); });
    t.AddObject("PicOption", pic);
    return t;
}

// --- Placement ---------------------------------------------------------------------------

TRect TRdFormSkin::OwnerScreenRect() const {
    if (!FOwnerControl) return TRect{};
    const TCustomForm* form = TopForm();
    if (!form || form == FOwnerControl)
        return TRect::FromSize(FOwnerControl->Left(), FOwnerControl->Top(), FOwnerControl->Width(),
                               FOwnerControl->Height());
    const TPoint origin = FOwnerControl->FormOrigin();
    return TRect::FromSize(form->Left() + origin.X, form->Top() + origin.Y, FOwnerControl->Width(),
                           FOwnerControl->Height());
}

TRect TRdFormSkin::ShadowBounds() const {
    const TRect owner = OwnerScreenRect();
    return TRect{owner.Left - FShadowFrame.Left(), owner.Top - FShadowFrame.Top(), owner.Right + FShadowFrame.Right(),
                 owner.Bottom + FShadowFrame.Bottom()};
}

void TRdFormSkin::UpdateShadow(bool forceHide, bool forceShow, TWindowHandle insertAfter) {
    const TWindowHandle owner = OwnerHandle();
    if (!owner || !FShadow->HandleAllocated() || Destroying()) return;
    TFormSkinPlatform& platform = Platform();
    TShadowWindow& shadow = *FShadow->Window();
    const TWindowState state = platform.WindowState(owner);

    bool visible = FOwnerControl->Width() > 0 && FOwnerControl->Height() > 0 && !forceHide &&
                   FOwnerControl->Showing() && state == TWindowState::wsNormal && FShadowFrame.Enabled();
    if (visible && !forceShow) visible = !FFixRunning && platform.WindowVisible(owner);

    if (visible || FRestorePending) {
        const bool topmost = platform.WindowTopmost(owner);
        if (topmost != shadow.Topmost()) shadow.SetTopmost(topmost);
    }
    FLastOwnerRect = OwnerScreenRect();
    FShadow->SetBounds(ShadowBounds());

    if (!insertAfter && platform.OsVersion() < kWindows8) insertAfter = owner;
    if (insertAfter == owner) {
        if (platform.WindowAbove(owner) != shadow.Handle()) {
            platform.PlaceBelow(shadow.Handle(), owner);
            platform.PlaceBelow(owner, shadow.Handle());
        }
    } else if (insertAfter && insertAfter != shadow.Handle()) {
        platform.PlaceBelow(shadow.Handle(), insertAfter);
    }
    FShadow->SetVisible(visible);
}

TWindowRegion TRdFormSkin::RegionFor(int width, int height, TWindowState state) const {
    TWindowRegion region;
    if (!FEllipseSize.Active() || state != TWindowState::wsNormal) return region;
    const int w = FEllipseSize.Width(), h = FEllipseSize.Height();
    if (FEllipseSize.Ellipse()) {
        region.Kind = TWindowRegion::TKind::RoundRect;
        region.Rect = TRect{0, 0, width + 1, height + 1};
        region.EllipseWidth = w;
        region.EllipseHeight = h;
    } else {
        region.Kind = TWindowRegion::TKind::Polygon;
        region.Points = {{w, 0},          {width - w, 0},          {width, h}, {width, height - h},
                         {width - w, height}, {w, height}, {0, height - h}, {0, h}};
    }
    return region;
}

void TRdFormSkin::ApplyRegion(bool force) {
    if (!OwnerIsForm()) return;
    const TWindowHandle owner = OwnerHandle();
    if (!owner) return;
    const int w = FOwnerControl->Width(), h = FOwnerControl->Height();
    const TWindowState state = Platform().WindowState(owner);
    if (!force && w == FRegionWidth && h == FRegionHeight && state == FRegionState) return;
    FRegionWidth = w;
    FRegionHeight = h;
    FRegionState = state;
    Platform().SetRegion(owner, RegionFor(w, h, state));
}

// --- Messages -----------------------------------------------------------------------------

void TRdFormSkin::HandleMessage(TSkinMessage& m, bool fromTopLevel) {
    if (!FOwnerControl || Destroying()) return;
    const TWindowHandle owner = OwnerHandle();
    TFormSkinPlatform& platform = Platform();
    const bool oldSystem = platform.OsVersion() < kWindows8;

    if (!m.After) {
        switch (m.Kind) {
            case TSkinMsg::PosChanging:
                if (fromTopLevel) break;
                if (owner && platform.WindowState(owner) == TWindowState::wsMaximized && !(m.PosFlags & spNoSize) &&
                    (m.PosFlags & spStateChanged)) {
                    const TRect work = platform.WorkArea(owner);
                    m.Bounds.Right = m.Bounds.Left + std::min(m.Bounds.Width(), work.Width());
                    m.Bounds.Bottom = m.Bounds.Top + std::min(m.Bounds.Height(), work.Height());
                    m.Changed = true;
                }
                if (FFixPending && (m.PosFlags & spShowWindow)) StartFix();
                break;
            case TSkinMsg::GetMinMaxInfo:
                // A maximised borderless window leaves the taskbar visible.
                if (fromTopLevel || !FShadowFrame.Enabled() || !owner) break;
                {
                    const TRect monitor = platform.MonitorRect(owner), work = platform.WorkArea(owner);
                    m.Bounds = TRect::FromSize(work.Left - monitor.Left, work.Top - monitor.Top, work.Width(),
                                               work.Height());
                    m.Changed = true;
                }
                break;
            case TSkinMsg::SysCommandRestore: {
                const TCustomForm* form = TopForm();
                const TApplication* app = form ? form->Application() : nullptr;
                if (app && app->MainForm() == form) FRestorePending = m.Flag;
                break;
            }
            default: break;
        }
        return;
    }

    switch (m.Kind) {
        case TSkinMsg::Create:
            if (!fromTopLevel) ApplyRegion(true);
            break;
        case TSkinMsg::Destroy:
            if (fromTopLevel) break;
            FShadow->DestroyHandle();
            FRegionWidth = FRegionHeight = -1;
            break;
        case TSkinMsg::Move: UpdateShadow(); break;
        case TSkinMsg::Size:
            if (!fromTopLevel) ApplyRegion(false);
            UpdateShadow();
            break;
        case TSkinMsg::Activate:
            if (m.Flag || oldSystem) UpdateShadow(false, false, owner);
            break;
        case TSkinMsg::ActivateApp:
            if (m.Flag || !owner) break;
            if ((platform.WindowVisible(owner) || FShadow->Visible())) {
                UpdateShadow(false, false, owner);
                if (oldSystem && FShadow->HandleAllocated()) {
                    const TWindowHandle shadow = FShadow->Window()->Handle();
                    platform.PlaceBelow(shadow, owner);
                    platform.PlaceBelow(owner, shadow);
                    StartReorderTimer();
                }
            }
            break;
        case TSkinMsg::ShowWindow:
            if (!m.Flag) UpdateShadow(true);
            break;
        case TSkinMsg::PosChanged: {
            const TWindowHandle shadow = FShadow->HandleAllocated() ? FShadow->Window()->Handle() : nullptr;
            if (!(m.PosFlags & spNoZOrder) && m.InsertAfter != shadow) UpdateShadow(false, false, m.InsertAfter);
            if (m.PosFlags & spShowWindow) {
                UpdateShadow();
                FRecheckPending = true;
            }
            if (m.PosFlags & spHideWindow) UpdateShadow(true);
            break;
        }
        case TSkinMsg::Paint:
            if (FRecheckPending) {
                FRecheckPending = false;
                if (!FShadow->Visible()) UpdateShadow();
            }
            break;
        case TSkinMsg::SysCommandRestore:
            FRecheckPending = true;
            UpdateShadow();
            FRestorePending = false;
            break;
        case TSkinMsg::QueryEndSession:
            if (fromTopLevel) break;
            m.Result = 1;
            m.HasResult = true;
            break;
        case TSkinMsg::UpdateShadow: UpdateShadow(); break;
        case TSkinMsg::UpdateShadowIfVisible:
            if (FOwnerControl->Showing()) UpdateShadow();
            break;
        case TSkinMsg::Reregister:
            if (!OwnerIsForm())
                if (TCustomForm* form = TopForm()) {
                    TRdFormWndList::For(*form).Register(this);
                    FRegistered = true;
                }
            break;
        case TSkinMsg::Other:
        case TSkinMsg::PosChanging:
        case TSkinMsg::GetMinMaxInfo: break;
    }
    // A control on a form has no window of its own to report its moves: follow it
    // whenever the form's window handles something and it is somewhere else.
    if (fromTopLevel && !(OwnerScreenRect() == FLastOwnerRect)) UpdateShadow();
}

// --- FixFlashBlack -------------------------------------------------------------------------

void TRdFormSkin::InstallShowHook() {
    TCustomForm* form = FListenedForm;
    if (!form || FShowHooked) return;
    // Only a form that has not been shown yet gets its first show fixed.
    if (form->Visible()) return;
    FSavedOnShow = form->OnShow;
    form->OnShow = TShowHook{this};
    FShowHooked = true;
    FFixPending = true;
}

void TRdFormSkin::RemoveShowHook() {
    if (!FShowHooked) return;
    FShowHooked = false;
    TCustomForm* form = FListenedForm;
    // Someone may have set OnShow since: then theirs stays.
    if (form && form->OnShow.target<TShowHook>()) form->OnShow = FSavedOnShow;
    FSavedOnShow = nullptr;
}

void TRdFormSkin::ShowHookCalled(TControl* sender) {
    if (FFixPending) StartFix();
    // The form's own handler runs as it would have; the hook stays in place until the
    // fix ends (it is running right now and must not be replaced from inside).
    if (const auto saved = FSavedOnShow) saved(sender);
}

void TRdFormSkin::StartFix() {
    TCustomForm* form = FListenedForm;
    if (!FFixPending || !form) return;
    FFixPending = false;
    FFixRunning = true;
    FSavedAlpha = form->AlphaBlendValue();
    form->SetAlphaBlendValue(0);
    // When the window is already on its way to the screen, it must get the
    // transparent picture now, not after the next turn of the loop.
    if (form->Window() && form->Visible()) form->Window()->Update();
    FFixTimer.SetEnabled(true);
}

void TRdFormSkin::EndFix() {
    FFixTimer.SetEnabled(false);
    if (!FFixRunning) return;
    FFixRunning = false;
    RemoveShowHook();
    if (TCustomForm* form = FListenedForm) form->SetAlphaBlendValue(FSavedAlpha);
    FShadow->ClearSnapshot();
    if (FShadow->HandleAllocated()) FShadow->Recompose();
    UpdateShadow();
}

// --- Re-ordering on old systems ----------------------------------------------------------------

void TRdFormSkin::StartReorderTimer() {
    FReorderTicks = 0;
    FReorderTimer.SetEnabled(false);
    FReorderTimer.SetEnabled(true);
}

void TRdFormSkin::Reorder() {
    const TWindowHandle owner = OwnerHandle();
    if (++FReorderTicks >= ReorderTicks || !owner || !FShadow->HandleAllocated()) FReorderTimer.SetEnabled(false);
    if (!owner || !FShadow->HandleAllocated()) return;
    const TWindowHandle shadow = FShadow->Window()->Handle();
    if (Platform().WindowAbove(owner) != shadow) {
        Platform().PlaceBelow(shadow, owner);
        Platform().PlaceBelow(owner, shadow);
    }
}
