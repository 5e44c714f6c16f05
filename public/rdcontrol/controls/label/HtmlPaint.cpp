#include "public/rdcontrol/controls/label/HtmlPaint.h"

#include "public/rdcontrol/drawing/RasterOps.h"

void PaintHtmlLayout(TRdCanvas& canvas, const THtmlLayoutResult& layout, TPoint origin, std::uint8_t alpha) {
    for (const THtmlDrawItem& item : layout.Items) {
        const TRect r = item.Rect.Offset(origin.X, origin.Y);
        switch (item.Kind) {
            case THtmlDrawKind::Fill: canvas.FillRect(r, item.Color, alpha); break;
            case THtmlDrawKind::Gradient: canvas.GradientFill(r, item.Color, item.ColorTo, item.Vertical, alpha); break;
            case THtmlDrawKind::Line: canvas.FillRect(r, item.Color, alpha); break;
            case THtmlDrawKind::Picture:
                if (item.Picture) {
                    TCanvasStateSaver saver(canvas);
                    canvas.SetDrawAlpha(static_cast<std::uint8_t>(Div255(canvas.DrawAlpha() * alpha)));
                    item.Picture->Draw(canvas, r);
                }
                break;
            case THtmlDrawKind::Bullet:
                if (item.Bullet == THtmlBullet::Square)
                    canvas.FillRect(r, item.Color, alpha);
                else if (item.Bullet == THtmlBullet::Circle)
                    canvas.Ellipse(r, clNone, item.Color, alpha);
                else
                    canvas.Ellipse(r, item.Color, item.Color, alpha);
                break;
            case THtmlDrawKind::Text:
                if (item.Shadow)
                    canvas.TextOut(r.Left + 1, r.Top + 1, item.Text, item.Font, clBlack,
                                   static_cast<std::uint8_t>(Div255(alpha * 96u)));
                canvas.TextOut(r.Left, r.Top, item.Text, item.Font, item.Color, alpha);
                break;
        }
    }
}
