#include "public/rdcontrol/controls/label/HtmlLayout.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>

#include "public/rdcontrol/controls/label/HtmlBidi.h"
#include "public/rdcontrol/drawing/TextDirection.h"
#include "public/rdcontrol/drawing/TextLayout.h"

namespace {

constexpr int kMaxListLevel = 10;
// Saved styles per tag kind; deeper nesting is ignored (the tag has no effect),
// which bounds the memory any markup can take.
constexpr std::size_t kMaxNesting = 256;
constexpr int kNoSpace = INT_MIN;

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

int PointsToHeight(int points) { return -((points * 96 + 36) / 72); }

struct TStyle {
    TFontSpec Font;
    TColor Color = clBlack;
    TColor Bg = clNone;
    bool Shadow = false;
    int Script = 0;  // 1 subscript, 2 superscript
    int Raise = 0;
    unsigned Flags = 0;
    int Link = -1;
};

enum class TAtomKind : std::uint8_t { Word, Space, Gap, Picture };

struct TAtom {
    TAtomKind Kind = TAtomKind::Word;
    std::string Text;
    TStyle Style;
    TFontSpec DrawFont;  // the style's font, scaled for sub- and superscript
    int Width = 0;
    int Ascent = 0, Descent = 0;  // above and below the base line, shift included
    int FontAscent = 0, FontHeight = 0;
    int Shift = 0;  // upwards
    bool Glued = false;  // a word directly after a word: no break before it
    std::shared_ptr<TRdGraphic> Picture;
    int X = 0;  // from the line's start, set when the line is placed
};

struct TMarker {
    bool Present = false;
    bool Numbered = false;
    THtmlBullet Bullet = THtmlBullet::Disc;
    std::string Number;
    TColor Color = clBlack;
    TFontSpec Font;
};

struct TLine {
    std::vector<TAtom> Atoms;
    int Indent = 0;
    int Step = 0;  // width of one list level (marker space)
    TAlignment Align = taLeftJustify;
    TColor ParaBg = clNone, ParaBgTo = clNone;
    int SpaceBefore = kNoSpace;
    bool Rule = false;
    TColor RuleColor = clBlack;
    TMarker Marker;
    int MinAscent = 0, MinDescent = 0;
    // Placed:
    int Top = 0, Ascent = 0, Descent = 0, X0 = 0, Width = 0;
    int Height() const { return Ascent + Descent; }
};

struct TList {
    bool Ordered = false;
    int Counter = 0;
    std::string Type;
};

struct TParagraph {
    TAlignment Align;
    int Indent = 0;
    TColor Bg = clNone, BgTo = clNone;
};

class THtmlLayouter {
public:
    THtmlLayouter(TTextRenderer& renderer, const THtmlLayoutInput& input) : FR(renderer), FIn(input) {
        FStyle.Font = input.Font;
        FStyle.Color = input.Color;
        FAlign = input.Alignment;
    }

    THtmlLayoutResult Run(const std::vector<THtmlToken>& tokens) {
        for (const THtmlToken& t : tokens) {
            if (FSkipLink >= 0) {
                // A link cut by MaxLine: its remaining text is dropped up to its end.
                if (t.IsTag && t.Tag == THtmlTag::Link) {
                    if (!t.Closing) {
                        ++FSkipDepth;
                        ++FLinkCount;
                        FResult.Links.push_back(THtmlLinkArea{FLinkCount - 1, {}, {}, {}, {}, false});
                    } else if (FSkipDepth > 0) {
                        --FSkipDepth;
                    } else {
                        FSkipLink = -1;
                        CloseLink();
                    }
                } else if (!t.IsTag) {
                    AppendCaption(t.Text);
                    FResult.PlainText += t.Text;
                }
                continue;
            }
            if (t.IsTag)
                Tag(t);
            else
                Text(t.Text);
        }
        if (FLineOpen || !FLine.Atoms.empty() || FLine.Rule || FLine.Marker.Present) FinishLine();
        Place();
        return std::move(FResult);
    }

private:
    // --- Styles -----------------------------------------------------------------
    bool Push(THtmlTag tag) {
        auto& stack = FSaved[static_cast<std::size_t>(tag)];
        if (stack.size() >= kMaxNesting) return false;
        stack.push_back(FStyle);
        return true;
    }
    // The style saved by the matching opening tag (nullptr: none open).
    const TStyle* Pop(THtmlTag tag, TStyle& keep) {
        auto& stack = FSaved[static_cast<std::size_t>(tag)];
        if (stack.empty()) return nullptr;
        keep = stack.back();
        stack.pop_back();
        return &keep;
    }

    TTextMetrics Metrics(const TFontSpec& font) { return FR.Metrics(font); }

    int CurrentIndent() const {
        int indent = FParaIndent;
        indent += static_cast<int>(std::min<std::size_t>(FLists.size(), kMaxListLevel)) * ListStep();
        return std::max(0, indent);
    }
    // Room for a marker: one and a half lines ("10. " fits).
    int ListStep() const { return std::max(12, FBaseLineHeight * 3 / 2); }
    // A line with nothing on it yet takes the indent of the list or paragraph just
    // opened.
    void RefreshEmptyLine() {
        if (FLine.Atoms.empty() && !FLine.Marker.Present && !FLine.Rule) {
            FLine.Indent = CurrentIndent();
            FLine.Step = ListStep();
        }
    }

