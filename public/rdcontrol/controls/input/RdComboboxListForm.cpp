#include "public/rdcontrol/controls/input/RdComboboxListForm.h"

#include <algorithm>

TRdComboboxListForm::TRdComboboxListForm(TComponent* owner) : TCustomForm(owner) {
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetTaskbarButton(false);
    SetAlphaBlend(true);
    SetShowHint(false);
}

void TRdComboboxListForm::SetBorderWidth(int v) {
    v = std::max(0, v);
    if (v == FBorderWidth) return;
    FBorderWidth = v;
    Realign();
    Invalidate();
}

void TRdComboboxListForm::AlignControls(TRect& rect) {
    rect = TRect{rect.Left + FBorderWidth, rect.Top + FBorderWidth, rect.Right - FBorderWidth,
                 rect.Bottom - FBorderWidth};
    TCustomForm::AlignControls(rect);
}
