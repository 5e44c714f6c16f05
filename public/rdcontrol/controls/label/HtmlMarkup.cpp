#include "public/rdcontrol/controls/label/HtmlMarkup.h"

#include <charconv>
#include <cstddef>

#include "public/rdcontrol/skin/SkinProperties.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsAttributeChar(char c) {
    const char u = Upper(c);
    return (u >= 'A' && u <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

struct TEntity {
    std::string_view Name;  // between "&" and ";"
    std::string_view Utf8;
};

constexpr TEntity kEntities[] = {
    {"amp", "&"},
    {"quot", "\""},
    {"sect", "\xC2\xA7"},
    {"permil", "\xE2\x80\xB0"},
    {"reg", "\xC2\xAE"},
    {"copy", "\xC2\xA9"},
    {"para", "\xC2\xB6"},
    {"trade", "\xE2\x84\xA2"},
    {"euro", "\xE2\x82\xAC"},
    {"nbsp", "\xC2\xA0"},
    {"lt", "<"},
    {"gt", ">"},
};

}  // namespace

std::string DecodeHtmlEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            bool matched = false;
            for (const TEntity& e : kEntities) {
                const std::size_t end = i + 1 + e.Name.size();
                if (end < text.size() && text[end] == ';' && text.substr(i + 1, e.Name.size()) == e.Name) {
                    out += e.Utf8;
                    i = end + 1;
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
        }
        out += text[i++];
    }
    return out;
}

THtmlTag IdentifyHtmlTag(std::string_view tag, bool& closing) {
    closing = !tag.empty() && tag[0] == '/';
    if (closing) tag.remove_prefix(1);
    auto at = [&](std::size_t i) { return i < tag.size() ? Upper(tag[i]) : '\0'; };
    // A letter followed directly by the end of the tag ("<b>").
    const bool alone = tag.size() == 1;
    switch (at(0)) {
        case 'A': return THtmlTag::Link;
        case 'B':
            if (alone) return THtmlTag::Bold;
            return at(1) == 'O' ? THtmlTag::Body : THtmlTag::LineBreak;
        case 'E': return THtmlTag::FlagE;
        case 'F': return THtmlTag::Font;
        case 'H':
            if (at(1) == 'I') return THtmlTag::Highlight;
            if (at(1) == 'R') return THtmlTag::Rule;
            return THtmlTag::Unknown;
        case 'I':
            if (alone) return THtmlTag::Italic;
            if (at(1) == 'N') return THtmlTag::Indent;
            if (at(1) == 'M') return THtmlTag::Image;
            return THtmlTag::Unknown;
        case 'L': return at(1) == 'I' ? THtmlTag::ListItem : THtmlTag::ListStyle;
        case 'O': return at(1) == 'L' ? THtmlTag::OrderedList : THtmlTag::Offset;
        case 'P': return THtmlTag::Paragraph;
        case 'R': return THtmlTag::Raise;
        case 'S':
            if (alone || at(1) == 'T') return THtmlTag::Strike;
            if (at(1) == 'H') return THtmlTag::Shadow;
            if (at(1) == 'P') return THtmlTag::Span;
            return at(2) == 'P' ? THtmlTag::Superscript : THtmlTag::Subscript;
        case 'U': return alone ? THtmlTag::Underline : THtmlTag::BulletList;
        case 'Z': return THtmlTag::FlagZ;
        default: return THtmlTag::Unknown;
    }
}

std::vector<THtmlToken> ParseHtmlMarkup(std::string_view markup) {
    std::vector<THtmlToken> tokens;
    std::string text;  // raw text of the current run, decoded when it ends
    auto flushText = [&] {
        if (text.empty()) return;
        THtmlToken t;
        t.Text = DecodeHtmlEntities(text);
        tokens.push_back(std::move(t));
        text.clear();
    };
    for (std::size_t i = 0; i < markup.size();) {
        if (markup[i] == '<' && i + 2 < markup.size()) {
            const std::size_t close = markup.find('>', i + 1);
            if (close != std::string_view::npos) {
                flushText();
                THtmlToken t;
                t.IsTag = true;
                t.Text = std::string(markup.substr(i + 1, close - i - 1));
                t.Tag = IdentifyHtmlTag(t.Text, t.Closing);
                tokens.push_back(std::move(t));
                i = close + 1;
                continue;
            }
        }
        text += markup[i++];
    }
    flushText();
    return tokens;
}

