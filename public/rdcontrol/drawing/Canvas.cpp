#include "public/rdcontrol/drawing/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "public/rdcontrol/base/CheckedMath.h"
#include "public/rdcontrol/drawing/TextLayout.h"

namespace {

// The pixel for every coverage value of one colour, so compositing a mask is a
// table look-up and one blend per inked pixel.
struct TCoverageColors {
    explicit TCoverageColors(std::uint32_t argb) {
        for (std::uint32_t c = 0; c < 256; ++c) Pixel[c] = ScalePixel(argb, c);
    }
    std::uint32_t Pixel[256];
};

// Composites mask with its top-left at (x, y) of view, inside clip (view
// coordinates, within the view).
void CompositeMask(TArgbSurface& view, const TRect& clip, std::int64_t x, std::int64_t y, const TCoverageMask& mask,
                   const TCoverageColors& colors) {
    if (mask.Width <= 0 || mask.Height <= 0) return;
    // Checked: in a 32-bit process the product of two large sides would wrap and let a
    // short mask through.
    const std::optional<std::size_t> cells =
        CheckedSize<std::size_t>({static_cast<std::size_t>(mask.Width), static_cast<std::size_t>(mask.Height)});
    if (!cells || mask.Coverage.size() < *cells) return;
    const std::int64_t left = std::max<std::int64_t>(x, clip.Left);
    const std::int64_t right = std::min<std::int64_t>(x + mask.Width, clip.Right);
    const std::int64_t top = std::max<std::int64_t>(y, clip.Top);
    const std::int64_t bottom = std::min<std::int64_t>(y + mask.Height, clip.Bottom);
    if (left >= right || top >= bottom) return;
    const auto width = static_cast<std::size_t>(right - left);
    for (auto row = static_cast<int>(top); row < bottom; ++row) {
        const std::uint8_t* coverage =
            mask.Coverage.data() + static_cast<std::size_t>(row - y) * static_cast<std::size_t>(mask.Width) +
            static_cast<std::size_t>(left - x);
        std::uint32_t* out = view.Row(row) + left;
        for (std::size_t i = 0; i < width; ++i)
            if (coverage[i] != 0) out[i] = OverValidPixel(out[i], colors.Pixel[coverage[i]]);
    }
}

// Plots the line from (x1, y1) to (x2, y2) on view, the end point only when last.
// Each step along the longer axis places one pixel at the rounded position of the
// exact line, so both ends are hit exactly and no pixel is blended twice. Only the
// steps inside the view are walked, so far-away end points cost nothing.
void PlotLine(TArgbSurface& view, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
              std::uint32_t argb, bool last) {
    const bool xMajor = std::llabs(x2 - x1) >= std::llabs(y2 - y1);
    if (!xMajor) {
        std::swap(x1, y1);
        std::swap(x2, y2);
    }
    // Now the major axis is "x"; (major, minor) maps back to (x, y) or (y, x).
    const std::int64_t majorSize = xMajor ? view.Width() : view.Height();
    const std::int64_t minorSize = xMajor ? view.Height() : view.Width();
    const std::int64_t d = std::llabs(x2 - x1), e = std::llabs(y2 - y1);
    const std::int64_t sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
    std::int64_t first = 0, lastStep = last ? d : d - 1;
    // Steps t with 0 <= x1 + sx * t < majorSize.
    if (sx > 0) {
        first = std::max(first, -x1);
        lastStep = std::min(lastStep, majorSize - 1 - x1);
    } else {
        first = std::max(first, x1 - (majorSize - 1));
        lastStep = std::min(lastStep, x1);
    }
    for (std::int64_t t = first; t <= lastStep; ++t) {
        const std::int64_t major = x1 + sx * t;
        // round(t * e / d), halves up; t * e < 2^64 since both are below 2^32.
        std::int64_t step = 0;
        if (d != 0) {
            const std::uint64_t product = static_cast<std::uint64_t>(t) * static_cast<std::uint64_t>(e);
            const auto divisor = static_cast<std::uint64_t>(d);
            step = static_cast<std::int64_t>(product / divisor + (2 * (product % divisor) >= divisor ? 1 : 0));
        }
        const std::int64_t minor = y1 + sy * step;
        if (minor < 0 || minor >= minorSize) continue;
        std::uint32_t& pixel =
            xMajor ? view.Row(static_cast<int>(minor))[major] : view.Row(static_cast<int>(major))[minor];
        pixel = OverValidPixel(pixel, argb);
    }
}

// Coverage (0..1) of the pixel centred at (px, py) by the rectangle [left, right)
// x [top, bottom) with elliptic corners of radii rx, ry. The straight edges lie
// on pixel borders, so only corner pixels get partial coverage: one minus the
// pixel-centre distance to the ellipse plus a half, the distance estimated to
// first order (implicit function over its gradient), which is within a few
// per cent of the exact area for radii from one pixel up.
double RoundCoverage(double px, double py, double left, double top, double right, double bottom, double rx,
                     double ry) {
    if (px < left || px > right || py < top || py > bottom) return 0;
    if (rx <= 0 || ry <= 0) return 1;
    const double cx = px < left + rx ? left + rx : (px > right - rx ? right - rx : px);
    const double cy = py < top + ry ? top + ry : (py > bottom - ry ? bottom - ry : py);
    if (cx == px || cy == py) return 1;
    const double dx = px - cx, dy = py - cy;
    const double g = dx * dx / (rx * rx) + dy * dy / (ry * ry) - 1;
    const double gx = 2 * dx / (rx * rx), gy = 2 * dy / (ry * ry);
    const double length = std::sqrt(gx * gx + gy * gy);
    const double distance = length > 0 ? g / length : -std::min(rx, ry);
    return std::clamp(0.5 - distance, 0.0, 1.0);
}

std::uint32_t CoverageByte(double coverage) { return static_cast<std::uint32_t>(coverage * 255 + 0.5); }

}  // namespace

