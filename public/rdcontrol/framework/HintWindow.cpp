#include "public/rdcontrol/framework/HintWindow.h"

#include <algorithm>

THintWindow::THintWindow(TComponent* owner) : TCustomForm(owner) {
    SetPerPixelAlpha(true);
    SetShowNoActivate(true);
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetColor(RGB(255, 255, 225));
    Font().SetColor(clBlack);
}

TRect THintWindow::CalcHintRect(const std::string& text) {
    TArgbSurface scratch(1, 1);
    TRdCanvas canvas(scratch);
    const TTextDrawResult r = canvas.DrawText(text, TRect{0, 0, MaxWidth - 2 * PadX, 10000}, Font().Spec(),
                                              Font().Color(), tfWordBreak | tfCalcRect);
    return TRect{0, 0, r.Bounds.Width() + 2 * PadX, r.Bounds.Height() + 2 * PadY};
}

void THintWindow::ActivateHint(const std::string& text, TPoint at, const TRect& workArea) {
    SetCaption(text);
    const TRect size = CalcHintRect(text);
    int x = at.X, y = at.Y;
    if (x + size.Width() > workArea.Right) x = workArea.Right - size.Width();
    if (y + size.Height() > workArea.Bottom) y = at.Y - size.Height() - 24;
    x = std::max(x, workArea.Left);
    y = std::max(y, workArea.Top);
    SetBounds(x, y, size.Width(), size.Height());
    InvalidateRect(ClientRect());
    Show();
}

void THintWindow::Paint(TRdCanvas& canvas) {
    canvas.RoundRect(ClientRect(), 3, 3, Color(), clGray);
    canvas.DrawText(Caption(), TRect{PadX, PadY, Width() - PadX, Height() - PadY}, Font().Spec(), Font().Color(),
                    tfWordBreak, Font().Alpha());
}
