#pragma once
// TRdScrollBar: the skinned scroll bar as a container control (the combo box's list
// window holds one, right-aligned). It contains one TRdScrollBarEx (Bar()), filling
// it, and forwards the scroll-bar properties to it; AutoHide hides this whole box.
//
// AdoptScrollInfo reads a window's standard scroll information for a bar (minimum,
// maximum, page, position) and takes it over by SetParams; a standard bar that is
// not shown counts as a page of maximum + 1, so that nothing is scrollable and
// AutoHide can hide the skinned one.
//
// UI thread only.
#include "public/rdcontrol/controls/input/RdScrollBarEx.h"

class TRdScrollBar : public TWinControl {
public:
    explicit TRdScrollBar(TComponent* owner);

    TRdScrollBarEx& Bar() { return *FBar; }
    const TRdScrollBarEx& Bar() const { return *FBar; }

    TScrollBarKind Kind() const { return FBar->Kind(); }
    void SetKind(TScrollBarKind v) { FBar->SetKind(v); }
    int Min() const { return FBar->Min(); }
    int Max() const { return FBar->Max(); }
    int PageSize() const { return FBar->PageSize(); }
    int Position() const { return FBar->Position(); }
    void SetPosition(int v) { FBar->SetPosition(v); }
    void SetParams(int min, int max, int page, int position) { FBar->SetParams(min, max, page, position); }
    int SmallChange() const { return FBar->SmallChange(); }
    void SetSmallChange(int v) { FBar->SetSmallChange(v); }
    int LargeChange() const { return FBar->LargeChange(); }
    void SetLargeChange(int v) { FBar->SetLargeChange(v); }
    unsigned WaitInterval() const { return FBar->WaitInterval(); }
    void SetWaitInterval(unsigned v) { FBar->SetWaitInterval(v); }
    TRdScrollBarImages& AllSkinImage() { return FBar->AllSkinImage(); }
    bool AutoHide() const { return FBar->AutoHide(); }
    void SetAutoHide(bool v) { FBar->SetAutoHide(v); }
    bool Dragging() const { return FBar->Dragging(); }

    void AdoptScrollInfo(const TScrollInfoSource& source, TScrollBarKind kind);

    void SetColor(TColor color) { TControl::SetColor(color); FBar->SetColor(color); }

protected:
    void EnabledChanged() override;
    void PublishProperties(TPropertyTable& table) override;

private:
    TRdScrollBarEx* FBar;
};
