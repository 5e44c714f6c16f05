#pragma once
// TWinControl: a control that holds other controls. Children are kept in z-order
// (first = bottom), painted bottom to top, hit-tested top to bottom, and laid out
// by their Align (alTop, alBottom, alLeft, alRight, alClient, in that order, with
// margins when AlignWithMargins) and, when this control is resized, by their
// Anchors (an anchored far edge keeps its distance; both edges anchored stretch).
//
// It may take the keyboard focus (TabStop, SetFocus) and has key events. In this
// library containers are windowless too; controls that need a native window (an
// editor) are the exception and say so.
//
// UI thread only.
#include <functional>
#include <vector>

#include "public/rdcontrol/framework/Control.h"

// Virtual-key codes the library itself acts on (the platform's numbering).
enum TVirtualKey : int { vkBack = 8, vkTab = 9, vkReturn = 13, vkEscape = 27, vkSpace = 32 };

class TWinControl : public TControl {
public:
    using TKeyEvent = std::function<void(TControl* sender, int& key, TShiftState shift)>;
    using TKeyPressEvent = std::function<void(TControl* sender, char32_t& key)>;

    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls[static_cast<std::size_t>(index)]; }

    // The topmost visible, enabled child under point (client coordinates) whose hit
    // test answers yes, searched through nested containers; a container whose own
    // HitTest is false but that holds a hit child gives the child. nullptr if none.
    TControl* ControlAtPos(int x, int y, bool allowDisabled = false) const;

    // Lays out the aligned children now (SetBounds calls this as needed).
    void Realign();
    // Suspends layout while several children change; the last EnableAlign realigns.
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    // A control inside wants to be seen (it is being focused): containers that show
    // one child at a time (a notebook's pages) bring it into view. The default asks
    // the parent.
    virtual void ShowControl(TControl* control);

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v) { FTabStop = v; }
    bool CanFocus() const;
    bool Focused() const;
    void SetFocus();

    // Keys (called by the form for the focused control).
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void KeyPress(char32_t& key);
    virtual void DoEnter();
    virtual void DoExit();

    void SetBounds(int left, int top, int width, int height) override;
    void PaintTo(TRdCanvas& canvas) override;

    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter, OnExit;

protected:
    // Paints the children (bottom to top), each clipped to its bounds.
    void PaintChildren(TRdCanvas& canvas);
    // After the children, for controls that draw over them (OnPaint of a panel).
    virtual void PaintAfterChildren(TRdCanvas& /*canvas*/) {}
    virtual void AlignControls(TRect& rect);
    // A control was just placed in this one (on top). Containers that keep their
    // children elsewhere (a notebook moves them onto its active page) act here.
    virtual void ControlInserted(TControl* /*control*/) {}
    void FontChanged() override;
    void ParentColorChanged() override;

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void AnchorChildren(int oldClientWidth, int oldClientHeight);

    std::vector<TControl*> FControls;
    int FAlignLevel = 0;
    bool FAligning = false;
    bool FAlignPending = false;
    bool FTabStop = false;
};