TRdCanvas::TRdCanvas(TArgbSurface& surface, TTextRenderer* text)
    : FSurface(&surface), FText(text ? text : &DefaultTextRenderer()), FClip(surface.Bounds()) {}

void TRdCanvas::SetDrawScale(int percent, double centreX, double centreY) {
    FDrawScale = percent < 1 ? 1 : percent;
    FScaleX = centreX + FOrigin.X;
    FScaleY = centreY + FOrigin.Y;
}

TRect TRdCanvas::Scaled(const TRect& rect) const {
    if (FDrawScale == 100) return rect;
    const double s = FDrawScale / 100.0;
    const double cx = DrawScaleCentreX(), cy = DrawScaleCentreY();
    // A skin may ask for any scale: keep the result a valid int (the clip does the rest).
    auto at = [s](double c, int v) {
        return static_cast<int>(std::lround(std::clamp(c + (v - c) * s, -1e9, 1e9)));
    };
    return TRect{at(cx, rect.Left), at(cy, rect.Top), at(cx, rect.Right), at(cy, rect.Bottom)};
}

void TRdCanvas::SetClipRect(const TRect& surfaceRect) {
    FClip = surfaceRect.Intersect(FSurface->Bounds());
    if (FClip.IsEmpty()) FClip = TRect{};
}

void TRdCanvas::IntersectClip(const TRect& canvasRect) {
    SetClipRect(FClip.Intersect(canvasRect.Offset(FOrigin.X, FOrigin.Y)));
}

TArgbSurface TRdCanvas::ClipView() {
    if (FClip.IsEmpty()) return TArgbSurface{};
    return FSurface->SubSurface(FClip);
}

static std::uint8_t MulAlpha(std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(Div255(a * b)); }

const TArgbSurface& TRdCanvas::MaybeGray(const TArgbSurface& picture, TArgbSurface& scratch) const {
    if (!FDrawGray) return picture;
    scratch = picture;
    for (int y = 0; y < scratch.Height(); ++y) {
        std::uint32_t* row = scratch.Row(y);
        for (int x = 0; x < scratch.Width(); ++x) {
            const std::uint32_t p = row[x];
            const std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            // Rec. 601 luma on premultiplied values stays premultiplied.
            const std::uint32_t l = (r * 77 + g * 150 + b * 29 + 128) >> 8;
            row[x] = (p & 0xFF000000u) | (l << 16) | (l << 8) | l;
        }
    }
    return scratch;
}