    void AppendCaption(const std::string& text) {
        for (int index : FOpenLinks)
            if (index >= 0 && index < static_cast<int>(FResult.Links.size()))
                FResult.Links[static_cast<std::size_t>(index)].Caption += text;
    }

    // --- Atoms --------------------------------------------------------------------
    TAtom MakeText(TAtomKind kind, std::string text) {
        TAtom a;
        a.Kind = kind;
        a.Style = FStyle;
        a.DrawFont = FStyle.Font;
        const TTextMetrics base = Metrics(FStyle.Font);
        if (FStyle.Script != 0) {
            const int h = FStyle.Font.Height;
            a.DrawFont.Height = h < 0 ? std::min(-1, h * 2 / 3) : std::max(1, h * 2 / 3);
        }
        const TTextMetrics m = FStyle.Script != 0 ? Metrics(a.DrawFont) : base;
        a.FontAscent = m.Ascent;
        a.FontHeight = m.Height;
        a.Shift = FStyle.Raise;
        if (FStyle.Script == 2) a.Shift += base.Ascent - m.Ascent + base.Ascent / 6;
        if (FStyle.Script == 1) a.Shift -= base.Descent;
        a.Ascent = m.Ascent + a.Shift;
        a.Descent = m.Height - m.Ascent - a.Shift;
        a.Width = FR.TextWidth(a.DrawFont, text);
        a.Text = std::move(text);
        return a;
    }

    void Text(const std::string& text) {
        AppendCaption(text);
        FResult.PlainText += text;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t j = i;
            if (IsBlank(text[i])) {
                while (j < text.size() && IsBlank(text[j])) ++j;
                Add(MakeText(TAtomKind::Space, std::string(j - i, ' ')));
            } else {
                while (j < text.size() && !IsBlank(text[j])) ++j;
                TAtom word = MakeText(TAtomKind::Word, text.substr(i, j - i));
                word.Glued = !FLine.Atoms.empty() && FLine.Atoms.back().Kind == TAtomKind::Word;
                Add(std::move(word));
            }
            i = j;
        }
    }

    int LineWidth(const TLine& line) const {
        int w = 0;
        for (const TAtom& a : line.Atoms) w += a.Width;
        return w;
    }
    int Available(const TLine& line) const { return FIn.Width - line.Indent; }

    void StartLineIfNeeded() {
        if (!FLineOpen) {
            FLineOpen = true;
            FLine.Indent = CurrentIndent();
            FLine.Step = ListStep();
        }
    }