std::optional<std::string> HtmlAttribute(std::string_view tag, std::string_view name) {
    if (name.empty()) return std::nullopt;
    for (std::size_t i = 0; i + name.size() <= tag.size(); ++i) {
        // A whole word: not preceded or followed by another name character.
        if (i > 0 && IsAttributeChar(tag[i - 1])) continue;
        bool same = true;
        for (std::size_t k = 0; k < name.size() && same; ++k) same = Upper(tag[i + k]) == name[k];
        if (!same) continue;
        std::size_t j = i + name.size();
        if (j < tag.size() && IsAttributeChar(tag[j])) continue;
        while (j < tag.size() && tag[j] == ' ') ++j;
        if (j >= tag.size() || tag[j] != '=') continue;
        ++j;
        while (j < tag.size() && tag[j] == ' ') ++j;
        if (j < tag.size() && tag[j] == '"') {
            const std::size_t end = tag.find('"', j + 1);
            return std::string(tag.substr(j + 1, end == std::string_view::npos ? std::string_view::npos : end - j - 1));
        }
        std::size_t end = j;
        while (end < tag.size() && tag[end] != ' ' && tag[end] != '\t') ++end;
        return std::string(tag.substr(j, end - j));
    }
    return std::nullopt;
}

int HtmlTagNumber(std::string_view tag) {
    for (std::size_t i = 0; i < tag.size(); ++i) {
        const bool sign = tag[i] == '-' && i + 1 < tag.size() && tag[i + 1] >= '0' && tag[i + 1] <= '9';
        if (!sign && !(tag[i] >= '0' && tag[i] <= '9')) continue;
        int value = 0;
        const auto [p, ec] = std::from_chars(tag.data() + i, tag.data() + tag.size(), value);
        (void)p;
        return ec == std::errc{} ? value : 0;
    }
    return 0;
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char u = Upper(c);
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == ';')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::optional<TColor> ParseHtmlColor(std::string_view value) {
    value = Trim(value);
    if (value.empty()) return std::nullopt;
    if (value[0] == '#' || value[0] == '$') {
        if (value.size() != 7) return std::nullopt;
        int c[3];
        for (int k = 0; k < 3; ++k) {
            const int hi = HexDigit(value[1 + 2 * k]), lo = HexDigit(value[2 + 2 * k]);
            if (hi < 0 || lo < 0) return std::nullopt;
            c[k] = hi * 16 + lo;
        }
        return RGB(static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]), static_cast<std::uint8_t>(c[2]));
    }
    if (auto named = ColorFromIdent(value)) return named;
    long long number = 0;
    const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (ec != std::errc{} || p != value.data() + value.size()) return std::nullopt;
    if (number < -2147483648LL || number > 4294967295LL) return std::nullopt;
    return static_cast<TColor>(static_cast<std::uint32_t>(number));
}

std::optional<THtmlImageSource> ParseHtmlImageSource(std::string_view value) {
    value = Trim(value);
    struct TPrefix {
        std::string_view Name;
        THtmlImageKind Kind;
    };
    constexpr TPrefix prefixes[] = {{"IDX:", THtmlImageKind::ImageList},
                                    {"SSYS:", THtmlImageKind::SmallSystem},
                                    {"LSYS:", THtmlImageKind::LargeSystem}};
    for (const TPrefix& p : prefixes) {
        if (value.size() <= p.Name.size()) continue;
        bool same = true;
        for (std::size_t k = 0; k < p.Name.size() && same; ++k) same = Upper(value[k]) == p.Name[k];
        if (!same) continue;
        const std::string_view digits = value.substr(p.Name.size());
        int index = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (ec != std::errc{} || end != digits.data() + digits.size() || index < 0) return std::nullopt;
        return THtmlImageSource{p.Kind, index};
    }
    return std::nullopt;
}