void TRdCanvas::Draw(int x, int y, const TArgbSurface& picture, std::uint8_t alpha) {
    TArgbSurface view = ClipView();
    if (view.Empty() || picture.Empty()) return;
    TArgbSurface scratch;
    const TPoint off = ViewOffset();
    BlendSurface(view, x + off.X, y + off.Y, MaybeGray(picture, scratch), MulAlpha(alpha, FDrawAlpha));
}

void TRdCanvas::StretchDraw(const TRect& dest, const TArgbSurface& picture, const TRect& source,
                            TPixelStretchFilter filter, std::uint8_t alpha) {
    TArgbSurface view = ClipView();
    if (view.Empty() || picture.Empty()) return;
    TArgbSurface scratch;
    const TPoint off = ViewOffset();
    StretchBlend(view, dest.Offset(off.X, off.Y), MaybeGray(picture, scratch), source, filter,
                 MulAlpha(alpha, FDrawAlpha));
}

void TRdCanvas::DrawDesign(const TDesignRect& option, const TArgbSurface& picture, const TRect& dest,
                           TPixelStretchFilter filter, std::uint8_t alpha) {
    TArgbSurface view = ClipView();
    if (view.Empty() || picture.Empty()) return;
    TArgbSurface scratch;
    const TPoint off = ViewOffset();
    const std::uint8_t a = MulAlpha(alpha, FDrawAlpha);
    if (a == 0) return;
    const TRect target = dest.Offset(off.X, off.Y);
    if (a == 255) {
        option.Draw(MaybeGray(picture, scratch), view, target, filter);
        return;
    }
    // Nine-slice into a transparent layer, then composite it at a: overlapping
    // pieces must not show through each other. The layer holds only the visible
    // part of dest (the rule draws a cut-off dest the same), so a large dest
    // costs no more than the clip.
    const TRect visible = target.Intersect(view.Bounds());
    if (visible.IsEmpty()) return;
    TArgbSurface layer(visible.Width(), visible.Height());
    option.Draw(MaybeGray(picture, scratch), layer, target.Offset(-visible.Left, -visible.Top), filter);
    BlendSurface(view, visible.Left, visible.Top, layer, a);
}

void TRdCanvas::FillRect(const TRect& rect, TColor color, std::uint8_t alpha) {
    if (color == clNone) return;
    TArgbSurface view = ClipView();
    if (view.Empty()) return;
    const TPoint off = ViewOffset();
    FillRectBlend(view, rect.Offset(off.X, off.Y), ColorToArgb(color, alpha));
}

void TRdCanvas::FrameRect(const TRect& rect, TColor color, int width, std::uint8_t alpha) {
    if (color == clNone || width <= 0 || rect.IsEmpty()) return;
    if (2 * static_cast<std::int64_t>(width) >= rect.Width() || 2 * static_cast<std::int64_t>(width) >= rect.Height()) {
        FillRect(rect, color, alpha);
        return;
    }
    // Four bands that do not overlap, so corners are blended once.
    FillRect(TRect{rect.Left, rect.Top, rect.Right, rect.Top + width}, color, alpha);
    FillRect(TRect{rect.Left, rect.Bottom - width, rect.Right, rect.Bottom}, color, alpha);
    FillRect(TRect{rect.Left, rect.Top + width, rect.Left + width, rect.Bottom - width}, color, alpha);
    FillRect(TRect{rect.Right - width, rect.Top + width, rect.Right, rect.Bottom - width}, color, alpha);
}

