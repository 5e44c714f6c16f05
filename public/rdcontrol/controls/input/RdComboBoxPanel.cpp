#include "public/rdcontrol/controls/input/RdComboBoxPanel.h"

#include "public/rdcontrol/controls/input/RdComboBox.h"

TRdComboBoxPanel::TRdComboBoxPanel(TComponent* owner, TRdComboBox& combo) : TRdGraphicControl(owner), FCombo(combo) {}

void TRdComboBoxPanel::SetFocusFlag(bool v) {
    if (v == FFocus) return;
    FFocus = v;
    Invalidate();
}

void TRdComboBoxPanel::Paint(TRdCanvas& canvas) { FCombo.PaintFace(canvas); }

void TRdComboBoxPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TRdGraphicControl::MouseDown(button, shift, x, y);
    if (!Enabled()) return;
    if (button == mbLeft)
        FCombo.SetDroppedDown(!FCombo.DroppedDown());
    else
        FCombo.SetDroppedDown(false);
}

void TRdComboBoxPanel::MouseEnter() {
    TRdGraphicControl::MouseEnter();
    FHover = true;
    Invalidate();
    FCombo.FaceEntered(true);
}

void TRdComboBoxPanel::MouseLeave() {
    TRdGraphicControl::MouseLeave();
    FHover = false;
    Invalidate();
    FCombo.FaceEntered(false);
}
