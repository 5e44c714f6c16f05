#pragma once
// Painting an HTML label's layout (HtmlLayout.h): its fills, gradients, rules,
// bullets, pictures and text runs, in order, at a constant opacity. UI thread only.
#include <cstdint>

#include "public/rdcontrol/controls/label/HtmlLayout.h"
#include "public/rdcontrol/drawing/Canvas.h"

// Paints a layout with its text area's top-left at origin (canvas coordinates).
void PaintHtmlLayout(TRdCanvas& canvas, const THtmlLayoutResult& layout, TPoint origin, std::uint8_t alpha = 255);