void TRdCanvas::GradientFill(const TRect& rect, TColor from, TColor to, bool vertical, std::uint8_t alpha) {
    const std::uint32_t first = ColorToArgb(from, alpha), last = ColorToArgb(to, alpha);
    if ((first == 0 && last == 0) || rect.IsEmpty()) return;
    TArgbSurface view = ClipView();
    const TPoint off = ViewOffset();
    const TRect target = rect.Offset(off.X, off.Y);
    const TRect visible = target.Intersect(view.Bounds());
    if (visible.IsEmpty()) return;
    // Premultiplied channels interpolated with rounding: exact ends, and every step
    // stays a valid premultiplied pixel because colour and alpha round alike.
    const std::int64_t steps = (vertical ? target.Height() : target.Width()) - 1;
    auto at = [&](std::int64_t i) {
        if (steps == 0) return first;
        std::uint32_t pixel = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const std::int64_t a = (first >> shift) & 0xFF, b = (last >> shift) & 0xFF;
            pixel |= static_cast<std::uint32_t>((a * (steps - i) + b * i + steps / 2) / steps) << shift;
        }
        return pixel;
    };
    if (vertical) {
        for (int y = visible.Top; y < visible.Bottom; ++y) {
            const std::uint32_t pixel = at(y - target.Top);
            std::uint32_t* out = view.Row(y);
            for (int x = visible.Left; x < visible.Right; ++x) out[x] = OverValidPixel(out[x], pixel);
        }
        return;
    }
    std::vector<std::uint32_t> columns(static_cast<std::size_t>(visible.Width()));
    for (int x = visible.Left; x < visible.Right; ++x)
        columns[static_cast<std::size_t>(x - visible.Left)] = at(x - target.Left);
    for (int y = visible.Top; y < visible.Bottom; ++y) {
        std::uint32_t* out = view.Row(y) + visible.Left;
        for (std::size_t i = 0; i < columns.size(); ++i) out[i] = OverValidPixel(out[i], columns[i]);
    }
}

void TRdCanvas::Line(int x1, int y1, int x2, int y2, TColor color, std::uint8_t alpha) {
    const std::uint32_t argb = ColorToArgb(color, alpha);
    TArgbSurface view = ClipView();
    if (argb == 0 || view.Empty()) return;
    const TPoint off = ViewOffset();
    PlotLine(view, std::int64_t{x1} + off.X, std::int64_t{y1} + off.Y, std::int64_t{x2} + off.X,
             std::int64_t{y2} + off.Y, argb, true);
}

void TRdCanvas::Polyline(std::span<const TPoint> points, TColor color, std::uint8_t alpha) {
    const std::uint32_t argb = ColorToArgb(color, alpha);
    TArgbSurface view = ClipView();
    if (argb == 0 || view.Empty() || points.empty()) return;
    const TPoint off = ViewOffset();
    if (points.size() == 1) {
        PlotLine(view, std::int64_t{points[0].X} + off.X, std::int64_t{points[0].Y} + off.Y,
                 std::int64_t{points[0].X} + off.X, std::int64_t{points[0].Y} + off.Y, argb, true);
        return;
    }
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        PlotLine(view, std::int64_t{points[i].X} + off.X, std::int64_t{points[i].Y} + off.Y,
                 std::int64_t{points[i + 1].X} + off.X, std::int64_t{points[i + 1].Y} + off.Y, argb,
                 i + 2 == points.size());
}

void TRdCanvas::RoundRect(const TRect& rect, int rx, int ry, TColor fill, TColor pen, std::uint8_t alpha) {
    const double w = rect.Width(), h = rect.Height();
    RoundShape(rect, std::clamp<double>(rx, 0, w / 2), std::clamp<double>(ry, 0, h / 2), fill, pen, alpha);
}

void TRdCanvas::Ellipse(const TRect& rect, TColor fill, TColor pen, std::uint8_t alpha) {
    RoundShape(rect, rect.Width() / 2.0, rect.Height() / 2.0, fill, pen, alpha);
}

