#pragma once
// TRdCanvas: what controls paint with. A canvas draws onto a TArgbSurface (32-bit
// premultiplied ARGB) through an origin (where the painting control's (0, 0) is
// on the surface) and a clip rectangle (surface coordinates): nothing outside the
// clip is ever written. Every primitive composites source-over, so shapes and text
// keep an alpha channel and show on layered windows.
//
// Three draw options apply to pictures: DrawAlpha (constant opacity multiplied into
// every picture drawn), DrawGray (pictures drawn in grey) and DrawScale. The canvas
// itself applies the first two; DrawScale (percent, with a centre) is read by
// whoever draws a picture into a rectangle (DrawPicture of the controls), which
// shrinks or grows that rectangle about the centre.
//
// A canvas does not own its surface; the surface must outlive it. UI thread only.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/Color.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/drawing/RasterOps.h"
#include "public/rdcontrol/drawing/TextRenderer.h"

// The platform's headers define TextOut and DrawText as macros naming their own
// functions, which would rename the methods below in Win32 files. Those files call
// the platform's functions by their W names and include this header after the
// platform's.
#ifdef TextOut
#undef TextOut
#endif
#ifdef DrawText
#undef DrawText
#endif

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};

// DrawText flags; TextLayout.h has the layout rules in full.
enum TTextFlag : unsigned {
    tfLeft = 0,
    tfCenter = 1,
    tfRight = 2,
    tfTop = 0,
    tfVCenter = 4,
    tfBottom = 8,
    tfWordBreak = 16,    // wrap at word boundaries to the rectangle's width
    tfWrapChar = 32,     // with tfWordBreak: where the height cuts the text, the last
                         // line breaks anywhere, not only at words
    tfEndEllipsis = 64,  // a cut last line ends with "..."
    tfSingleLine = 128,  // line breaks in the text are not honoured
    tfCalcRect = 256,    // measure only, draw nothing
};

struct TTextDrawResult {
    TRect Bounds;          // the drawn (or measured) text block, canvas coordinates
    int Lines = 0;         // lines drawn
    bool Cut = false;      // not all of the text fitted (ellipsis shown or lines dropped)
    bool Wrapped = false;  // a line was broken to fit the width
};

class TRdCanvas {
public:
    // A canvas over the whole surface, origin (0, 0). text defaults to
    // DefaultTextRenderer().
    explicit TRdCanvas(TArgbSurface& surface, TTextRenderer* text = nullptr);

    TArgbSurface& Surface() { return *FSurface; }
    TTextRenderer& TextRenderer() { return *FText; }

    TPoint Origin() const { return FOrigin; }
    void SetOrigin(TPoint origin) { FOrigin = origin; }
    // Clip in surface coordinates, always inside the surface.
    const TRect& ClipRect() const { return FClip; }
    void SetClipRect(const TRect& surfaceRect);
    // Narrows the clip to rect given in canvas coordinates.
    void IntersectClip(const TRect& canvasRect);
    // The clip in canvas coordinates.
    TRect ClipInCanvas() const { return FClip.Offset(-FOrigin.X, -FOrigin.Y); }

    std::uint8_t DrawAlpha() const { return FDrawAlpha; }
    void SetDrawAlpha(std::uint8_t alpha) { FDrawAlpha = alpha; }
    bool DrawGray() const { return FDrawGray; }
    void SetDrawGray(bool gray) { FDrawGray = gray; }
    // Percent (100: as laid out; at least 1) and the point pictures are scaled
    // about, given in canvas coordinates and kept in surface coordinates, so it
    // stays where it was when the origin moves.
    int DrawScale() const { return FDrawScale; }
    void SetDrawScale(int percent, double centreX, double centreY);
    double DrawScaleCentreX() const { return FScaleX - FOrigin.X; }
    double DrawScaleCentreY() const { return FScaleY - FOrigin.Y; }
    // rect (canvas coordinates) under DrawScale; rect itself at 100.
    TRect Scaled(const TRect& rect) const;

    // Pictures (premultiplied surfaces), composited with alpha * DrawAlpha.
    void Draw(int x, int y, const TArgbSurface& picture, std::uint8_t alpha = 255);
    void StretchDraw(const TRect& dest, const TArgbSurface& picture, const TRect& source,
                     TPixelStretchFilter filter = psfFastSmooth, std::uint8_t alpha = 255);
    // The nine-slice rule of option.
    void DrawDesign(const TDesignRect& option, const TArgbSurface& picture, const TRect& dest,
                    TPixelStretchFilter filter = psfFastSmooth, std::uint8_t alpha = 255);

