#pragma once
// The seam through which the control library gets text: font metrics, text widths
// and the coverage of a line of text. The platform draws glyphs (GDI on Windows);
// the library composites the coverage with the text's colour and alpha itself, so
// text keeps its alpha on 32-bit surfaces and stays visible on layered windows.
//
// The host build uses TFixedTextRenderer: fixed, predictable metrics and box
// glyphs, enough to test layout, wrapping and ellipsis without any font.
//
// UI thread only. A renderer may cache per font; the references it returns are not
// kept by callers.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// What is needed to select a font. Height as the platform has it: negative = the
// character height in pixels (em size), positive = the cell height.
struct TFontSpec {
    std::string Name = "Tahoma";
    int Height = -12;
    unsigned Style = 0;  // TFontStyle bits
    int Charset = 1;     // DEFAULT_CHARSET
    bool Antialiased = true;
    bool operator==(const TFontSpec&) const = default;
};

struct TTextMetrics {
    int Height = 0;           // line height (ascent + descent)
    int Ascent = 0;           // base line from the top of the line
    int Descent = 0;          // base line from the bottom of the line
    int InternalLeading = 0;  // top of the line to the top of the glyphs
    int AveCharWidth = 0;
};

// Coverage of one line of text: Width x Height bytes, 0 = no ink, 255 = full ink,
// row after row. Height is the font's line height; x = 0 is the pen start.
struct TCoverageMask {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Coverage;
};

class TTextRenderer {
public:
    virtual ~TTextRenderer() = default;
    virtual TTextMetrics Metrics(const TFontSpec& font) = 0;
    // Advance width of a single line (no line breaks) in pixels.
    virtual int TextWidth(const TFontSpec& font, std::string_view utf8) = 0;
    // The ink of a single line; Width equals TextWidth (plus any overhang).
    virtual TCoverageMask RenderLine(const TFontSpec& font, std::string_view utf8) = 0;
};

// The platform's renderer for this process (GDI on Windows, TFixedTextRenderer on
// the host). Lives as long as the process.
TTextRenderer& DefaultTextRenderer();

// Fixed metrics for tests: every character (UTF-8 code point) advances
// CharWidth(font) pixels; the line height is |Height| + 3 for a negative Height;
// glyphs are solid boxes between the top line and the base line (spaces have no
// ink); anti-aliased fonts get a half-covered column on each side of a box.
class TFixedTextRenderer final : public TTextRenderer {
public:
    static int CharWidth(const TFontSpec& font);
    TTextMetrics Metrics(const TFontSpec& font) override;
    int TextWidth(const TFontSpec& font, std::string_view utf8) override;
    TCoverageMask RenderLine(const TFontSpec& font, std::string_view utf8) override;
};
