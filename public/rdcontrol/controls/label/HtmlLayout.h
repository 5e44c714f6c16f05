#pragma once
// Layout of TRdHtmLabel's markup (HtmlMarkup.h): the tags are given their effect,
// words are placed into lines, and the result is a list of things to draw
// (HtmlPaint.h paints it) plus the rectangles of the links for hit testing. Portable: text is measured
// through the canvas's text renderer only.
//
// Rules:
// - Words are placed left to right in the current font; with WordWrap a word that
//   does not fit starts a new line (a word wider than the whole line breaks inside).
//   Words glued across tags ("<b>Bo</b>ld") wrap as one. <BR> starts a new line
//   (its LINESPACE, when given, is the spacing above the new line); paragraphs,
//   list items, rules and the list tags start one when the line is not empty.
// - A line is as tall as its tallest item, at least the current font's line
//   height; text of different sizes shares one base line. LineSpacing pixels are
//   added between lines (inside a link, the link's LineSpace when not -9999).
// - Lines are aligned by the label's alignment or a paragraph's ALIGN, inside the
//   width left of the line's indent (paragraph INDENT, list level).
// - A text whose first word with a strong direction is Arabic or Hebrew reads right
//   to left: each line shows its right-to-left words from right to left, a run of
//   left-to-right words (a Latin name, with the spaces and punctuation between
//   them) kept in its order (HtmlBidi.h). Lines break in reading order;
//   alignment stays as set, as the window's layout is the same in every language.
// - Link n (the n-th <a> of the text, from 0) that has a look (LinkItems entry n)
//   is drawn in its font, or its hover font while n is the hovered link, over its
//   ColorBg; its boxes (one per line, the line's height) are recorded. Links without
//   a look are plain text in the current font and are not recorded.
// - A link with MaxLine > 0 (its MAXLINE attribute, else the look's; 1 with
//   FixedWidth) is cut after that many lines: the last kept line ends with "...".
// - Lists: <UL> and <OL> add a level (at most 10; the indent grows by one and a
//   half line heights of the label's font per level); <LI> starts an item: a disc (level 1), circle (deeper
//   levels) or square bullet, TYPE choosing "DISC", "CIRCLE" or "SQUARE", or the
//   number "n. " in a numbered list; COLOR colours the marker.
// - <R n> raises the following text by n pixels (negative: lowers), <O n> moves the
//   pen n pixels right, <IND X=x> continues the line at x; <SH> draws a soft shadow
//   under the text; <E> and <Z> set flags that draw nothing themselves.
// - <SUB>/<SUP> draw two thirds the size, below / above the base line.
// - Pictures (<IMG SRC=...>) come from the image callback; WIDTH/HEIGHT scale them;
//   ALIGN "TOP" or "MIDDLE" place them against the text (default: on the base line).
//   A missing picture shows its ALT text.
//
// UI thread only (the text renderer).
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/controls/label/HtmlMarkup.h"
#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/framework/StdControls.h"
#include "public/rdcontrol/pictures/RdGraphic.h"

inline constexpr int kHtmlLinkLineSpaceDefault = -9999;

// How link n looks (from the label's LinkItems).
struct THtmlLinkLook {
    TFontSpec Font;
    TColor Color = clBlue;
    TFontSpec HoverFont;
    TColor HoverColor = clRed;
    TColor ColorBg = clNone;
    int MaxLine = -1;
    int LineSpace = kHtmlLinkLineSpaceDefault;
    bool FixedWidth = false;
};

struct THtmlLayoutInput {
    TFontSpec Font;
    TColor Color = clBlack;
    int Width = 0, Height = 0;  // the text area
    bool WordWrap = true;
    TAlignment Alignment = taLeftJustify;
    TTextLayout Layout = tlTop;
    int LineSpacing = 0;
    int HoverLink = -1;
    // The look of link n, or nullptr when there is no LinkItems entry n.
    std::function<const THtmlLinkLook*(int index)> LinkLook;
    // The picture of a source, or nullptr.
    std::function<std::shared_ptr<TRdGraphic>(const THtmlImageSource&)> Image;
};

enum class THtmlDrawKind : std::uint8_t { Fill, Gradient, Text, Picture, Line, Bullet };
enum class THtmlBullet : std::uint8_t { Disc, Circle, Square };

struct THtmlDrawItem {
    THtmlDrawKind Kind = THtmlDrawKind::Fill;
    TRect Rect;  // text: the run's line box (left, top of the font's line, width, font height)
    std::string Text;
    TFontSpec Font;
    TColor Color = clBlack;
    TColor ColorTo = clNone;  // gradient end
    bool Vertical = true;     // gradient direction
    bool Shadow = false;
    THtmlBullet Bullet = THtmlBullet::Disc;
    std::shared_ptr<TRdGraphic> Picture;
    int Link = -1;
};

struct THtmlLinkArea {
    int Index = -1;
    std::vector<TRect> Rects;  // one per line the link is on
    std::string Caption;       // the link's text from the markup
    std::string Href, Title;   // its attributes
    bool Cut = false;          // cut by MaxLine
};

struct THtmlLayoutResult {
    std::vector<THtmlDrawItem> Items;
    // Every <a> of the text, in order; Rects empty for links without a look.
    std::vector<THtmlLinkArea> Links;
    int TextWidth = 0, TextHeight = 0;  // the block of lines
    int LineCount = 0;
    bool OutOfRect = false;  // the text did not fit the area
    std::string PlainText;   // without markup, lines joined by CR LF
    // The link (index) whose box holds point (text-area coordinates), or -1.
    int LinkAt(int x, int y) const;
};

THtmlLayoutResult LayoutHtml(TTextRenderer& renderer, const std::vector<THtmlToken>& tokens,
                             const THtmlLayoutInput& input);
