#pragma once
// Line breaking and placement of text in a rectangle, for TRdCanvas::DrawText and
// for controls that need to know where text goes before drawing it. Works over
// TTextRenderer::TextWidth only, so it is the same on every platform.
//
// Rules, by the TTextFlag bits of Canvas.h:
// - Line breaks (CR, LF, CR LF) start a new line, unless tfSingleLine; a break at
//   the very end leaves an empty last line. An empty text has no lines.
// - tfWordBreak (ignored with tfSingleLine): lines wrap at spaces to the
//   rectangle's width. The spaces where a line wraps are not drawn; spaces at the
//   start of a paragraph are. A word longer than the width breaks inside the word.
// - tfWrapChar (with tfWordBreak): where the rectangle's height cuts the text, the
//   last line that fits whole (and any below it) breaks anywhere, not only at a
//   word, so it shows as much of the text as fits. Lines above it wrap at words.
// - tfEndEllipsis: the text is limited to the whole lines that fit in the height
//   (at least one). When text is left over, the last of those lines ends with
//   "..." and is shortened so that it fits the width: at any character with
//   tfWrapChar or without tfWordBreak, otherwise by whole words (inside the first
//   word only when that alone is too wide). A line wider than the rectangle (no
//   word wrap) is shortened and ends with "..." as well.
// - tfLeft / tfCenter / tfRight place each line; tfTop / tfVCenter / tfBottom
//   place the block of lines. A block taller than the rectangle overflows at the
//   bottom (tfTop), at both ends (tfVCenter) or at the top (tfBottom).
// Every line is at least one code point long whatever the width, so layout always
// ends. Lines never end inside a UTF-8 sequence; bytes that are no valid UTF-8
// stay with the code point before them.
//
// Cost: a few TextWidth calls per word (a binary search per line that breaks
// inside a word); one allocation for the lines, none per character.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/drawing/TextRenderer.h"

inline constexpr std::string_view TextEllipsis = "...";

struct TTextLine {
    std::size_t Start = 0;   // byte offset of the line's text in the laid-out string
    std::size_t Length = 0;  // bytes of it shown, not counting the ellipsis
    bool Ellipsis = false;   // "..." is drawn after them
    int X = 0, Y = 0;        // top-left of the line
    int Width = 0;           // advance width, the ellipsis included
};

struct TTextBlock {
    std::vector<TTextLine> Lines;  // top to bottom, every one LineHeight tall
    int LineHeight = 0;
    TRect Bounds;          // the smallest rectangle holding every line's box
    bool Cut = false;      // text was dropped or shortened, or lies outside the rectangle
    bool Wrapped = false;  // a line was broken to fit the width
};

// Lays out utf8 in rect (positions in rect's coordinates) with font by flags.
// The result refers to utf8 by offsets; into is reused (its storage kept).
void LayoutText(TTextRenderer& renderer, const TFontSpec& font, std::string_view utf8, const TRect& rect,
                unsigned flags, TTextBlock& into);
TTextBlock LayoutText(TTextRenderer& renderer, const TFontSpec& font, std::string_view utf8, const TRect& rect,
                       unsigned flags);

// The text of line as it is drawn: its part of utf8, then "..." for an ellipsis.
std::string LineText(std::string_view utf8, const TTextLine& line);
