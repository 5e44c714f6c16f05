#include "public/rdcontrol/drawing/TextLayout.h"

#include <algorithm>

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool IsBreak(char c) { return c == '\r' || c == '\n'; }

class TLayouter {
public:
    TLayouter(TTextRenderer& renderer, const TFontSpec& font, std::string_view text, int maxWidth)
        : FRenderer(renderer), FFont(font), FText(text), FMaxWidth(maxWidth) {}

    int Width(std::size_t begin, std::size_t end) {
        return begin == end ? 0 : FRenderer.TextWidth(FFont, FText.substr(begin, end - begin));
    }
    int EllipsisWidth() {
        if (FEllipsisWidth < 0) FEllipsisWidth = FRenderer.TextWidth(FFont, TextEllipsis);
        return FEllipsisWidth;
    }

    // The first code point boundary at or after i (at most end).
    std::size_t CeilBoundary(std::size_t i, std::size_t end) const {
        while (i < end && IsContinuation(FText[i])) ++i;
        return std::min(i, end);
    }
    // The last code point boundary at or before i, not below floor.
    std::size_t FloorBoundary(std::size_t i, std::size_t floor) const {
        while (i > floor && IsContinuation(FText[i])) --i;
        return i;
    }
    std::size_t NextCodePoint(std::size_t i, std::size_t end) const { return CeilBoundary(i + 1, end); }

    std::size_t TrimRight(std::size_t begin, std::size_t end) const {
        while (end > begin && IsSpace(FText[end - 1])) --end;
        return end;
    }

    // The longest [begin, x) of [begin, end), x on a code point boundary, whose
    // width plus extra fits; begin when not even one code point does. Widths grow
    // with the prefix, so a gallop then a binary search finds it in O(log n)
    // measurements of at most about twice the result's length.
    std::size_t FitPrefix(std::size_t begin, std::size_t end, int extra) {
        auto fits = [&](std::size_t x) { return Width(begin, x) + extra <= FMaxWidth; };
        if (fits(end)) return end;
        std::size_t lo = begin, hi = end;
        for (std::size_t step = 1;; step *= 2) {
            const std::size_t candidate = CeilBoundary(begin + std::min(step, end - begin), end);
            if (candidate >= hi) break;
            if (!fits(candidate)) {
                hi = candidate;
                break;
            }
            lo = candidate;
        }
        for (;;) {
            std::size_t middle = FloorBoundary(lo + (hi - lo) / 2, lo);
            if (middle <= lo) middle = NextCodePoint(lo, hi);
            if (middle >= hi) break;
            (fits(middle) ? lo : hi) = middle;
        }
        return lo;
    }

    // One line from begin in paragraph [begin, end): at words, or anywhere when
    // anywhere is set; never empty unless the paragraph is. Returns the line's end
    // and sets its width.
    std::size_t BreakLine(std::size_t begin, std::size_t end, bool anywhere, int& width) {
        if (anywhere) {
            std::size_t x = FitPrefix(begin, end, 0);
            if (x == begin && x < end) x = NextCodePoint(begin, end);
            if (x < end) x = std::max(TrimRight(begin, x), NextCodePoint(begin, end));
            width = Width(begin, x);
            return x;
        }
        std::size_t lineEnd = begin;
        int lineWidth = 0;
        for (std::size_t i = begin; i < end;) {
            std::size_t j = i;
            while (j < end && IsSpace(FText[j])) ++j;
            while (j < end && !IsSpace(FText[j])) ++j;
            const int candidate = Width(begin, j);
            if (candidate > FMaxWidth) break;
            lineEnd = j;
            lineWidth = candidate;
            i = j;
        }
        if (lineEnd == begin && begin < end) {
            // The first word alone is too wide: it breaks inside.
            std::size_t wordEnd = begin;
            while (wordEnd < end && IsSpace(FText[wordEnd])) ++wordEnd;
            while (wordEnd < end && !IsSpace(FText[wordEnd])) ++wordEnd;
            return BreakLine(begin, wordEnd, true, width);
        }
        width = lineWidth;
        return lineEnd;
    }

    // Shortens line (whose paragraph ends at paragraphEnd) to end with "...",
    // fitting the width: at any character, or by whole words.
    void Ellipsize(TTextLine& line, std::size_t paragraphEnd, bool anywhere) {
        const int ellipsis = EllipsisWidth();
        const std::size_t begin = line.Start;
        std::size_t end = begin;
        if (!anywhere) {
            // Drop words from the end of the line until the rest and "..." fit.
            std::size_t candidate = TrimRight(begin, begin + line.Length);
            while (candidate > begin) {
                if (Width(begin, candidate) + ellipsis <= FMaxWidth) {
                    end = candidate;
                    break;
                }
                while (candidate > begin && !IsSpace(FText[candidate - 1])) --candidate;
                candidate = TrimRight(begin, candidate);
            }
            if (end == begin) {
                std::size_t wordEnd = begin;
                while (wordEnd < paragraphEnd && IsSpace(FText[wordEnd])) ++wordEnd;
                while (wordEnd < paragraphEnd && !IsSpace(FText[wordEnd])) ++wordEnd;
                end = TrimRight(begin, FitPrefix(begin, wordEnd, ellipsis));
            }
        } else {
            end = TrimRight(begin, FitPrefix(begin, paragraphEnd, ellipsis));
        }
        line.Length = end - begin;
        line.Ellipsis = true;
        line.Width = Width(begin, end) + ellipsis;
    }

