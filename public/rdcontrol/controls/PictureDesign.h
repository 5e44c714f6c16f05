#pragma once
// Drawing a picture property by the nine-slice rule of a control's TDesignRect
// (ImageOption, BkgOption, BackgroundOption ...). A PNG picture is cut by the
// option; an RDG picture is cut by the option when it is not empty, else drawn by
// its own descriptor (which may carry its own margins and animates). The picture's
// own constant alpha and grey mode apply.
//
// UI thread only.
#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/pictures/Picture.h"

void DrawPictureDesign(TRdCanvas& canvas, TPicture& picture, const TDesignRect& option, const TRect& dest);
void DrawGraphicDesign(TRdCanvas& canvas, TRdGraphic* graphic, const TDesignRect& option, const TRect& dest);
// Whether the picture may leave pixels of what is under it visible (any pixel not
// fully opaque, or a constant alpha below 255). Pictures that cannot be read count
// as transparent.
bool PictureHasTransparency(const TPicture& picture);
