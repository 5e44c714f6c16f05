#include "public/rdcontrol/framework/Form.h"

#include <algorithm>

#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/NativeControl.h"

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
    // Forms start hidden; Show makes the window.
    TControl::FVisible = false;
}

TCustomForm::~TCustomForm() {
    BeginDestroy();
    if (FCreated && OnDestroy) OnDestroy(this);
    if (TApplication* app = Application()) app->FormDestroyed(this);
    DestroyComponents();
    if (FWindow) NotifyWindowListeners(&TFormWindowListener::FormWindowDetaching);
    FWindow.reset();
}

TApplication* TCustomForm::Application() const {
    for (TComponent* o = Owner(); o; o = o->Owner())
        if (auto* app = dynamic_cast<TApplication*>(o)) return app;
    return nullptr;
}

void TCustomForm::DoCreate() {
    if (FCreated) return;
    FCreated = true;
    if (OnCreate) OnCreate(this);
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
    const bool resized = std::max(width, 0) != Width() || std::max(height, 0) != Height();
    TWinControl::SetBounds(left, top, width, height);
    if (FWindow && !FBoundsFromWindow) FWindow->SetBounds(TRect::FromSize(Left(), Top(), Width(), Height()));
    // Moving a window does not change its pixels; a new size does.
    if (resized) InvalidateRect(ClientRect());
}

void TCustomForm::HandleWindowBounds(const TRect& screenRect) {
    // The window is already there: only the form follows.
    FBoundsFromWindow = true;
    SetBounds(screenRect.Left, screenRect.Top, screenRect.Width(), screenRect.Height());
    FBoundsFromWindow = false;
}

void TCustomForm::SetCaption(const std::string& caption) {
    TControl::SetCaption(caption);
    if (FWindow) FWindow->SetCaption(caption);
}

void TCustomForm::SetFormStyle(TFormStyle style) {
    FFormStyle = style;
    if (FWindow) FWindow->SetStayOnTop(style == TFormStyle::fsStayOnTop);
}

void TCustomForm::SetAlphaBlend(bool v) {
    if (v == FAlphaBlend) return;
    FAlphaBlend = v;
    ApplyLayering();
}

void TCustomForm::SetAlphaBlendValue(std::uint8_t v) {
    if (v == FAlphaBlendValue) return;
    FAlphaBlendValue = v;
    ApplyLayering();
}

void TCustomForm::SetPerPixelAlpha(bool v) {
    if (v == FPerPixelAlpha) return;
    FPerPixelAlpha = v;
    ApplyLayering();
    InvalidateRect(ClientRect());
}

TFormLayering TCustomForm::Layering() const {
    if (FPerPixelAlpha) return TFormLayering::PerPixelAlpha;
    return FAlphaBlend ? TFormLayering::ConstantAlpha : TFormLayering::Opaque;
}

void TCustomForm::ApplyLayering() {
    if (!FWindow) return;
    const std::uint8_t alpha = FAlphaBlend || FPerPixelAlpha ? FAlphaBlendValue : 255;
    FWindow->SetLayering(Layering(), alpha);
    for (TFormWindowListener* l : std::vector<TFormWindowListener*>(FWindowListeners))
        if (std::find(FWindowListeners.begin(), FWindowListeners.end(), l) != FWindowListeners.end())
            l->FormAlphaApplied(*this, alpha);
}

void TCustomForm::AddWindowListener(TFormWindowListener* listener) {
    if (listener && std::find(FWindowListeners.begin(), FWindowListeners.end(), listener) == FWindowListeners.end())
        FWindowListeners.push_back(listener);
}

void TCustomForm::RemoveWindowListener(TFormWindowListener* listener) { std::erase(FWindowListeners, listener); }

void TCustomForm::NotifyWindowListeners(void (TFormWindowListener::*event)(TCustomForm&)) {
    // A listener may remove itself (or another) while being told.
    for (TFormWindowListener* l : std::vector<TFormWindowListener*>(FWindowListeners))
        if (std::find(FWindowListeners.begin(), FWindowListeners.end(), l) != FWindowListeners.end()) (l->*event)(*this);
}

