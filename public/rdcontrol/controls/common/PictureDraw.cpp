#include "public/rdcontrol/controls/common/PictureDraw.h"

#include "public/rdcontrol/drawing/RasterOps.h"

namespace {

std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

}  // namespace

void DrawGraphic(TRdCanvas& canvas, TRdGraphic& graphic, const TDesignRect& option, const TRect& laidOut,
                 std::uint8_t alpha) {
    const TRect dest = canvas.Scaled(laidOut);
    if (graphic.Empty() || dest.IsEmpty() || alpha == 0) return;
    TCanvasStateSaver saved(canvas);
    canvas.SetDrawAlpha(Multiply(canvas.DrawAlpha(), alpha));
    // Scaled once here; a graphic that draws through DrawGraphic again is not scaled twice.
    canvas.SetDrawScale(100, 0, 0);
    if (option.Empty()) {
        graphic.Draw(canvas, dest);
        return;
    }
    if (auto* png = dynamic_cast<TPngGraphic*>(&graphic)) {
        if (png->GrayMode()) canvas.SetDrawGray(true);
        canvas.DrawDesign(option, png->Surface(), dest, png->SmoothFilter(), png->AlphaBlendValue());
        return;
    }
    if (auto* rdg = dynamic_cast<TRdgImage*>(&graphic)) {
        const TRdgImage::TSource& source = rdg->Source();
        if (!source.Picture) return;
        const TArgbSurface& pixels = source.Picture->Surface();
        const TRect& r = source.Rect;
        // A read-only view of the source rectangle; nothing writes through it.
        const TArgbSurface part = TArgbSurface::View(const_cast<std::uint32_t*>(pixels.Row(r.Top)) + r.Left,
                                                     r.Width(), r.Height(), pixels.Stride());
        if (source.Picture->GrayMode()) canvas.SetDrawGray(true);
        canvas.DrawDesign(option, part, dest, source.Picture->SmoothFilter(), source.Alpha);
        return;
    }
    TArgbSurface bitmap(graphic.Width(), graphic.Height());
    TRdCanvas bitmapCanvas(bitmap);
    graphic.Draw(bitmapCanvas, bitmap.Bounds());
    canvas.DrawDesign(option, bitmap, dest);
}

void DrawPicture(TRdCanvas& canvas, TPicture& picture, const TDesignRect& option, const TRect& dest,
                 std::uint8_t alpha) {
    if (picture.Empty()) return;
    DrawGraphic(canvas, *picture.Graphic(), option, dest, alpha);
}

TArgbSurface PictureSurface(TPicture& picture) {
    if (picture.Empty()) return TArgbSurface();
    TArgbSurface pixels(picture.Width(), picture.Height());
    TRdCanvas canvas(pixels);
    picture.Draw(canvas, pixels.Bounds());
    return pixels;
}
