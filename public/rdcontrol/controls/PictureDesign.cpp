#include "public/rdcontrol/controls/PictureDesign.h"

void DrawGraphicDesign(TRdCanvas& canvas, TRdGraphic* graphic, const TDesignRect& option, const TRect& dest) {
    if (!graphic || graphic->Empty() || dest.IsEmpty()) return;
    if (auto* png = dynamic_cast<TPngGraphic*>(graphic)) {
        TCanvasStateSaver saved(canvas);
        if (png->GrayMode()) canvas.SetDrawGray(true);
        canvas.DrawDesign(option, png->Surface(), dest, png->SmoothFilter(), png->AlphaBlendValue());
        return;
    }
    if (auto* rdg = dynamic_cast<TRdgImage*>(graphic); rdg && !option.Empty()) {
        const TRdgImage::TSource& source = rdg->Source();
        if (!source.Picture) return;
        const TArgbSurface& pixels = source.Picture->Surface();
        const TRect r = source.Rect.Intersect(pixels.Bounds());
        if (r.IsEmpty()) return;
        // A read-only view of the part (no copy of the pixels).
        const TArgbSurface part = TArgbSurface::View(const_cast<std::uint32_t*>(pixels.Row(r.Top)) + r.Left,
                                                     r.Width(), r.Height(), pixels.Stride());
        TCanvasStateSaver saved(canvas);
        if (source.Picture->GrayMode()) canvas.SetDrawGray(true);
        canvas.DrawDesign(option, part, dest, source.Picture->SmoothFilter(), source.Alpha);
        return;
    }
    graphic->Draw(canvas, dest);
}

void DrawPictureDesign(TRdCanvas& canvas, TPicture& picture, const TDesignRect& option, const TRect& dest) {
    DrawGraphicDesign(canvas, picture.Graphic().get(), option, dest);
}

bool PictureHasTransparency(const TPicture& picture) {
    const TRdGraphic* graphic = picture.Graphic().get();
    const TArgbSurface* surface = nullptr;
    std::uint8_t alpha = 255;
    if (auto* png = dynamic_cast<const TPngGraphic*>(graphic)) {
        surface = &png->Surface();
        alpha = png->AlphaBlendValue();
    } else if (auto* rdg = dynamic_cast<const TRdgImage*>(graphic)) {
        const TRdgImage::TSource& source = rdg->Source();
        if (!source.Picture) return true;
        surface = &source.Picture->Surface();
        alpha = source.Alpha;
    }
    if (!surface) return true;
    if (alpha != 255) return true;
    for (int y = 0; y < surface->Height(); ++y) {
        const std::uint32_t* row = surface->Row(y);
        for (int x = 0; x < surface->Width(); ++x)
            if ((row[x] >> 24) != 255) return true;
    }
    return false;
}