void TCustomForm::SetWindow(std::unique_ptr<TFormWindow> window) {
    if (FWindow) NotifyWindowListeners(&TFormWindowListener::FormWindowDetaching);
    FWindow = std::move(window);
    if (!FWindow) return;
    if (auto* ownerForm = dynamic_cast<TCustomForm*>(Owner()); ownerForm && ownerForm->HandleNeeded())
        FWindow->SetOwnerWindow(ownerForm->Window());
    FWindow->SetBounds(TRect::FromSize(Left(), Top(), Width(), Height()));
    FWindow->SetCaption(Caption());
    FWindow->SetStayOnTop(FFormStyle == TFormStyle::fsStayOnTop);
    ApplyLayering();
    InvalidateRect(ClientRect());
    SyncNativeControls();
    NotifyWindowListeners(&TFormWindowListener::FormWindowAttached);
}

TFormWindow* TCustomForm::HandleNeeded() {
    if (!FWindow)
        if (TApplication* app = Application()) SetWindow(app->Platform().MakeWindow(*this));
    return FWindow.get();
}

void TCustomForm::PlaceForShow() {
    if (FPlaced) return;
    FPlaced = true;
    TApplication* app = Application();
    if (FPosition == TPosition::poDesigned || !app) return;
    TRect area = app->Platform().WorkArea(TPoint{Left() + Width() / 2, Top() + Height() / 2});
    const TCustomForm* center = nullptr;
    if (FPosition == TPosition::poMainFormCenter) center = app->MainForm();
    if (FPosition == TPosition::poOwnerFormCenter) center = dynamic_cast<TCustomForm*>(Owner());
    if (center && center != this && center->Visible()) area = TRect::FromSize(center->Left(), center->Top(), center->Width(), center->Height());
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::SetVisible(bool visible) {
    if (visible == Visible()) return;
    if (visible) {
        HandleNeeded();
        PlaceForShow();
        DoShow();
        TControl::FVisible = true;
        Realign();
        InvalidateRect(ClientRect());
        if (FWindow) FWindow->SetVisible(true, !FShowNoActivate);
    } else {
        TControl::FVisible = false;
        if (FWindow) FWindow->SetVisible(false, false);
        if (FActive) HandleActivate(false);
        DoHide();
    }
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

TModalResult TCustomForm::ShowModal() {
    TApplication* app = Application();
    if (!app || FModal) return mrNone;
    std::vector<TCustomForm*> disabled;
    for (TCustomForm* f : app->Forms())
        if (f != this && f->Visible() && f->Window()) {
            f->Window()->SetEnabled(false);
            disabled.push_back(f);
        }
    // Forms freed while the dialog runs must not be touched afterwards.
    std::vector<std::weak_ptr<int>> alive;
    for (TCustomForm* f : disabled) alive.push_back(f->FAlive);
    const std::weak_ptr<int> self = FAlive;

    FModal = true;
    FModalResult = mrNone;
    Show();
    app->RunNestedUntil([&] { return self.expired() || FModalResult != mrNone; });
    if (self.expired()) return mrCancel;
    const TModalResult result = FModalResult;
    FModal = false;
    Hide();
    for (std::size_t i = 0; i < disabled.size(); ++i)
        if (!alive[i].expired() && disabled[i]->Window()) disabled[i]->Window()->SetEnabled(true);
    return result;
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (!CloseQuery()) return;
    TApplication* app = Application();
    const bool isMain = app && app->MainForm() == this;
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return;
    if (FModal) {
        if (FModalResult == mrNone) FModalResult = mrCancel;
        return;
    }
    if (isMain) {
        Hide();
        app->Terminate();
        return;
    }
    switch (action) {
        case TCloseAction::caHide: Hide(); break;
        case TCloseAction::caMinimize: Minimize(); break;
        case TCloseAction::caFree:
            Hide();
            Release();
            break;
        case TCloseAction::caNone: break;
    }
}

void TCustomForm::Release() {
    TApplication* app = Application();
    if (!app) return;
    const std::weak_ptr<int> alive = FAlive;
    app->Loop().Post([this, alive] {
        if (!alive.expired()) delete this;
    });
}

void TCustomForm::Minimize() {
    if (FWindow) FWindow->Minimize();
}

void TCustomForm::Restore() {
    if (FWindow) FWindow->Restore();
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == FActiveControl) return;
    if (control && control->Form() != this) return;
    TWinControl* old = FActiveControl;
    FActiveControl = control;
    if (old) old->DoExit();
    if (FActiveControl) FActiveControl->DoEnter();
}

void TCustomForm::SelectNext(bool forward) {
    std::vector<TWinControl*> order;
    std::function<void(TWinControl*)> collect = [&](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i))) {
                if (w->CanFocus()) order.push_back(w);
                collect(w);
            }
    };
    collect(this);
    if (order.empty()) return;
    auto it = std::find(order.begin(), order.end(), FActiveControl);
    std::size_t next;
    if (it == order.end()) {
        next = forward ? 0 : order.size() - 1;
    } else {
        const std::size_t i = static_cast<std::size_t>(it - order.begin());
        next = forward ? (i + 1) % order.size() : (i + order.size() - 1) % order.size();
    }
    SetActiveControl(order[next]);
}

