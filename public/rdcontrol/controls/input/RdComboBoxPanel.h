#pragma once
// TRdComboBoxPanel: the visible face of a TRdComboBox, a windowless control on
// the combo's parent, kept in front of the combo at the bottom of its bounds. It
// has a hover flag and a focus flag; the combo paints it (state image, text or
// prompt) and takes its presses: the left button toggles the list, the right and
// middle buttons close it. Entering and leaving pass on to the combo's
// OnMouseEnter / OnMouseLeave.
//
// UI thread only; made and owned by its combo.
#include "public/rdcontrol/framework/RdControls.h"

class TRdComboBox;

class TRdComboBoxPanel : public TRdGraphicControl {
public:
    TRdComboBoxPanel(TComponent* owner, TRdComboBox& combo);

    bool Hover() const { return FHover; }
    bool FocusFlag() const { return FFocus; }
    void SetFocusFlag(bool v);

protected:
    void Paint(TRdCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    TRdComboBox& FCombo;
    bool FHover = false;
    bool FFocus = false;
};
