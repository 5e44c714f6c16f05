#include "public/rdcontrol/framework/SkinHintWindow.h"

void TRdSkinHintWindow::ApplyStyle(const TRdHintStyle& style) {
    SetColor(style.Color());
    Font().Assign(style.Font());
    if (style.BorderColor() != FBorderColor) {
        FBorderColor = style.BorderColor();
        InvalidateRect(ClientRect());
    }
}

void TRdSkinHintWindow::Paint(TRdCanvas& canvas) {
    canvas.RoundRect(ClientRect(), 3, 3, Color(), FBorderColor);
    canvas.DrawText(Caption(), TRect{PadX, PadY, Width() - PadX, Height() - PadY}, Font().Spec(), Font().Color(),
                    tfWordBreak, Font().Alpha());
}
