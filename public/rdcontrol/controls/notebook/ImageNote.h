#pragma once
// TImageNote (on the plain image control) and TRdImageNote (on the skinned TRdImage):
// an image control that holds a named list of pictures and shows the one ImageIndex
// selects. The installer keeps alternative pictures in one (check marks, product
// icons, the tray icon's frames) and switches them by index or name.
//
// ImageIndex i within 0..Count-1 shows a copy of Items[i]'s picture (one repaint)
// and stores i; -1 shows nothing; any other value changes nothing. With Locked the
// control's bounds, remembered when Locked is set, are put back after every change
// of the shown picture, so AutoSize moves and sizes nothing. AutoSize (our addition:
// the plain image control has none) sizes the control to the shown picture.
// TRdImageNote raises OnItemChanged when the shown item changes.
//
// UI thread only.
#include "public/rdcontrol/controls/common/Icon.h"
#include "public/rdcontrol/controls/notebook/PictureCollection.h"
#include "public/rdcontrol/framework/RdControls.h"

template <typename TBase>
class TImageNoteOn : public TBase {
public:
    explicit TImageNoteOn(TComponent* owner) : TBase(owner) {
        TIcon::Register();  // a tray icon's frames are icons, stored as such
        this->Picture().OnChange = [this](TPicture*) { ShownPictureChanged(); };
    }
    ~TImageNoteOn() override { this->Picture().OnChange = nullptr; }

    TPictureCollection& Items() { return FItems; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index) {
        if (index < -1 || index >= FItems.Count()) return;
        const bool changed = index != FImageIndex;
        FImageIndex = index;
        if (index < 0) this->Picture().Clear();
        else this->Picture().Assign(FItems.Items(index).Picture().Graphic().get());
        if (changed) ItemChanged();
    }
    // Selects the first item of that name (exact); an unknown name changes nothing.
    void SetImageName(const std::string& name) {
        if (const int i = FItems.IndexOf(name); i >= 0) SetImageIndex(i);
    }
    bool Locked() const { return FLocked; }
    void SetLocked(bool locked) {
        FLocked = locked;
        if (locked) FLockedBounds = this->BoundsRect();
    }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) {
        FAutoSize = v;
        if (v) ShownPictureChanged();
    }

protected:
    virtual void ItemChanged() {}

private:
    void ShownPictureChanged() {
        if (this->Destroying()) return;
        if (FAutoSize && !this->Picture().Empty())
            this->SetBounds(this->Left(), this->Top(), this->Picture().Width(), this->Picture().Height());
        if (FLocked) this->SetBoundsRect(FLockedBounds);
        this->Invalidate();
    }

    TPictureCollection FItems;
    int FImageIndex = -1;
    bool FLocked = false;
    bool FAutoSize = false;
    TRect FLockedBounds;
};

class TImageNote : public TImageNoteOn<TImage> {
public:
    using TImageNoteOn::TImageNoteOn;
};

class TRdImageNote : public TImageNoteOn<TRdImage> {
public:
    using TImageNoteOn::TImageNoteOn;
    TNotifyEvent OnItemChanged;

protected:
    void ItemChanged() override {
        if (OnItemChanged) OnItemChanged(this);
    }
};
