#pragma once
// THintWindow: the small form that shows a control's hint near the mouse. A
// per-pixel-alpha form (it keeps its rounded corners on any background), shown
// without taking the activation, sized to its text (up to MaxWidth, wrapped).
//
// UI thread only; the application owns it.
#include "public/rdcontrol/framework/Form.h"

class THintWindow : public TCustomForm {
public:
    explicit THintWindow(TComponent* owner);
    static constexpr int MaxWidth = 400;
    // Space between the border and the text.
    static constexpr int PadX = 6, PadY = 3;
    // Shows text with the window's top-left at screen point at (moved up/left to
    // stay inside workArea).
    void ActivateHint(const std::string& text, TPoint at, const TRect& workArea);
    // The size text needs.
    TRect CalcHintRect(const std::string& text);

protected:
    void Paint(TRdCanvas& canvas) override;
};
