#include <algorithm>
#include <cstddef>

#include "public/rdcontrol/drawing/TextRenderer.h"

// Metrics of TFixedTextRenderer, all derived from the em size:
// - em = -Height for a negative Height; for a positive Height (a cell height) the
//   cell is Height, so em = Height - 3 (at least 1); Height 0 ("any size") is em 12;
//   em is at most 32767;
// - line height em + 3; descent em / 4 and internal leading em / 6 (each at least
//   1), ascent = line height - descent;
// - every code point advances CharWidth = em / 2 (at least 1) pixels.
// A glyph is a box over rows [internal leading, ascent) and, when the cell is at
// least 3 pixels wide, over its columns [1, CharWidth - 1): one blank column each
// side keeps neighbouring boxes apart. Anti-aliased fonts cover those two side
// columns half (128). Code points up to U+0020 and U+00A0 have no ink. Underline
// is the row just under the base line, strike-out the row halfway up the box,
// both across the whole line.

namespace {

// Sizes beyond any screen are held at 32767 pixels, so no arithmetic overflows.
int EmSize(const TFontSpec& font) {
    constexpr int Largest = 32767;
    if (font.Height < 0) return font.Height < -Largest ? Largest : -font.Height;
    if (font.Height > 0) return std::clamp(font.Height - 3, 1, Largest);
    return 12;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

int CodePoints(std::string_view utf8) {
    int count = 0;
    for (const char c : utf8) count += IsContinuation(static_cast<unsigned char>(c)) ? 0 : 1;
    return count;
}

}  // namespace

int TFixedTextRenderer::CharWidth(const TFontSpec& font) { return std::max(1, EmSize(font) / 2); }

TTextMetrics TFixedTextRenderer::Metrics(const TFontSpec& font) {
    const int em = EmSize(font);
    TTextMetrics metrics;
    metrics.Height = em + 3;
    metrics.Descent = std::max(1, em / 4);
    metrics.Ascent = metrics.Height - metrics.Descent;
    metrics.InternalLeading = std::max(1, em / 6);
    metrics.AveCharWidth = CharWidth(font);
    return metrics;
}

int TFixedTextRenderer::TextWidth(const TFontSpec& font, std::string_view utf8) {
    return CodePoints(utf8) * CharWidth(font);
}

TCoverageMask TFixedTextRenderer::RenderLine(const TFontSpec& font, std::string_view utf8) {
    const TTextMetrics metrics = Metrics(font);
    const int cell = CharWidth(font);
    TCoverageMask mask;
    mask.Width = CodePoints(utf8) * cell;
    mask.Height = metrics.Height;
    mask.Coverage.assign(static_cast<std::size_t>(mask.Width) * static_cast<std::size_t>(mask.Height), 0);
    if (mask.Width == 0) return mask;

    // One row of ink, then copied to every row of the box.
    std::vector<std::uint8_t> ink(static_cast<std::size_t>(mask.Width), 0);
    int x = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t next = i + 1;
        while (next < utf8.size() && IsContinuation(static_cast<unsigned char>(utf8[next]))) ++next;
        const bool blank =
            lead <= 0x20 || (next - i == 2 && lead == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) == 0xA0);
        if (!IsContinuation(lead)) {
            if (!blank) {
                std::uint8_t* cellInk = ink.data() + x;
                if (cell >= 3) {
                    std::fill(cellInk + 1, cellInk + cell - 1, std::uint8_t{255});
                    if (font.Antialiased) cellInk[0] = cellInk[cell - 1] = 128;
                } else {
                    std::fill(cellInk, cellInk + cell, std::uint8_t{255});
                }
            }
            x += cell;
        }
        i = next;
    }
    auto row = [&](int y) { return mask.Coverage.begin() + static_cast<std::ptrdiff_t>(y) * mask.Width; };
    for (int y = metrics.InternalLeading; y < metrics.Ascent; ++y) std::copy(ink.begin(), ink.end(), row(y));
    if ((font.Style & fsUnderline) && metrics.Ascent < mask.Height) std::fill_n(row(metrics.Ascent), mask.Width, 255);
    if (font.Style & fsStrikeOut)
        std::fill_n(row((metrics.InternalLeading + metrics.Ascent) / 2), mask.Width, 255);
    return mask;
}