    std::size_t ParagraphEnd(std::size_t from, bool singleLine) const {
        if (singleLine) return FText.size();
        while (from < FText.size() && !IsBreak(FText[from])) ++from;
        return from;
    }

    int MaxWidth() const { return FMaxWidth; }

private:
    TTextRenderer& FRenderer;
    const TFontSpec& FFont;
    std::string_view FText;
    int FMaxWidth;
    int FEllipsisWidth = -1;
};

}  // namespace

void LayoutText(TTextRenderer& renderer, const TFontSpec& font, std::string_view utf8, const TRect& rect,
                unsigned flags, TTextBlock& into) {
    into.Lines.clear();
    into.Cut = false;
    into.Wrapped = false;
    into.LineHeight = std::max(1, renderer.Metrics(font).Height);
    const int lineHeight = into.LineHeight;
    const int rectWidth = std::max(0, rect.Width()), rectHeight = std::max(0, rect.Height());

    const bool singleLine = flags & tfSingleLine;
    const bool wrap = (flags & tfWordBreak) && !singleLine;
    const bool ellipsis = flags & tfEndEllipsis;
    const bool wrapChar = wrap && (flags & tfWrapChar);
    // Lines that fit whole, at least one; from the last of them on, tfWrapChar
    // breaks anywhere, and tfEndEllipsis keeps no more.
    const std::size_t fitting = static_cast<std::size_t>(std::max(1, rectHeight / lineHeight));

    TLayouter layouter(renderer, font, utf8, rectWidth);
    std::vector<TTextLine>& lines = into.Lines;
    std::size_t lastParagraphEnd = 0;  // of the last line laid out
    bool more = false;                 // text is left after the lines kept

    for (std::size_t position = 0; !utf8.empty();) {
        const std::size_t paragraphEnd = layouter.ParagraphEnd(position, singleLine);
        std::size_t begin = position;
        do {
            if (ellipsis && lines.size() == fitting) {
                // An empty last line after a final line break is no lost text.
                more = begin < utf8.size();
                break;
            }
            TTextLine line;
            line.Start = begin;
            std::size_t end = paragraphEnd;
            if (wrap) {
                end = layouter.BreakLine(begin, paragraphEnd, wrapChar && lines.size() + 1 >= fitting, line.Width);
            } else {
                line.Width = layouter.Width(begin, end);
            }
            line.Length = end - begin;
            lastParagraphEnd = paragraphEnd;
            // Spaces where a line wraps are not drawn.
            begin = end;
            while (begin < paragraphEnd && IsSpace(utf8[begin])) ++begin;
            if (begin < paragraphEnd) into.Wrapped = true;
            if (ellipsis && !wrap && line.Width > rectWidth) layouter.Ellipsize(line, paragraphEnd, true);
            lines.push_back(line);
        } while (begin < paragraphEnd);
        if (more || paragraphEnd == utf8.size()) break;
        position = paragraphEnd + (utf8[paragraphEnd] == '\r' && paragraphEnd + 1 < utf8.size() &&
                                           utf8[paragraphEnd + 1] == '\n'
                                       ? 2
                                       : 1);
    }
    if (more) {
        layouter.Ellipsize(lines.back(), lastParagraphEnd, wrapChar || !wrap);
        into.Cut = true;
    }

    // Placement.
    const int blockHeight = static_cast<int>(lines.size()) * lineHeight;
    int top = rect.Top;
    if (flags & tfBottom)
        top = rect.Bottom - blockHeight;
    else if (flags & tfVCenter)
        top = rect.Top + (rectHeight - blockHeight) / 2;
    auto placeX = [&](int width) {
        if (flags & tfRight) return rect.Left + rectWidth - width;
        if (flags & tfCenter) return rect.Left + (rectWidth - width) / 2;
        return rect.Left;
    };
    if (lines.empty()) {
        const int x = placeX(0);
        into.Bounds = TRect{x, top, x, top};
        return;
    }
    const int firstX = placeX(lines.front().Width);
    into.Bounds = TRect{firstX, top, firstX, top + blockHeight};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        TTextLine& line = lines[i];
        line.X = placeX(line.Width);
        line.Y = top + static_cast<int>(i) * lineHeight;
        into.Bounds.Left = std::min(into.Bounds.Left, line.X);
        into.Bounds.Right = std::max(into.Bounds.Right, line.X + line.Width);
        if (line.Ellipsis) into.Cut = true;
    }
    const TRect& b = into.Bounds;
    if (b.Left < rect.Left || b.Right > rect.Left + rectWidth || b.Top < rect.Top || b.Bottom > rect.Top + rectHeight)
        into.Cut = true;
}

TTextBlock LayoutText(TTextRenderer& renderer, const TFontSpec& font, std::string_view utf8, const TRect& rect,
                       unsigned flags) {
    TTextBlock layout;
    LayoutText(renderer, font, utf8, rect, flags, layout);
    return layout;
}

std::string LineText(std::string_view utf8, const TTextLine& line) {
    std::string text(utf8.substr(line.Start, line.Length));
    if (line.Ellipsis) text += TextEllipsis;
    return text;
}