void TRdCanvas::RoundShape(const TRect& rect, double rx, double ry, TColor fill, TColor pen, std::uint8_t alpha) {
    const std::uint32_t fillArgb = ColorToArgb(fill, alpha), penArgb = ColorToArgb(pen, alpha);
    if ((fillArgb == 0 && penArgb == 0) || rect.IsEmpty()) return;
    TArgbSurface view = ClipView();
    const TPoint off = ViewOffset();
    const TRect target = rect.Offset(off.X, off.Y);
    const TRect visible = target.Intersect(view.Bounds());
    if (visible.IsEmpty()) return;
    // The pen is the one-pixel ring between the shape and the same shape inset by
    // a pixel (radii one less); the fill is what the pen leaves inside.
    const bool hasPen = penArgb != 0;
    const double w = target.Width(), h = target.Height();
    const double innerRx = std::max(0.0, rx - 1), innerRy = std::max(0.0, ry - 1);
    auto blend = [&](std::uint32_t& pixel, double outer, double inner) {
        if (fillArgb != 0 && inner > 0) pixel = OverValidPixel(pixel, ScalePixel(fillArgb, CoverageByte(inner)));
        if (hasPen && outer > inner) pixel = OverValidPixel(pixel, ScalePixel(penArgb, CoverageByte(outer - inner)));
    };
    auto coverage = [&](int x, double py, double& outer, double& inner) {
        const double px = x + 0.5;
        outer = RoundCoverage(px, py, 0, 0, w, h, rx, ry);
        inner = hasPen ? RoundCoverage(px, py, 1, 1, w - 1, h - 1, innerRx, innerRy) : outer;
    };
    // Columns [spanBegin, spanEnd) lie between the corners and inside the pen's
    // sides, so every pixel of a row there has the same coverage: one computation
    // and a plain loop instead of two distance estimates per pixel.
    const int corner = static_cast<int>(std::ceil(rx));
    const int spanBegin = std::max(corner, 1), spanEnd = std::min(target.Width() - corner, target.Width() - 1);
    for (int y = visible.Top; y < visible.Bottom; ++y) {
        std::uint32_t* out = view.Row(y) + target.Left;
        const double py = y - target.Top + 0.5;
        const int first = visible.Left - target.Left, last = visible.Right - target.Left;
        const int middleBegin = std::clamp(spanBegin, first, last), middleEnd = std::clamp(spanEnd, middleBegin, last);
        double outer = 0, inner = 0;
        for (int x = first; x < middleBegin; ++x) {
            coverage(x, py, outer, inner);
            blend(out[x], outer, inner);
        }
        if (middleBegin < middleEnd) {
            coverage(middleBegin, py, outer, inner);
            std::uint32_t pixel = 0;
            blend(pixel, outer, inner);  // the colour over transparent is the source pixel
            if (pixel != 0)
                for (int x = middleBegin; x < middleEnd; ++x) out[x] = OverValidPixel(out[x], pixel);
        }
        for (int x = middleEnd; x < last; ++x) {
            coverage(x, py, outer, inner);
            blend(out[x], outer, inner);
        }
    }
}

void TRdCanvas::TextOut(int x, int y, std::string_view utf8, const TFontSpec& font, TColor color, std::uint8_t alpha) {
    const std::uint32_t argb = ColorToArgb(color, alpha);
    TArgbSurface view = ClipView();
    if (argb == 0 || view.Empty() || utf8.empty()) return;
    const TPoint off = ViewOffset();
    const TCoverageColors colors(argb);
    CompositeMask(view, view.Bounds(), std::int64_t{x} + off.X, std::int64_t{y} + off.Y, FText->RenderLine(font, utf8),
                  colors);
}

TTextDrawResult TRdCanvas::DrawText(std::string_view utf8, const TRect& rect, const TFontSpec& font, TColor color,
                                    unsigned flags, std::uint8_t alpha) {
    TTextBlock layout;
    LayoutText(*FText, font, utf8, rect, flags, layout);
    TTextDrawResult result;
    result.Bounds = layout.Bounds;
    result.Cut = layout.Cut;
    result.Wrapped = layout.Wrapped;
    for (const TTextLine& line : layout.Lines)
        if (line.Y < rect.Bottom && line.Y + layout.LineHeight > rect.Top) ++result.Lines;

    const std::uint32_t argb = ColorToArgb(color, alpha);
    if ((flags & tfCalcRect) || argb == 0) return result;
    TArgbSurface view = ClipView();
    const TPoint off = ViewOffset();
    const TRect clip = rect.Offset(off.X, off.Y).Intersect(view.Bounds());
    if (view.Empty() || clip.IsEmpty()) return result;
    const TCoverageColors colors(argb);
    std::string withEllipsis;
    for (const TTextLine& line : layout.Lines) {
        const std::int64_t x = std::int64_t{line.X} + off.X, y = std::int64_t{line.Y} + off.Y;
        if (y >= clip.Bottom || y + layout.LineHeight <= clip.Top || x >= clip.Right) continue;
        std::string_view text = utf8.substr(line.Start, line.Length);
        if (line.Ellipsis) {
            withEllipsis.assign(text);
            withEllipsis += TextEllipsis;
            text = withEllipsis;
        }
        if (text.empty()) continue;
        CompositeMask(view, clip, x, y, FText->RenderLine(font, text), colors);
    }
    return result;
}