void TCustomForm::InvalidateRect(const TRect& rect) {
    const TRect r = rect.Intersect(ClientRect());
    if (r.IsEmpty()) return;
    if (FInvalid.IsEmpty()) {
        FInvalid = r;
    } else {
        FInvalid = TRect{std::min(FInvalid.Left, r.Left), std::min(FInvalid.Top, r.Top),
                         std::max(FInvalid.Right, r.Right), std::max(FInvalid.Bottom, r.Bottom)};
    }
    if (FWindow && Visible()) FWindow->Invalidate(r);
}

void TCustomForm::SyncNativeControls() {
    if (!FHasNativeControls) return;
    std::function<void(TWinControl*)> walk = [&](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            if (auto* native = dynamic_cast<TNativeControl*>(c)) native->Sync();
            if (auto* container = dynamic_cast<TWinControl*>(c)) walk(container);
        }
    };
    walk(this);
}

TRect TCustomForm::PaintInvalid() {
    SyncNativeControls();
    if (FBackBuffer.Width() != Width() || FBackBuffer.Height() != Height()) {
        FBackBuffer = TArgbSurface(Width(), Height());
        FInvalid = ClientRect();
    }
    const TRect r = FInvalid.Intersect(ClientRect());
    FInvalid = TRect{};
    if (r.IsEmpty()) return TRect{};
    FBackBuffer.FillRect(r, 0);
    TRdCanvas canvas(FBackBuffer);
    canvas.SetClipRect(r);
    PaintTo(canvas);
    return r;
}

void TCustomForm::PaintAll() {
    FInvalid = ClientRect();
    PaintInvalid();
}

void TCustomForm::Paint(TRdCanvas& canvas) {
    // A per-pixel-alpha form is transparent where its controls paint nothing.
    if (Layering() != TFormLayering::PerPixelAlpha && Color() != clNone)
        canvas.FillRect(ClientRect(), Color());
}

void TCustomForm::PaintAfterChildren(TRdCanvas& canvas) {
    if (OnPaint) OnPaint(this, canvas);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove)
        if (auto* control = dynamic_cast<TControl*>(component)) ControlRemoved(control);
}

void TCustomForm::ControlRemoved(TControl* component) {
    // The control, or a container holding it, leaves the form.
    auto within = [component](const TControl* c) {
        for (; c; c = c->Parent())
            if (c == component) return true;
        return false;
    };
    if (within(FMouseControl)) FMouseControl = nullptr;
    if (within(FPressedControl)) FPressedControl = nullptr;
    if (within(FActiveControl)) FActiveControl = nullptr;
    if (within(FDragTarget)) FDragTarget = nullptr;
    if (within(FDragControl)) FDragControl = nullptr;  // a source that goes ends its drag silently
    if (within(FCaptureControl)) {
        FCaptureControl = nullptr;
        if (FWindow) FWindow->SetMouseCapture(false);
    }
    if (TApplication* app = Application()) app->ControlGone(component);
}

// --- Input routing ------------------------------------------------------------------

TPoint TCustomForm::ToControl(const TControl* control, int x, int y) {
    const TPoint o = control->FormOrigin();
    return TPoint{x - o.X, y - o.Y};
}

