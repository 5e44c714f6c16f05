#pragma once
// TNativeControl: a control backed by a native child window of its form (an edit,
// a list), for what the platform does better than drawing: text editing with caret,
// selection, clipboard and input methods, native list navigation.
//
// The native window is made when the control sits on a form that has a window,
// and follows the control from then on: bounds (in form coordinates, so moving a
// parent moves it), whether it is showing, enabled, the font. The form keeps its
// native controls in step after each layout change (TCustomForm::SyncNativeControls,
// run at every paint). A per-pixel-alpha form does not show child windows on its
// own, so there the control paints the native window's snapshot into the back
// buffer, and every change the native control reports repaints it.
//
// TNativeEdit and TNativeListBox are what the skinned edit and combo box build on.
//
// UI thread only.
#include <memory>
#include <string>
#include <vector>

#include "public/rdcontrol/framework/FormWindow.h"
#include "public/rdcontrol/framework/WinControl.h"

class TNativeControl : public TWinControl {
public:
    TNativeControl(TComponent* owner, TNativeKind kind);
    ~TNativeControl() override;

    TNativeKind Kind() const { return FKind; }
    // The native window, or nullptr while the control is not on a form with a window.
    TNativeChildWindow* Native() const { return FNative.get(); }
    // Makes the native window now if it can, and brings it in step.
    void Sync();

    void SetParent(TWinControl* parent) override;
    TNotifyEvent OnChange;

protected:
    void Paint(TRdCanvas& canvas) override;
    // On a per-pixel-alpha form: the native window's snapshot at its place.
    void PaintNative(TRdCanvas& canvas);
    void DoEnter() override;
    void DoExit() override;
    void FontChanged() override;
    // Where the native window goes, in form coordinates (the whole control here;
    // a skinned edit keeps its frame to itself).
    virtual TRect NativeRect() const { return FormRect(); }
    // Whether the native window is enabled (as the control and its parents are).
    virtual bool NativeEnabled() const;
    // The native window was just made: give it this control's state.
    virtual void NativeCreated() {}
    virtual void NativeChanged();
    // Its look changed without a content change (caret, selection).
    virtual void NativeRepaint();
    // The pointer came over the native window or left it.
    virtual void NativeHover(bool /*inside*/) {}

private:
    void NativeFocused();

    TNativeKind FKind;
    std::unique_ptr<TNativeChildWindow> FNative;
    TFormWindow* FNativeOwner = nullptr;  // the window the native child lives in
    TRect FSyncedRect;
    bool FSyncedVisible = false, FSyncedEnabled = true;
};

// A single-line native text editor.
class TNativeEdit : public TNativeControl {
public:
    explicit TNativeEdit(TComponent* owner);
    std::string Text() const;
    void SetText(const std::string& utf8);
    // Selects the whole text (when the native window exists).
    void SelectAll();

protected:
    void NativeCreated() override;
    void NativeChanged() override;

private:
    std::string FText;  // while there is no native window, and as the last known text
    bool FTakingText = false;
};

// A native list of strings with one selected item.
class TNativeListBox : public TNativeControl {
public:
    explicit TNativeListBox(TComponent* owner);
    const std::vector<std::string>& Items() const { return FItems; }
    void SetItems(std::vector<std::string> items);
    // -1: none.
    int ItemIndex() const;
    void SetItemIndex(int index);

protected:
    void NativeCreated() override;
    void NativeChanged() override;

private:
    std::vector<std::string> FItems;
    int FItemIndex = -1;
};