    // Shapes: colours with an opacity; clNone draws nothing.
    void FillRect(const TRect& rect, TColor color, std::uint8_t alpha = 255);
    void FrameRect(const TRect& rect, TColor color, int width = 1, std::uint8_t alpha = 255);
    // Linear gradient from `from` to `to`, left to right, or top to bottom when vertical:
    // the first and last column (row) have exactly the end colours. An end that is
    // clNone is transparent, so the gradient fades out; both clNone draw nothing.
    void GradientFill(const TRect& rect, TColor from, TColor to, bool vertical, std::uint8_t alpha = 255);
    // A one-pixel line including both end points.
    void Line(int x1, int y1, int x2, int y2, TColor color, std::uint8_t alpha = 255);
    // Rounded rectangle with corner radii rx, ry: filled with fill (clNone: not
    // filled), outlined with pen (clNone: no outline); anti-aliased edges.
    void RoundRect(const TRect& rect, int rx, int ry, TColor fill, TColor pen, std::uint8_t alpha = 255);
    // The ellipse inscribed in rect, filled and outlined as RoundRect.
    void Ellipse(const TRect& rect, TColor fill, TColor pen, std::uint8_t alpha = 255);
    // One-pixel lines joining the points in order; a shared point is drawn once.
    void Polyline(std::span<const TPoint> points, TColor color, std::uint8_t alpha = 255);

    // Text, composited from the renderer's coverage with color at alpha, so a
    // transparent surface gets pixels of that alpha under the glyphs. Pictures'
    // DrawAlpha and DrawGray do not apply. One line at (x, y) = top-left of the line.
    void TextOut(int x, int y, std::string_view utf8, const TFontSpec& font, TColor color,
                 std::uint8_t alpha = 255);
    int TextWidth(std::string_view utf8, const TFontSpec& font) { return FText->TextWidth(font, utf8); }
    // Text laid out in rect by flags (TTextFlag) and clipped to rect; with
    // tfCalcRect only measured. Lines counts the lines at least partly inside rect.
    TTextDrawResult DrawText(std::string_view utf8, const TRect& rect, const TFontSpec& font, TColor color,
                             unsigned flags, std::uint8_t alpha = 255);

private:
    // The clip as a surface view and the offset from canvas to view coordinates.
    TArgbSurface ClipView();
    TPoint ViewOffset() const { return TPoint{FOrigin.X - FClip.Left, FOrigin.Y - FClip.Top}; }
    const TArgbSurface& MaybeGray(const TArgbSurface& picture, TArgbSurface& scratch) const;
    void RoundShape(const TRect& rect, double rx, double ry, TColor fill, TColor pen, std::uint8_t alpha);

    TArgbSurface* FSurface;
    TTextRenderer* FText;
    TPoint FOrigin;
    TRect FClip;
    std::uint8_t FDrawAlpha = 255;
    bool FDrawGray = false;
    int FDrawScale = 100;
    double FScaleX = 0, FScaleY = 0;  // surface coordinates
};

// Saves a canvas's origin, clip and draw options; restores them when it goes.
class TCanvasStateSaver {
public:
    explicit TCanvasStateSaver(TRdCanvas& canvas)
        : FCanvas(canvas), FOrigin(canvas.Origin()), FClip(canvas.ClipRect()),
          FAlpha(canvas.DrawAlpha()), FGray(canvas.DrawGray()), FScale(canvas.DrawScale()),
          FScaleX(canvas.DrawScaleCentreX()), FScaleY(canvas.DrawScaleCentreY()) {}
    ~TCanvasStateSaver() {
        FCanvas.SetOrigin(FOrigin);
        FCanvas.SetClipRect(FClip);
        FCanvas.SetDrawAlpha(FAlpha);
        FCanvas.SetDrawGray(FGray);
        FCanvas.SetDrawScale(FScale, FScaleX, FScaleY);
    }
    TCanvasStateSaver(const TCanvasStateSaver&) = delete;
    TCanvasStateSaver& operator=(const TCanvasStateSaver&) = delete;

private:
    TRdCanvas& FCanvas;
    TPoint FOrigin;
    TRect FClip;
    std::uint8_t FAlpha;
    bool FGray;
    int FScale;
    double FScaleX, FScaleY;
};