void TCustomForm::UpdateMouseControl(int x, int y) {
    TControl* hit = nullptr;
    if (x >= 0 && y >= 0 && x < Width() && y < Height()) {
        hit = ControlAtPos(x, y);
        if (!hit) hit = this;
    }
    if (hit != FMouseControl) {
        TControl* old = FMouseControl;
        FMouseControl = hit;
        if (old) old->MouseLeave();
        // The leave handler may have moved things; enter what is under the mouse now.
        if (FMouseControl == hit && hit) hit->MouseEnter();
        if (FWindow && hit) FWindow->TrackMouseLeave();
    }
    if (FWindow && !FCaptureControl) {
        TCursor cursor = crDefault;
        for (TControl* c = FMouseControl; c && cursor == crDefault; c = c->Parent()) cursor = c->Cursor();
        FWindow->SetCursor(cursor);
    }
}

void TCustomForm::SetCaptureControl(TControl* control) {
    FCaptureControl = control;
    if (FWindow) FWindow->SetMouseCapture(control != nullptr);
}

void TCustomForm::StartDrag(TControl* source) {
    if (FDragControl || !source || source->Form() != this) return;
    FDragControl = source;
    FDragTarget = nullptr;
    FPressedControl = nullptr;  // a drag is no click
    const TPoint origin = source->FormOrigin();
    FDragPos = TPoint{origin.X, origin.Y};
    if (TApplication* app = Application()) app->CancelHint();
    if (source->OnStartDrag) source->OnStartDrag(source);
}

void TCustomForm::FinishDrag(bool drop) {
    TControl* source = FDragControl;
    if (!source) return;
    TControl* target = drop ? FDragTarget : nullptr;
    if (target) {
        const TPoint p = ToControl(target, FDragPos.X, FDragPos.Y);
        target->DragDrop(source, p.X, p.Y);
    }
    // The drop handler may have freed the source or the target.
    if (FDragControl != source) return;
    FDragControl = nullptr;
    if (target && FDragTarget != target) target = nullptr;
    FDragTarget = nullptr;
    const TPoint p = target ? ToControl(target, FDragPos.X, FDragPos.Y) : TPoint{0, 0};
    if (source->OnEndDrag) source->OnEndDrag(source, target, p.X, p.Y);
}

void TCustomForm::DragMove(int x, int y) {
    FDragPos = TPoint{x, y};
    TControl* over = nullptr;
    if (x >= 0 && y >= 0 && x < Width() && y < Height()) {
        over = ControlAtPos(x, y);
        if (!over) over = this;
    }
    bool accept = false;
    if (over) {
        const TPoint p = ToControl(over, x, y);
        over->DragOver(FDragControl, p.X, p.Y, accept);
    }
    // OnDragOver may have ended the drag or freed the control.
    FDragTarget = FDragControl && accept && (over == this || over == ControlAtPos(x, y)) ? over : nullptr;
}

void TCustomForm::HandleMouseMove(TShiftState shift, int x, int y) {
    if (FDragControl) {
        DragMove(x, y);
        return;
    }
    UpdateMouseControl(x, y);
    TControl* target = FCaptureControl ? FCaptureControl : FMouseControl;
    if (target) {
        const TPoint p = ToControl(target, x, y);
        target->MouseMove(shift, p.X, p.Y);
    }
    if (TApplication* app = Application(); app && FMouseControl)
        app->HintMouseMove(FMouseControl, TPoint{Left() + x, Top() + y});
}

void TCustomForm::HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y, bool doubleClick) {
    if (TApplication* app = Application()) app->CancelHint();
    UpdateMouseControl(x, y);
    TControl* target = FMouseControl ? FMouseControl : this;
    // The nearest focusable container takes the focus.
    for (TControl* c = target; c && c != this; c = c->Parent())
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->CanFocus()) {
            SetActiveControl(w);
            break;
        }
    if (target != FMouseControl && target != this) return;  // gone in OnExit/OnEnter
    SetCaptureControl(target);
    FPressedControl = button == mbLeft && !doubleClick ? target : nullptr;
    const TPoint p = ToControl(target, x, y);
    target->MouseDown(button, shift | (doubleClick ? ssDouble : 0u), p.X, p.Y);
    if (doubleClick && button == mbLeft && FCaptureControl == target) target->DblClick();
}