    // The longest prefix of text (whole code points, at least one) whose width fits.
    std::size_t FitPrefix(const TFontSpec& font, std::string_view text, int width) {
        std::vector<std::size_t> ends;  // byte end of each code point
        for (std::size_t i = 0; i < text.size();) {
            ++i;
            while (i < text.size() && IsContinuation(text[i])) ++i;
            ends.push_back(i);
        }
        if (ends.empty()) return 0;
        std::size_t lo = 0, hi = ends.size();  // ends[lo - 1] fits (lo = 0: nothing known)
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo + 1) / 2;
            if (FR.TextWidth(font, text.substr(0, ends[mid - 1])) <= width)
                lo = mid;
            else
                hi = mid - 1;
        }
        return ends[std::max<std::size_t>(lo, 1) - 1];
    }

    int LinkLimit(int link) const {
        auto it = std::find_if(FLinkLimits.begin(), FLinkLimits.end(), [&](auto& p) { return p.first == link; });
        return it == FLinkLimits.end() ? -1 : it->second;
    }
    int& LinkLines(int link) {
        if (static_cast<std::size_t>(link) >= FLinkLines.size()) FLinkLines.resize(static_cast<std::size_t>(link) + 1, 0);
        return FLinkLines[static_cast<std::size_t>(link)];
    }
    static bool Holds(const TLine& line, int link) {
        return std::any_of(line.Atoms.begin(), line.Atoms.end(), [&](const TAtom& a) { return a.Style.Link == link; });
    }
    // Wrapping would carry link's text onto a line beyond its MaxLine.
    bool CutsLink(int link) {
        if (link < 0) return false;
        const int limit = LinkLimit(link);
        return limit > 0 && Holds(FLine, link) && LinkLines(link) + 1 >= limit;
    }

    // Ends the current line with "..." in link's look, shortening its last words to
    // make room, and drops the rest of the link.
    void CutLink(int link) {
        TLine& line = FLine;
        while (!line.Atoms.empty() && line.Atoms.back().Kind == TAtomKind::Space) line.Atoms.pop_back();
        TStyle style = FStyle;
        for (const TAtom& a : line.Atoms)
            if (a.Style.Link == link) style = a.Style;
        const TStyle saved = FStyle;
        FStyle = style;
        TAtom dots = MakeText(TAtomKind::Word, std::string(TextEllipsis));
        FStyle = saved;
        const int avail = Available(line);
        while (!line.Atoms.empty() && LineWidth(line) + dots.Width > avail) {
            TAtom& last = line.Atoms.back();
            if (last.Style.Link != link || last.Kind != TAtomKind::Word || last.Text.size() <= 1) {
                if (last.Style.Link != link) break;
                line.Atoms.pop_back();
                while (!line.Atoms.empty() && line.Atoms.back().Kind == TAtomKind::Space) line.Atoms.pop_back();
                continue;
            }
            std::size_t cut = last.Text.size() - 1;
            while (cut > 0 && IsContinuation(last.Text[cut])) --cut;
            last.Text.resize(cut);
            last.Width = FR.TextWidth(last.DrawFont, last.Text);
        }
        dots.Glued = true;
        line.Atoms.push_back(std::move(dots));
        FResult.Links[static_cast<std::size_t>(link)].Cut = true;
        FSkipLink = link;
        FSkipDepth = 0;
    }

    void Add(TAtom atom) {
        if (FSkipLink >= 0 && atom.Style.Link == FSkipLink) return;  // the rest of a cut link
        if (atom.Kind == TAtomKind::Space && (FLine.Atoms.empty() && FWrapped)) return;  // wrapped line start
        StartLineIfNeeded();
        FWrapped = false;
        if (!FIn.WordWrap || atom.Kind == TAtomKind::Space || atom.Kind == TAtomKind::Gap) {
            FLine.Atoms.push_back(std::move(atom));
            return;
        }
        const int avail = Available(FLine);
        const int pen = LineWidth(FLine);
        if (pen + atom.Width <= avail || (FLine.Atoms.empty() && atom.Width <= avail)) {
            FLine.Atoms.push_back(std::move(atom));
            return;
        }
        // The trailing group of glued words (with the new atom) moves down as one.
        std::size_t group = FLine.Atoms.size();
        if (atom.Glued && group > 0) {
            --group;
            while (group > 0 && FLine.Atoms[group].Glued) --group;
        }
        bool before = false;  // something precedes the group on this line
        for (std::size_t i = 0; i < group; ++i) before |= FLine.Atoms[i].Kind != TAtomKind::Space;
        if (before) {
            std::vector<TAtom> moved(std::make_move_iterator(FLine.Atoms.begin() + static_cast<std::ptrdiff_t>(group)),
                                     std::make_move_iterator(FLine.Atoms.end()));
            FLine.Atoms.erase(FLine.Atoms.begin() + static_cast<std::ptrdiff_t>(group), FLine.Atoms.end());
            moved.push_back(std::move(atom));
            int link = -1;
            for (const TAtom& a : moved)
                if (a.Style.Link >= 0) link = a.Style.Link;
            if (CutsLink(link)) {
                CutLink(link);
                FinishLine();
                FWrapped = true;  // what follows the cut link starts the next line
                return;
            }
            WrapLine();
            moved.front().Glued = false;
            for (TAtom& a : moved) {
                if (FSkipLink >= 0) break;
                Add(std::move(a));
            }
            return;
        }
        // One word (or glued group) wider than the line: it breaks inside.
        if (atom.Kind == TAtomKind::Picture) {
            if (!FLine.Atoms.empty()) {
                WrapLine();
                Add(std::move(atom));
            } else {
                FLine.Atoms.push_back(std::move(atom));
            }
            return;
        }
        const int room = avail - pen;
        std::size_t fit = 0;
        if (room > 0) {
            fit = FitPrefix(atom.DrawFont, atom.Text, room);
            if (FR.TextWidth(atom.DrawFont, std::string_view(atom.Text).substr(0, fit)) > room) fit = 0;
        }
        if (fit == 0) {
            if (!FLine.Atoms.empty()) {
                // Not even one character fits after what is there: a fresh line.
                WrapLine();
                atom.Glued = false;
                Add(std::move(atom));
                return;
            }
            fit = FitPrefix(atom.DrawFont, atom.Text, 0);  // one code point, whatever its width
        }
        TAtom rest = atom;
        atom.Text.resize(fit);
        atom.Width = FR.TextWidth(atom.DrawFont, atom.Text);
        rest.Text.erase(0, fit);
        rest.Width = FR.TextWidth(rest.DrawFont, rest.Text);
        rest.Glued = false;
        const int link = atom.Style.Link;
        FLine.Atoms.push_back(std::move(atom));
        if (rest.Text.empty()) return;
        if (CutsLink(link)) {
            CutLink(link);
            FinishLine();
            FWrapped = true;
            return;
        }
        WrapLine();
        Add(std::move(rest));
    }

    void WrapLine() {
        FinishLine();
        FLineOpen = true;
        FLine.Indent = CurrentIndent();
        FLine.Step = ListStep();
        FWrapped = true;
    }

    void FinishLine() {
        TLine& line = FLine;
        if (!FLineOpen) {
            line.Indent = CurrentIndent();
            line.Step = ListStep();
        }
        while (!line.Atoms.empty() && line.Atoms.back().Kind == TAtomKind::Space) line.Atoms.pop_back();
        const TTextMetrics m = Metrics(FStyle.Font);
        line.MinAscent = m.Ascent;
        line.MinDescent = m.Height - m.Ascent;
        line.Align = FAlign;
        line.ParaBg = FParaBg;
        line.ParaBgTo = FParaBgTo;
        std::vector<int> counted;
        for (const TAtom& a : line.Atoms)
            if (a.Style.Link >= 0 && std::find(counted.begin(), counted.end(), a.Style.Link) == counted.end()) {
                counted.push_back(a.Style.Link);
                ++LinkLines(a.Style.Link);
            }
        // Inside one link, its own line spacing applies to the next line.
        int linkSpace = kNoSpace;
        if (!FOpenLinks.empty() && Holds(line, FOpenLinks.back())) {
            if (const THtmlLinkLook* look = Look(FOpenLinks.back()); look && look->LineSpace != kHtmlLinkLineSpaceDefault)
                linkSpace = look->LineSpace;
        }
        FLines.push_back(std::move(line));
        FLine = TLine{};
        FLine.SpaceBefore = linkSpace;
        FLineOpen = false;
        FWrapped = false;
    }

    void SoftBreak() {
        if (!FLine.Atoms.empty() || FLine.Rule || FLine.Marker.Present) FinishLine();
    }

    const THtmlLinkLook* Look(int index) const { return FIn.LinkLook ? FIn.LinkLook(index) : nullptr; }

    // --- Tags -----------------------------------------------------------------------
    void CloseLink() {
        TStyle saved;
        if (const TStyle* s = Pop(THtmlTag::Link, saved)) {
            FStyle.Font = s->Font;
            FStyle.Color = s->Color;
            FStyle.Bg = s->Bg;
            FStyle.Link = s->Link;
        }
        if (!FOpenLinks.empty()) FOpenLinks.pop_back();
    }

    void Tag(const THtmlToken& t) {
        const std::string& s = t.Text;
        auto attr = [&](std::string_view name) { return HtmlAttribute(s, name); };
        auto color = [&](std::string_view name) -> std::optional<TColor> {
            if (auto v = attr(name)) return ParseHtmlColor(*v);
            return std::nullopt;
        };
        auto toggle = [&](unsigned bit) {
            if (t.Closing)
                FStyle.Font.Style &= ~bit;
            else
                FStyle.Font.Style |= bit;
        };
        TStyle saved;
        switch (t.Tag) {
            case THtmlTag::Unknown: break;
            case THtmlTag::Link:
                if (t.Closing) {
                    CloseLink();
                    break;
                }
                {
                    const int index = FLinkCount++;
                    THtmlLinkArea area;
                    area.Index = index;
                    area.Href = attr("HREF").value_or("");
                    area.Title = attr("TITLE").value_or("");
                    FResult.Links.push_back(std::move(area));
                    if (!Push(THtmlTag::Link)) break;
                    FOpenLinks.push_back(index);
                    FStyle.Link = index;
                    int limit = -1;
                    if (const THtmlLinkLook* look = Look(index)) {
                        const bool hover = index == FIn.HoverLink;
                        FStyle.Font = hover ? look->HoverFont : look->Font;
                        FStyle.Color = hover ? look->HoverColor : look->Color;
                        if (look->ColorBg != clNone) FStyle.Bg = look->ColorBg;
                        limit = look->MaxLine;
                        if (auto m = attr("MAXLINE")) limit = HtmlTagNumber(*m);
                        if (look->FixedWidth && limit > 1) limit = 1;
                    }
                    FLinkLimits.emplace_back(index, limit);
                }
                break;
            case THtmlTag::Bold: toggle(fsBold); break;
            case THtmlTag::Italic: toggle(fsItalic); break;
            case THtmlTag::Underline: toggle(fsUnderline); break;
            case THtmlTag::Strike: toggle(fsStrikeOut); break;
            case THtmlTag::Body:
                if (t.Closing) break;
                if (auto c = color("BGCOLOR")) FBodyBg = *c;
                if (auto c = color("BGCOLORTO")) FBodyBgTo = *c;
                if (auto d = attr("DIR")) FBodyVertical = Upper(*d) != "H";
                if (auto v = attr("BACKGROUND")) FBodyPicture = Picture(*v);
                if (auto v = attr("BGTOPLEFT")) FBodyTopLeft = Picture(*v);
                if (auto v = attr("BGTOPRIGHT")) FBodyTopRight = Picture(*v);
                break;
            case THtmlTag::LineBreak:
                if (t.Closing) break;
                FResult.PlainText += "\r\n";
                if (!FLineOpen) StartLineIfNeeded();
                FinishLine();
                FLineOpen = true;
                FLine.Indent = CurrentIndent();
                FLine.Step = ListStep();
                if (auto v = attr("LINESPACE")) FLine.SpaceBefore = HtmlTagNumber(*v);
                break;
            case THtmlTag::FlagE: FStyle.Flags = t.Closing ? FStyle.Flags & ~1u : FStyle.Flags | 1u; break;
            case THtmlTag::FlagZ: FStyle.Flags = t.Closing ? FStyle.Flags & ~2u : FStyle.Flags | 2u; break;
            case THtmlTag::Font:
                if (t.Closing) {
                    if (const TStyle* p = Pop(THtmlTag::Font, saved)) {
                        FStyle.Font = p->Font;
                        FStyle.Color = p->Color;
                        FStyle.Bg = p->Bg;
                    }
                    break;
                }
                if (!Push(THtmlTag::Font)) break;
                if (auto v = attr("FACE"); v && !v->empty()) FStyle.Font.Name = *v;
                if (auto c = color("COLOR")) FStyle.Color = *c;
                if (auto c = color("BGCOLOR")) FStyle.Bg = *c;
                if (auto v = attr("SIZE")) {
                    const int points = HtmlTagNumber(*v);
                    if (points > 0 && points < 1000) FStyle.Font.Height = PointsToHeight(points);
                }
                if (auto v = attr("STYLE")) {
                    const std::string u = Upper(*v);
                    const std::size_t at = u.find("FONT-SIZE:");
                    if (at != std::string::npos) {
                        const int points = HtmlTagNumber(std::string_view(u).substr(at + 10));
                        if (points > 0 && points < 1000) FStyle.Font.Height = PointsToHeight(points);
                    }
                }
                break;
            case THtmlTag::Highlight:
                if (t.Closing) {
                    if (const TStyle* p = Pop(THtmlTag::Highlight, saved)) {
                        FStyle.Bg = p->Bg;
                        FStyle.Color = p->Color;
                    }
                } else if (Push(THtmlTag::Highlight)) {
                    FStyle.Bg = clHighlight;
                    FStyle.Color = clHighlightText;
                }
                break;
            case THtmlTag::Rule:
                if (t.Closing) break;
                SoftBreak();
                StartLineIfNeeded();
                FLine.Rule = true;
                FLine.RuleColor = color("COLOR").value_or(FStyle.Color);
                FinishLine();
                break;
            case THtmlTag::Indent:
                if (t.Closing) break;
                if (auto v = attr("X")) {
                    StartLineIfNeeded();
                    const int gap = HtmlTagNumber(*v) - FLine.Indent - LineWidth(FLine);
                    if (gap > 0) AddGap(gap);
                }
                break;
            case THtmlTag::Offset:
                if (!t.Closing) {
                    const int n = HtmlTagNumber(s);
                    if (n > 0 && n < 100000) AddGap(n);
                }
                break;
            case THtmlTag::Image:
                if (!t.Closing) Image(s);
                break;
            case THtmlTag::ListItem: {
                if (t.Closing) break;
                SoftBreak();
                StartLineIfNeeded();
                RefreshEmptyLine();
                TMarker& m = FLine.Marker;
                m.Present = true;
                m.Font = FStyle.Font;
                m.Color = color("COLOR").value_or(FStyle.Color);
                std::string type = Upper(attr("TYPE").value_or(FLists.empty() ? "" : FLists.back().Type));
                if (!FLists.empty() && FLists.back().Ordered) {
                    m.Numbered = true;
                    m.Number = std::to_string(++FLists.back().Counter) + ". ";
                } else {
                    m.Bullet = type == "SQUARE"   ? THtmlBullet::Square
                               : type == "CIRCLE" ? THtmlBullet::Circle
                               : type == "DISC"   ? THtmlBullet::Disc
                               : FLists.size() > 1 ? THtmlBullet::Circle
                                                   : THtmlBullet::Disc;
                }
                break;
            }
            case THtmlTag::ListStyle:
                if (!t.Closing && !FLists.empty()) FLists.back().Type = attr("TYPE").value_or("");
                break;
            case THtmlTag::OrderedList:
            case THtmlTag::BulletList:
                SoftBreak();
                if (t.Closing) {
                    if (!FLists.empty()) FLists.pop_back();
                } else if (FLists.size() < kMaxNesting) {
                    FLists.push_back(TList{t.Tag == THtmlTag::OrderedList, 0, attr("TYPE").value_or("")});
                }
                RefreshEmptyLine();
                break;
            case THtmlTag::Paragraph:
                SoftBreak();
                if (t.Closing) {
                    if (!FParagraphs.empty()) {
                        FAlign = FParagraphs.back().Align;
                        FParaIndent = FParagraphs.back().Indent;
                        FParaBg = FParagraphs.back().Bg;
                        FParaBgTo = FParagraphs.back().BgTo;
                        FParagraphs.pop_back();
                    }
                    RefreshEmptyLine();
                    break;
                }
                if (FParagraphs.size() >= kMaxNesting) break;
                FParagraphs.push_back(TParagraph{FAlign, FParaIndent, FParaBg, FParaBgTo});
                if (auto v = attr("ALIGN")) {
                    const std::string a = Upper(*v);
                    if (a == "LEFT") FAlign = taLeftJustify;
                    if (a == "RIGHT") FAlign = taRightJustify;
                    if (a == "CENTER") FAlign = taCenter;
                }
                if (auto v = attr("INDENT")) FParaIndent = std::clamp(FParaIndent + HtmlTagNumber(*v), 0, 100000);
                if (auto c = color("BGCOLOR")) FParaBg = *c;
                if (auto c = color("BGCOLORTO")) FParaBgTo = *c;
                RefreshEmptyLine();
                break;
            case THtmlTag::Raise:
                if (t.Closing) {
                    if (const TStyle* p = Pop(THtmlTag::Raise, saved)) FStyle.Raise = p->Raise;
                } else if (Push(THtmlTag::Raise)) {
                    FStyle.Raise = std::clamp(FStyle.Raise + HtmlTagNumber(s), -1000, 1000);
                }
                break;
            case THtmlTag::Shadow: FStyle.Shadow = !t.Closing; break;
            case THtmlTag::Span:
                if (t.Closing) {
                    if (const TStyle* p = Pop(THtmlTag::Span, saved)) FStyle.Bg = p->Bg;
                } else if (Push(THtmlTag::Span)) {
                    if (auto v = attr("STYLE")) {
                        const std::string u = Upper(*v);
                        const std::size_t at = u.find("BACKGROUND-COLOR:");
                        if (at != std::string::npos) {
                            std::string value = v->substr(at + 17);
                            const std::size_t end = value.find(';');
                            if (end != std::string::npos) value.resize(end);
                            if (auto c = ParseHtmlColor(value)) FStyle.Bg = *c;
                        }
                    }
                }
                break;
            case THtmlTag::Subscript:
            case THtmlTag::Superscript:
                if (t.Closing) {
                    if (const TStyle* p = Pop(THtmlTag::Subscript, saved)) FStyle.Script = p->Script;
                } else if (Push(THtmlTag::Subscript)) {
                    FStyle.Script = t.Tag == THtmlTag::Superscript ? 2 : 1;
                }
                break;
        }
    }

    void AddGap(int width) {
        TAtom gap;
        gap.Kind = TAtomKind::Gap;
        gap.Style = FStyle;
        gap.Width = width;
        StartLineIfNeeded();
        FLine.Atoms.push_back(std::move(gap));
    }

    std::shared_ptr<TRdGraphic> Picture(const std::string& source) {
        auto parsed = ParseHtmlImageSource(source);
        if (!parsed || !FIn.Image) return nullptr;
        auto picture = FIn.Image(*parsed);
        return picture && !picture->Empty() ? picture : nullptr;
    }

    void Image(const std::string& tag) {
        std::shared_ptr<TRdGraphic> picture;
        if (auto src = HtmlAttribute(tag, "SRC")) picture = Picture(*src);
        if (!picture) {
            if (auto alt = HtmlAttribute(tag, "ALT"); alt && !alt->empty()) Text(*alt);
            return;
        }
        TAtom a;
        a.Kind = TAtomKind::Picture;
        a.Style = FStyle;
        a.Picture = picture;
        int w = picture->Width(), h = picture->Height();
        if (auto v = HtmlAttribute(tag, "WIDTH")) w = std::clamp(HtmlTagNumber(*v), 0, 10000);
        if (auto v = HtmlAttribute(tag, "HEIGHT")) h = std::clamp(HtmlTagNumber(*v), 0, 10000);
        a.Width = w;
        const TTextMetrics m = Metrics(FStyle.Font);
        const std::string align = Upper(HtmlAttribute(tag, "ALIGN").value_or(""));
        if (align == "TOP") {
            a.Ascent = m.Ascent;
            a.Descent = h - m.Ascent;
        } else if (align == "MIDDLE") {
            const int middle = (m.Ascent - (m.Height - m.Ascent)) / 2;  // above the base line
            a.Ascent = middle + h / 2;
            a.Descent = h - a.Ascent;
        } else {
            a.Ascent = h;
            a.Descent = 0;
        }
        a.FontHeight = h;
        Add(std::move(a));
    }

    // --- Placement ------------------------------------------------------------------
    void Place() {
        THtmlLayoutResult& r = FResult;
        const bool rightToLeft = ReadsRightToLeft();
        int y = 0, textWidth = 0;
        for (std::size_t i = 0; i < FLines.size(); ++i) {
            TLine& line = FLines[i];
            if (i > 0) y += line.SpaceBefore != kNoSpace ? line.SpaceBefore : FIn.LineSpacing;
            line.Ascent = line.MinAscent;
            line.Descent = line.MinDescent;
            if (line.Rule) {
                line.Ascent = std::max(3, (line.MinAscent + line.MinDescent) / 2);
                line.Descent = 0;
            }
            for (const TAtom& a : line.Atoms) {
                if (a.Kind == TAtomKind::Gap) continue;
                line.Ascent = std::max(line.Ascent, a.Ascent);
                line.Descent = std::max(line.Descent, a.Descent);
            }
            line.Top = y;
            line.Width = LineWidth(line);
            const int free = FIn.Width - line.Indent - line.Width;
            line.X0 = line.Indent;
            if (free > 0 && line.Align == taRightJustify) line.X0 += free;
            if (free > 0 && line.Align == taCenter) line.X0 += free / 2;
            textWidth = std::max(textWidth, line.Indent + line.Width);
            y += line.Height();
        }
        r.TextWidth = textWidth;
        r.TextHeight = y;
        r.LineCount = static_cast<int>(FLines.size());
        r.OutOfRect = y > FIn.Height || textWidth > FIn.Width;
        int shift = 0;
        if (FIn.Layout == tlBottom) shift = FIn.Height - y;
        if (FIn.Layout == tlCenter) shift = (FIn.Height - y) / 2;

        const int areaHeight = std::max(FIn.Height, y);
        if (FBodyBg != clNone) Fill(TRect{0, 0, FIn.Width, areaHeight}, FBodyBg, FBodyBgTo, FBodyVertical);
        if (FBodyPicture) PictureItem(TRect{0, 0, FIn.Width, areaHeight}, FBodyPicture);
        if (FBodyTopLeft) PictureItem(TRect::FromSize(0, 0, FBodyTopLeft->Width(), FBodyTopLeft->Height()), FBodyTopLeft);
        if (FBodyTopRight)
            PictureItem(TRect::FromSize(FIn.Width - FBodyTopRight->Width(), 0, FBodyTopRight->Width(),
                                        FBodyTopRight->Height()),
                        FBodyTopRight);

        for (TLine& line : FLines) {
            line.Top += shift;
            const int top = line.Top, bottom = line.Top + line.Height(), baseline = line.Top + line.Ascent;
            if (line.ParaBg != clNone) Fill(TRect{0, top, FIn.Width, bottom}, line.ParaBg, line.ParaBgTo, true);
            if (line.Rule) {
                THtmlDrawItem item;
                item.Kind = THtmlDrawKind::Line;
                item.Rect = TRect{line.Indent, top + line.Ascent / 2, FIn.Width, top + line.Ascent / 2 + 1};
                item.Color = line.RuleColor;
                r.Items.push_back(std::move(item));
            }
            if (line.Marker.Present) Marker(line, baseline);
            // Atoms from left to right as they are seen, and the level of each (odd:
            // read right to left).
            std::vector<int> levels;
            std::vector<TTextDirection> strong(line.Atoms.size(), TTextDirection::Neutral);
            if (rightToLeft)
                for (std::size_t k = 0; k < line.Atoms.size(); ++k)
                    if (line.Atoms[k].Kind == TAtomKind::Word) strong[k] = FirstStrongDirection(line.Atoms[k].Text);
            const std::vector<std::size_t> order = HtmlVisualOrder(strong, rightToLeft, levels);
            int x = line.X0;
            for (const std::size_t k : order) {
                line.Atoms[k].X = x;
                x += line.Atoms[k].Width;
            }
            // Backgrounds, then runs of text of one style, then pictures.
            for (std::size_t i = 0; i < order.size();) {
                const TAtom& first = line.Atoms[order[i]];
                const int level = levels[order[i]];
                std::size_t j = i + 1;
                auto sameRun = [&](std::size_t k) {
                    const TAtom& a = line.Atoms[k];
                    return a.Kind != TAtomKind::Picture && a.Kind != TAtomKind::Gap && first.Kind != TAtomKind::Picture &&
                           first.Kind != TAtomKind::Gap && a.DrawFont == first.DrawFont &&
                           a.Style.Color == first.Style.Color && a.Style.Bg == first.Style.Bg &&
                           a.Style.Link == first.Style.Link && a.Style.Shadow == first.Style.Shadow &&
                           a.Shift == first.Shift && levels[k] == level;
                };
                while (j < order.size() && sameRun(order[j])) ++j;
                int width = 0;
                std::string text;
                for (std::size_t k = i; k < j; ++k) {
                    // A right-to-left run is drawn from its text in reading order,
                    // which starts at its right end.
                    const TAtom& a = line.Atoms[order[level % 2 ? i + j - 1 - k : k]];
                    width += a.Width;
                    text += a.Text;
                }
                if (first.Style.Bg != clNone && first.Kind != TAtomKind::Gap)
                    Fill(TRect{first.X, top, first.X + width, bottom}, first.Style.Bg, clNone, true);
                if (first.Kind == TAtomKind::Picture) {
                    PictureItem(TRect::FromSize(first.X, baseline - first.Ascent, first.Width,
                                                first.Ascent + first.Descent),
                                first.Picture)
                        .Link = first.Style.Link;
                } else if (first.Kind != TAtomKind::Gap) {
                    THtmlDrawItem item;
                    item.Kind = THtmlDrawKind::Text;
                    item.Rect = TRect::FromSize(first.X, baseline - first.Shift - first.FontAscent, width,
                                                first.FontHeight);
                    item.Text = std::move(text);
                    item.Font = first.DrawFont;
                    item.Color = first.Style.Color;
                    item.Shadow = first.Style.Shadow;
                    item.Link = first.Style.Link;
                    r.Items.push_back(std::move(item));
                }
                i = j;
            }
            // Link boxes: one per line, the line's height.
            for (std::size_t i = 0; i < order.size(); ++i) {
                const TAtom& a = line.Atoms[order[i]];
                const int link = a.Style.Link;
                if (link < 0 || !Look(link) || static_cast<std::size_t>(link) >= r.Links.size()) continue;
                int left = a.X, right = left + a.Width;
                std::size_t j = i + 1;
                for (; j < order.size() && line.Atoms[order[j]].Style.Link == link; ++j)
                    right = line.Atoms[order[j]].X + line.Atoms[order[j]].Width;
                r.Links[static_cast<std::size_t>(link)].Rects.push_back(TRect{left, top, right, bottom});
                i = j - 1;
            }
        }
    }

    // Whether the text reads right to left: its first word with a strong direction
    // is Arabic or Hebrew.
    bool ReadsRightToLeft() const {
        for (const TLine& line : FLines)
            for (const TAtom& a : line.Atoms) {
                if (a.Kind != TAtomKind::Word) continue;
                if (const TTextDirection d = FirstStrongDirection(a.Text); d != TTextDirection::Neutral)
                    return d == TTextDirection::RightToLeft;
            }
        return false;
    }

    void Marker(const TLine& line, int baseline) {
        const TMarker& m = line.Marker;
        const TTextMetrics metrics = Metrics(m.Font);
        if (m.Numbered) {
            THtmlDrawItem item;
            item.Kind = THtmlDrawKind::Text;
            const int w = FR.TextWidth(m.Font, m.Number);
            item.Rect = TRect::FromSize(line.Indent - w, baseline - metrics.Ascent, w, metrics.Height);
            item.Text = m.Number;
            item.Font = m.Font;
            item.Color = m.Color;
            FResult.Items.push_back(std::move(item));
            return;
        }
        const int size = std::max(3, metrics.Height / 3);
        const int centreY = baseline - (metrics.Ascent - metrics.InternalLeading) / 2 + 0;
        const int centreX = line.Indent - line.Step / 2;
        THtmlDrawItem item;
        item.Kind = THtmlDrawKind::Bullet;
        item.Bullet = m.Bullet;
        item.Rect = TRect::FromSize(centreX - size / 2, centreY - size / 2, size, size);
        item.Color = m.Color;
        FResult.Items.push_back(std::move(item));
    }

    void Fill(const TRect& rect, TColor from, TColor to, bool vertical) {
        THtmlDrawItem item;
        item.Kind = to != clNone && to != from ? THtmlDrawKind::Gradient : THtmlDrawKind::Fill;
        item.Rect = rect;
        item.Color = from;
        item.ColorTo = to;
        item.Vertical = vertical;
        FResult.Items.push_back(std::move(item));
    }

    THtmlDrawItem& PictureItem(const TRect& rect, std::shared_ptr<TRdGraphic> picture) {
        THtmlDrawItem item;
        item.Kind = THtmlDrawKind::Picture;
        item.Rect = rect;
        item.Picture = std::move(picture);
        FResult.Items.push_back(std::move(item));
        return FResult.Items.back();
    }

    TTextRenderer& FR;
    const THtmlLayoutInput& FIn;
    THtmlLayoutResult FResult;
    TStyle FStyle;
    std::array<std::vector<TStyle>, static_cast<std::size_t>(THtmlTag::FlagZ) + 1> FSaved;
    std::vector<TLine> FLines;
    TLine FLine;
    bool FLineOpen = false;
    bool FWrapped = false;
    int FBaseLineHeight = 0;
    TAlignment FAlign;
    int FParaIndent = 0;
    TColor FParaBg = clNone, FParaBgTo = clNone;
    std::vector<TParagraph> FParagraphs;
    std::vector<TList> FLists;
    int FLinkCount = 0;
    std::vector<int> FOpenLinks;
    std::vector<std::pair<int, int>> FLinkLimits;
    std::vector<int> FLinkLines;
    int FSkipLink = -1, FSkipDepth = 0;
    TColor FBodyBg = clNone, FBodyBgTo = clNone;
    bool FBodyVertical = true;
    std::shared_ptr<TRdGraphic> FBodyPicture, FBodyTopLeft, FBodyTopRight;

public:
    void SetBaseLineHeight(int h) { FBaseLineHeight = h; }
};

}  // namespace

int THtmlLayoutResult::LinkAt(int x, int y) const {
    for (const THtmlLinkArea& link : Links)
        for (const TRect& r : link.Rects)
            if (r.Contains(x, y)) return link.Index;
    return -1;
}

THtmlLayoutResult LayoutHtml(TTextRenderer& renderer, const std::vector<THtmlToken>& tokens,
                             const THtmlLayoutInput& input) {
    THtmlLayouter layouter(renderer, input);
    layouter.SetBaseLineHeight(renderer.Metrics(input.Font).Height);
    return layouter.Run(tokens);
}
