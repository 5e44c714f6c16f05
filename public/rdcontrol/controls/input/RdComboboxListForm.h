#pragma once
// TRdComboboxListForm: the combo box's drop-down window. A borderless pop-up form
// that stays on top, has no taskbar button, starts hidden, and shows at a
// constant alpha (the combo realises it at alpha 0, fills and places it, then makes
// it opaque, so it never shows half-drawn). Its Color shows as a BorderWidth-pixel
// border around the client-aligned list and the right-aligned scroll bar.
//
// UI thread only; made and owned by a TRdComboBox.
#include "public/rdcontrol/framework/Form.h"

class TRdComboboxListForm : public TCustomForm {
public:
    explicit TRdComboboxListForm(TComponent* owner);

    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);

protected:
    void AlignControls(TRect& rect) override;

private:
    int FBorderWidth = 1;
};