void TCustomForm::HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (FDragControl) {
        // The release drops what is dragged; the source gets no mouse up or click.
        SetCaptureControl(nullptr);
        FPressedControl = nullptr;
        if (x != FDragPos.X || y != FDragPos.Y) DragMove(x, y);
        FinishDrag(true);
        UpdateMouseControl(x, y);
        return;
    }
    TControl* target = FCaptureControl ? FCaptureControl : FMouseControl;
    SetCaptureControl(nullptr);
    if (target) {
        const TPoint p = ToControl(target, x, y);
        const bool inside = target->HitTestAt(p.X, p.Y);
        const bool click = button == mbLeft && target == FPressedControl && inside;
        FPressedControl = nullptr;
        target->MouseUp(button, shift, p.X, p.Y);
        // MouseUp may free the control (its form's notification clears FMouseControl);
        // click only a control that is still there.
        const bool still = target == FMouseControl || target == this;
        if (click && still) target->Click();
        if (button == mbRight && inside && still) target->ContextPopup(p.X, p.Y);
    }
    UpdateMouseControl(x, y);
}

void TCustomForm::HandleMouseLeave() {
    if (FCaptureControl) return;
    if (TControl* old = FMouseControl) {
        FMouseControl = nullptr;
        old->MouseLeave();
    }
    if (TApplication* app = Application()) app->CancelHint();
}

void TCustomForm::HandleMouseWheel(TShiftState shift, int delta, int x, int y) {
    TControl* target = FActiveControl ? static_cast<TControl*>(FActiveControl) : FMouseControl;
    for (TControl* c = target; c; c = c->Parent()) {
        const TPoint p = ToControl(c, x, y);
        if (c->MouseWheel(shift, delta, p.X, p.Y)) return;
    }
}

bool TCustomForm::HandleKeyDown(int key, TShiftState shift) {
    if (FDragControl && key == vkEscape) {
        FinishDrag(false);
        return true;
    }
    TWinControl* target = FActiveControl ? FActiveControl : this;
    int k = key;
    target->KeyDown(k, shift);
    if (k == 0) return true;
    if (k == vkTab && !(shift & (ssCtrl | ssAlt))) {
        SelectNext(!(shift & ssShift));
        return true;
    }
    // Alt + a letter or digit nobody used: the control whose accelerator it is.
    const bool letter = (k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9');
    if (letter && (shift & ssAlt) && !(shift & ssCtrl)) {
        const char32_t ch = k >= 'A' && k <= 'Z' ? static_cast<char32_t>(k - 'A' + 'a') : static_cast<char32_t>(k);
        std::function<bool(TWinControl*)> offer = [&](TWinControl* parent) {
            for (int i = parent->ControlCount() - 1; i >= 0; --i) {
                TControl* c = parent->Controls(i);
                if (!c->Visible() || !c->Enabled()) continue;
                if (c->DialogChar(ch)) return true;
                if (auto* w = dynamic_cast<TWinControl*>(c); w && offer(w)) return true;
            }
            return false;
        };
        if (offer(this)) return true;
    }
    return false;
}

bool TCustomForm::HandleKeyUp(int key, TShiftState shift) {
    TWinControl* target = FActiveControl ? FActiveControl : this;
    int k = key;
    target->KeyUp(k, shift);
    return k == 0;
}

bool TCustomForm::HandleChar(char32_t ch) {
    TWinControl* target = FActiveControl ? FActiveControl : this;
    char32_t c = ch;
    target->KeyPress(c);
    return c == 0;
}

void TCustomForm::HandleActivate(bool active) {
    if (active == FActive) return;
    FActive = active;
    if (active) {
        if (OnActivate) OnActivate(this);
    } else {
        if (TApplication* app = Application()) app->CancelHint();
        if (OnDeactivate) OnDeactivate(this);
    }
}

void TCustomForm::HandleCloseRequest() { Close(); }

TWindowHitArea TCustomForm::WindowHitTest(int /*x*/, int /*y*/) const { return TWindowHitArea::Client; }
