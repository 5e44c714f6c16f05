#pragma once
// Drawing a control's picture into a rectangle by the control's nine-slice option,
// at a constant opacity, as every skinned control draws its state pictures.
//
// An empty option leaves the picture to draw itself scaled over dest (an RDG
// picture then applies its own options); otherwise the option's rule cuts the
// picture: a PNG's pixels, an RDG picture's source rectangle (with its alpha and
// grey mode), and any other graphic after drawing it at its own size first.
//
// The canvas's draw options apply: DrawAlpha multiplies alpha, DrawGray greys,
// and DrawScale shrinks or grows dest about the canvas's scale centre first (a
// control sets both from its skin's Draw options while it paints; see
// TControl::PaintTo).
//
// UI thread only.
#include <cstdint>

#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/pictures/Picture.h"

void DrawPicture(TRdCanvas& canvas, TPicture& picture, const TDesignRect& option, const TRect& dest,
                 std::uint8_t alpha = 255);
void DrawGraphic(TRdCanvas& canvas, TRdGraphic& graphic, const TDesignRect& option, const TRect& dest,
                 std::uint8_t alpha = 255);

// The picture's pixels at its own size (premultiplied), for hit masks; empty for an
// empty picture.
TArgbSurface PictureSurface(TPicture& picture);
