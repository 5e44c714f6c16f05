#pragma once
// The small HTML-like markup of TRdHtmLabel, turned into a flat list of text runs
// and tags. Layout (HtmlLayout.h) gives the tags their meaning; this file only says
// what is text and what is a tag, and reads attributes, colours and picture sources.
//
// Tags: a "<" followed by at least two more characters starts a tag that runs to
// the next ">". A "<" without a ">" after it is text (the sound reading: a stray
// less-than sign must not swallow the rest of a caption). A tag is identified by the
// letters right after "<" (or "</" for a closing tag), compared without regard to
// case:
//   A link            B> bold            BO body background   B.. line break (<BR>)
//   E flag one        F font             HI highlight         HR horizontal rule
//   I> italic         IN indent          IM image             LI list item
//   L.. list style    OL numbered list   O.. offset           P paragraph
//   R raise           S> strike-out      ST strike-out        SH shadow
//   SP span           SUB / SUP          U> underline         U.. bullet list
//   Z flag two
// Anything else is removed without effect.
//
// Entities are decoded in text (never in tags, so "&lt;b&gt;" shows "<b>" and is no
// tag): &amp; &quot; &sect; &permil; &reg; &copy; &para; &trade; &euro; &nbsp;
// (U+00A0, a space that does not break) &lt; &gt;. Decoding is one pass, so
// "&amp;lt;" shows "&lt;". Other "&" sequences are text as written.
//
// Attributes are upper-case words searched inside the tag text as NAME=value, the
// value optionally in double quotes.
//
// Portable, no allocation beyond the result. Any input is accepted.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/drawing/Color.h"

enum class THtmlTag : std::uint8_t {
    Unknown,
    Link,
    Bold,
    Body,
    LineBreak,
    FlagE,
    Font,
    Highlight,
    Rule,
    Italic,
    Indent,
    Image,
    ListItem,
    ListStyle,
    OrderedList,
    Offset,
    Paragraph,
    Raise,
    Strike,
    Shadow,
    Span,
    Subscript,
    Superscript,
    Underline,
    BulletList,
    FlagZ
};

struct THtmlToken {
    bool IsTag = false;
    // Text: the decoded text of the run. Tag: the tag's text between "<" and ">"
    // (with a closing tag's "/").
    std::string Text;
    THtmlTag Tag = THtmlTag::Unknown;
    bool Closing = false;
};

// Splits markup into text runs and tags. Adjacent text is one run.
std::vector<THtmlToken> ParseHtmlMarkup(std::string_view markup);

// Which tag the text between "<" and ">" is (closing: set when it starts with "/").
THtmlTag IdentifyHtmlTag(std::string_view tagText, bool& closing);

// The entities of text replaced by their characters (UTF-8).
std::string DecodeHtmlEntities(std::string_view text);

// The value of attribute name (upper case) in a tag's text, or nullopt.
std::optional<std::string> HtmlAttribute(std::string_view tagText, std::string_view name);

// The first integer written in a tag's text (for R and O), or 0.
int HtmlTagNumber(std::string_view tagText);

// A colour value: "#rrggbb" or "$rrggbb" (red, green, blue), else a colour
// identifier (clRed, clBtnFace, ...) or a decimal number. nullopt when unreadable.
std::optional<TColor> ParseHtmlColor(std::string_view value);

// A picture source: "IDX:" n (the label's image list), "SSYS:" n and "LSYS:" n
// (small and large system images).
enum class THtmlImageKind : std::uint8_t { ImageList, SmallSystem, LargeSystem };
struct THtmlImageSource {
    THtmlImageKind Kind = THtmlImageKind::ImageList;
    int Index = 0;
    bool operator==(const THtmlImageSource&) const = default;
};
std::optional<THtmlImageSource> ParseHtmlImageSource(std::string_view value);
