#include "public/rdcontrol/framework/NativeControl.h"

#include "public/rdcontrol/framework/Form.h"

TNativeControl::TNativeControl(TComponent* owner, TNativeKind kind) : TWinControl(owner), FKind(kind) {
    SetTabStop(true);
}

TNativeControl::~TNativeControl() {
    BeginDestroy();
    FNative.reset();
}

void TNativeControl::SetParent(TWinControl* parent) {
    TWinControl::SetParent(parent);
    if (TCustomForm* form = Form()) form->NoteNativeControls();
}

void TNativeControl::Sync() {
    TCustomForm* form = Form();
    TFormWindow* window = form && !Destroying() ? form->Window() : nullptr;
    if (FNative && FNativeOwner != window) {
        // Moved to another form, or the window was replaced: the old child goes.
        FNative.reset();
        FNativeOwner = nullptr;
    }
    if (!FNative && window) {
        TNativeChildEvents events;
        events.OnChange = [this] { NativeChanged(); };
        events.OnFocus = [this] { NativeFocused(); };
        events.OnRepaint = [this] { NativeRepaint(); };
        events.OnHover = [this](bool inside) { NativeHover(inside); };
        events.OnChar = [this](char32_t ch) {
            KeyPress(ch);
            return ch != 0;
        };
        FNative = window->CreateNativeChild(FKind, std::move(events));
        if (!FNative) return;
        FNativeOwner = window;
        FSyncedRect = TRect{};
        FSyncedVisible = false;
        FSyncedEnabled = true;
        FNative->SetFont(Font().Spec());
        NativeCreated();
    }
    if (!FNative) return;
    const TRect rect = NativeRect();
    if (rect != FSyncedRect) {
        FNative->SetBounds(rect);
        FSyncedRect = rect;
    }
    const bool visible = Showing();
    if (visible != FSyncedVisible) {
        FNative->SetVisible(visible);
        FSyncedVisible = visible;
    }
    const bool enabled = NativeEnabled();
    if (enabled != FSyncedEnabled) {
        FNative->SetEnabled(enabled);
        FSyncedEnabled = enabled;
    }
}

bool TNativeControl::NativeEnabled() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Enabled()) return false;
    return true;
}

void TNativeControl::Paint(TRdCanvas& canvas) { PaintNative(canvas); }

void TNativeControl::PaintNative(TRdCanvas& canvas) {
    const TCustomForm* form = Form();
    if (!FNative || !form || form->Layering() != TFormLayering::PerPixelAlpha) return;
    const TRect rect = NativeRect();
    const TPoint origin = FormOrigin();
    canvas.Draw(rect.Left - origin.X, rect.Top - origin.Y, FNative->Snapshot());
}

void TNativeControl::DoEnter() {
    if (FNative) FNative->SetFocus();
    TWinControl::DoEnter();
}

void TNativeControl::DoExit() {
    // The keys go back to the form's window (and from there to the next control).
    if (FNative) FNative->ReleaseFocus();
    TWinControl::DoExit();
}

void TNativeControl::NativeRepaint() {
    const TCustomForm* form = Form();
    if (form && form->Layering() == TFormLayering::PerPixelAlpha) Invalidate();
}

void TNativeControl::FontChanged() {
    TWinControl::FontChanged();
    if (FNative) FNative->SetFont(Font().Spec());
}

void TNativeControl::NativeChanged() {
    Invalidate();  // a per-pixel-alpha form shows the new snapshot
    if (OnChange) OnChange(this);
}

void TNativeControl::NativeFocused() {
    if (TCustomForm* form = Form(); form && form->ActiveControl() != this) form->SetActiveControl(this);
}

// --- TNativeEdit ----------------------------------------------------------------------

TNativeEdit::TNativeEdit(TComponent* owner) : TNativeControl(owner, TNativeKind::Edit) { SetBounds(0, 0, 121, 23); }

std::string TNativeEdit::Text() const { return Native() ? Native()->Text() : FText; }

void TNativeEdit::SetText(const std::string& utf8) {
    if (!Native() && utf8 == FText) return;
    FText = utf8;
    // The native edit reports the change like a typed one (OnChange); without one
    // the control reports it itself.
    if (Native())
        Native()->SetText(utf8);
    else
        TNativeControl::NativeChanged();
}

void TNativeEdit::NativeCreated() {
    // The text the control already had: no change to report.
    FTakingText = true;
    if (!FText.empty()) Native()->SetText(FText);
    FTakingText = false;
}

void TNativeEdit::NativeChanged() {
    if (FTakingText) return;
    if (Native()) FText = Native()->Text();
    TNativeControl::NativeChanged();
}

// --- TNativeListBox -------------------------------------------------------------------

TNativeListBox::TNativeListBox(TComponent* owner) : TNativeControl(owner, TNativeKind::ListBox) {
    SetBounds(0, 0, 121, 97);
}

void TNativeListBox::SetItems(std::vector<std::string> items) {
    FItems = std::move(items);
    if (FItemIndex >= static_cast<int>(FItems.size())) FItemIndex = -1;
    if (Native()) {
        Native()->SetItems(FItems);
        Native()->SetItemIndex(FItemIndex);
    }
    Invalidate();
}

int TNativeListBox::ItemIndex() const { return Native() ? Native()->ItemIndex() : FItemIndex; }

void TNativeListBox::SetItemIndex(int index) {
    FItemIndex = index >= 0 && index < static_cast<int>(FItems.size()) ? index : -1;
    if (Native()) Native()->SetItemIndex(FItemIndex);
    Invalidate();
}

void TNativeListBox::NativeCreated() {
    Native()->SetItems(FItems);
    Native()->SetItemIndex(FItemIndex);
}

void TNativeListBox::NativeChanged() {
    FItemIndex = Native()->ItemIndex();
    TNativeControl::NativeChanged();
}

void TNativeEdit::SelectAll() {
    if (TNativeChildWindow* native = Native()) native->SelectAll();
}
