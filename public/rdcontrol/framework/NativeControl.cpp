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
    const TRect rect = FormRect();
    if (rect != FSyncedRect) {
        FNative->SetBounds(rect);
        FSyncedRect = rect;
    }
    const bool visible = Showing();
    if (visible != FSyncedVisible) {
        FNative->SetVisible(visible);
        FSyncedVisible = visible;
    }
    bool enabled = true;
    for (const TControl* c = this; c && enabled; c = c->Parent()) enabled = c->Enabled();
    if (enabled != FSyncedEnabled) {
        FNative->SetEnabled(enabled);
        FSyncedEnabled = enabled;
    }
}

void TNativeControl::Paint(TRdCanvas& canvas) {
    const TCustomForm* form = Form();
    if (FNative && form && form->Layering() == TFormLayering::PerPixelAlpha) canvas.Draw(0, 0, FNative->Snapshot());
}

void TNativeControl::DoEnter() {
    if (FNative) FNative->SetFocus();
    TWinControl::DoEnter();
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
    FText = utf8;
    // The native edit reports the change like a typed one (OnChange).
    if (Native()) Native()->SetText(utf8);
}

void TNativeEdit::NativeCreated() {
    if (!FText.empty()) Native()->SetText(FText);
}

void TNativeEdit::NativeChanged() {
    FText = Native()->Text();
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
