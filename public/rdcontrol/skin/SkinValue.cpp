#include "public/rdcontrol/skin/SkinValue.h"
#include "public/rdcontrol/base/TextCodec.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

TSkinValue TSkinValue::Integer(std::int64_t value) {
    TSkinValue v;
    v.FKind = TSkinValueKind::Integer;
    v.FInteger = value;
    return v;
}

TSkinValue TSkinValue::Float(double value) {
    TSkinValue v;
    v.FKind = TSkinValueKind::Float;
    v.FFloat = value;
    return v;
}

TSkinValue TSkinValue::String(std::string utf8) {
    TSkinValue v;
    v.FKind = TSkinValueKind::String;
    v.FText = std::move(utf8);
    return v;
}

TSkinValue TSkinValue::Ident(std::string name) {
    TSkinValue v;
    v.FKind = TSkinValueKind::Ident;
    v.FText = std::move(name);
    return v;
}

TSkinValue TSkinValue::Set(std::vector<std::string> elements) {
    TSkinValue v;
    v.FKind = TSkinValueKind::Set;
    v.FElements = std::move(elements);
    return v;
}

TSkinValue TSkinValue::List(std::vector<TSkinValue> items) {
    TSkinValue v;
    v.FKind = TSkinValueKind::List;
    v.FItems = std::move(items);
    return v;
}

TSkinValue TSkinValue::Binary(std::string bytes) {
    TSkinValue v;
    v.FKind = TSkinValueKind::Binary;
    v.FText = std::move(bytes);
    return v;
}

TSkinValue TSkinValue::Collection(std::vector<TSkinCollectionItem> items) {
    TSkinValue v;
    v.FKind = TSkinValueKind::Collection;
    v.FCollection = std::move(items);
    return v;
}

bool operator==(const TSkinValue& a, const TSkinValue& b) {
    if (a.FKind != b.FKind) return false;
    switch (a.FKind) {
    case TSkinValueKind::Integer: return a.FInteger == b.FInteger;
    case TSkinValueKind::Float: return a.FFloat == b.FFloat;
    case TSkinValueKind::String:
    case TSkinValueKind::Ident:
    case TSkinValueKind::Binary: return a.FText == b.FText;
    case TSkinValueKind::Set: return a.FElements == b.FElements;
    case TSkinValueKind::List: return a.FItems == b.FItems;
    case TSkinValueKind::Collection: return a.FCollection == b.FCollection;
    }
    return false;
}

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}


// Recursive descent over the whole text. The first error stops the parse; every
// step checks the position against the end, so truncated input is an error, never
// a read past the text.
class TParser {
public:
    explicit TParser(std::string_view text) : FText(text) {}

    TSkinValueParse Run() {
        TSkinValueParse result;
        SkipBlanks();
        if (AtEnd()) {
            result.Error = "empty value";
            return result;
        }
        std::optional<TSkinValue> value = ParseValue(0);
        if (value) {
            SkipBlanks();
            if (!AtEnd()) Fail("end of value");
        }
        if (!FError.empty()) {
            result.Error = FError;
            return result;
        }
        result.Value = std::move(value);
        return result;
    }

private:
    bool AtEnd() const { return FPos >= FText.size(); }
    char Peek() const { return AtEnd() ? '\0' : FText[FPos]; }

    void SkipBlanks() {
        while (!AtEnd() && (FText[FPos] == ' ' || FText[FPos] == '\t' || FText[FPos] == '\r' || FText[FPos] == '\n'))
            ++FPos;
    }

    // Records the first error only: inner failures are the informative ones.
    std::nullopt_t Fail(std::string_view expected) {
        if (FError.empty()) {
            FError = "expected " + std::string(expected) + " at offset " + std::to_string(FPos);
            if (!AtEnd()) {
                std::string_view near = FText.substr(FPos, 12);
                FError += " near \"" + std::string(near) + "\"";
            }
        }
        return std::nullopt;
    }

    std::optional<TSkinValue> ParseValue(int depth) {
        if (depth > kSkinValueMaxDepth) return Fail("less deeply nested value");
        SkipBlanks();
        const char c = Peek();
        if (c == '\'' || c == '#') return ParseString();
        if (c == '-' || c == '+' || c == '$' || IsDigit(c)) return ParseNumber();
        if (IsIdentStart(c)) {
            std::string name = ParseIdent();
            return TSkinValue::Ident(std::move(name));
        }
        if (c == '[') return ParseSet();
        if (c == '(') return ParseList(depth);
        if (c == '{') return ParseBinary();
        if (c == '<') return ParseCollection(depth);
        return Fail("a value");
    }

    // Letters, digits and "_", with "." between such names (dotted component names).
    std::string ParseIdent() {
        const std::size_t start = FPos;
        while (true) {
            while (!AtEnd() && IsIdentChar(FText[FPos])) ++FPos;
            if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsIdentStart(FText[FPos + 1])) {
                ++FPos;
                continue;
            }
            break;
        }
        return std::string(FText.substr(start, FPos - start));
    }

    std::optional<TSkinValue> ParseNumber() {
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') {
            negative = Peek() == '-';
            ++FPos;
        }
        if (Peek() == '$') {
            ++FPos;
            const std::size_t start = FPos;
            std::uint64_t magnitude = 0;
            while (!AtEnd() && HexDigit(FText[FPos]) >= 0) {
                if (magnitude > (std::numeric_limits<std::uint64_t>::max() >> 4)) return Fail("a smaller number");
                magnitude = (magnitude << 4) | static_cast<std::uint64_t>(HexDigit(FText[FPos]));
                ++FPos;
            }
            if (FPos == start) return Fail("hexadecimal digits");
            if (!AtEnd() && IsIdentChar(Peek())) return Fail("end of number");
            // "$FFFFFFFFFFFFFFFF" is the two's-complement form of -1, as the form
            // writer produces for negative 64-bit values; with a sign the digits are
            // a magnitude.
            if (!negative) return TSkinValue::Integer(static_cast<std::int64_t>(magnitude));
            if (magnitude > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1)
                return Fail("a smaller number");
            return TSkinValue::Integer(static_cast<std::int64_t>(0 - magnitude));
        }
        const std::size_t start = FPos;
        while (!AtEnd() && IsDigit(FText[FPos])) ++FPos;
        if (FPos == start) return Fail("digits");
        bool isFloat = false;
        if (Peek() == '.') {
            ++FPos;
            const std::size_t fraction = FPos;
            while (!AtEnd() && IsDigit(FText[FPos])) ++FPos;
            if (FPos == fraction) return Fail("digits after '.'");
            isFloat = true;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++FPos;
            if (Peek() == '-' || Peek() == '+') ++FPos;
            const std::size_t exponent = FPos;
            while (!AtEnd() && IsDigit(FText[FPos])) ++FPos;
            if (FPos == exponent) return Fail("exponent digits");
            isFloat = true;
        }
        if (!AtEnd() && IsIdentChar(Peek())) return Fail("end of number");
        const std::string_view digits = FText.substr(start, FPos - start);
        if (isFloat) {
            // strtod needs a terminated string; the digits are plain ASCII, so the
            // C locale's "." matters only if someone changed LC_NUMERIC, which this
            // program never does.
            const std::string copy(digits);
            char* end = nullptr;
            double value = std::strtod(copy.c_str(), &end);
            if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return Fail("a finite number");
            return TSkinValue::Float(negative ? -value : value);
        }
        std::uint64_t magnitude = 0;
        auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
        if (ec != std::errc() || ptr != digits.data() + digits.size()) return Fail("a smaller number");
        const std::uint64_t limit = negative ? static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1
                                             : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        if (magnitude > limit) return Fail("a smaller number");
        if (negative) return TSkinValue::Integer(static_cast<std::int64_t>(0 - magnitude));
        return TSkinValue::Integer(static_cast<std::int64_t>(magnitude));
    }

    std::optional<TSkinValue> ParseString() {
        std::string out;
        while (true) {
            bool any = false;
            while (Peek() == '\'' || Peek() == '#') {
                any = true;
                if (Peek() == '\'') {
                    ++FPos;
                    while (true) {
                        if (AtEnd()) return Fail("closing quote");
                        const char c = FText[FPos++];
                        if (c == '\'') {
                            if (Peek() == '\'') {
                                out += '\'';
                                ++FPos;
                                continue;
                            }
                            break;
                        }
                        out += c;
                    }
                } else {
                    ++FPos;
                    std::uint32_t code = 0;
                    const bool hex = Peek() == '$';
                    if (hex) ++FPos;
                    const std::size_t start = FPos;
                    while (!AtEnd() && (hex ? HexDigit(FText[FPos]) >= 0 : IsDigit(FText[FPos]))) {
                        code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(HexDigit(FText[FPos]));
                        if (code > 0x10FFFF) return Fail("a character code up to $10FFFF");
                        ++FPos;
                    }
                    if (FPos == start) return Fail("a character code");
                    if (code >= 0xD800 && code <= 0xDFFF) return Fail("a character code outside the surrogates");
                    AppendUtf8(out, code);
                }
            }
            if (!any) return Fail("a string");
            // Long strings are written as pieces joined by "+" across lines.
            const std::size_t save = FPos;
            SkipBlanks();
            if (Peek() != '+') {
                FPos = save;
                break;
            }
            ++FPos;
            SkipBlanks();
        }
        return TSkinValue::String(std::move(out));
    }

    std::optional<TSkinValue> ParseSet() {
        ++FPos;  // '['
        std::vector<std::string> elements;
        SkipBlanks();
        if (Peek() == ']') {
            ++FPos;
            return TSkinValue::Set(std::move(elements));
        }
        while (true) {
            SkipBlanks();
            if (!IsIdentStart(Peek())) return Fail("a set element");
            elements.push_back(ParseIdent());
            SkipBlanks();
            if (Peek() == ',') {
                ++FPos;
                continue;
            }
            if (Peek() == ']') {
                ++FPos;
                return TSkinValue::Set(std::move(elements));
            }
            return Fail("',' or ']'");
        }
    }

    std::optional<TSkinValue> ParseList(int depth) {
        ++FPos;  // '('
        std::vector<TSkinValue> items;
        while (true) {
            SkipBlanks();
            if (AtEnd()) return Fail("')'");
            if (Peek() == ')') {
                ++FPos;
                return TSkinValue::List(std::move(items));
            }
            const char c = Peek();
            if (c == '[' || c == '(' || c == '{' || c == '<') return Fail("a string, number or identifier");
            std::optional<TSkinValue> item = ParseValue(depth + 1);
            if (!item) return std::nullopt;
            items.push_back(std::move(*item));
        }
    }

    std::optional<TSkinValue> ParseBinary() {
        ++FPos;  // '{'
        std::string bytes;
        int high = -1;
        while (true) {
            SkipBlanks();
            if (AtEnd()) return Fail("'}'");
            const char c = FText[FPos];
            if (c == '}') {
                if (high >= 0) return Fail("a second hexadecimal digit");
                ++FPos;
                return TSkinValue::Binary(std::move(bytes));
            }
            const int digit = HexDigit(c);
            if (digit < 0) return Fail("hexadecimal digits");
            ++FPos;
            if (high < 0) {
                high = digit;
            } else {
                bytes += static_cast<char>((high << 4) | digit);
                high = -1;
            }
        }
    }

    bool IsKeyword(std::string_view word) {
        if (FText.size() - FPos < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            char c = FText[FPos + i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c != word[i]) return false;
        }
        const std::size_t after = FPos + word.size();
        return after >= FText.size() || !IsIdentChar(FText[after]);
    }

    std::optional<TSkinValue> ParseCollection(int depth) {
        ++FPos;  // '<'
        std::vector<TSkinCollectionItem> items;
        while (true) {
            SkipBlanks();
            if (Peek() == '>') {
                ++FPos;
                return TSkinValue::Collection(std::move(items));
            }
            if (!IsKeyword("item")) return Fail("'item' or '>'");
            FPos += 4;
            TSkinCollectionItem item;
            while (true) {
                SkipBlanks();
                if (IsKeyword("end")) {
                    FPos += 3;
                    break;
                }
                if (!IsIdentStart(Peek())) return Fail("a property name or 'end'");
                TSkinItemProperty property;
                property.Name = ParseIdent();
                SkipBlanks();
                if (Peek() != '=') return Fail("'='");
                ++FPos;
                std::optional<TSkinValue> value = ParseValue(depth + 1);
                if (!value) return std::nullopt;
                property.Value = std::move(*value);
                item.Properties.push_back(std::move(property));
            }
            items.push_back(std::move(item));
        }
    }

    std::string_view FText;
    std::size_t FPos = 0;
    std::string FError;
};

std::string QuoteString(const std::string& text) {
    if (text.empty()) return "''";
    std::string out;
    bool inQuotes = false;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            if (inQuotes) out += '\'';
            inQuotes = false;
            out += '#';
            out += std::to_string(c);
            continue;
        }
        if (!inQuotes) out += '\'';
        inQuotes = true;
        out += ch;
        if (ch == '\'') out += '\'';
    }
    if (inQuotes) out += '\'';
    return out;
}

std::string FormatFloat(double value) {
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string out(buffer, ec == std::errc() ? ptr : buffer);
    // The shortest form of 2.0 is "2", which would read back as an integer.
    if (out.find_first_of(".e") == std::string::npos) out += ".0";
    return out;
}

}  // namespace

std::string TSkinValue::ToText() const {
    switch (FKind) {
    case TSkinValueKind::Integer: return std::to_string(FInteger);
    case TSkinValueKind::Float: return FormatFloat(FFloat);
    case TSkinValueKind::String: return QuoteString(FText);
    case TSkinValueKind::Ident: return FText;
    case TSkinValueKind::Set: {
        std::string out = "[";
        for (std::size_t i = 0; i < FElements.size(); ++i) {
            if (i) out += ", ";
            out += FElements[i];
        }
        return out + "]";
    }
    case TSkinValueKind::List: {
        std::string out = "(";
        for (const TSkinValue& item : FItems) out += " " + item.ToText();
        return out + " )";
    }
    case TSkinValueKind::Binary: {
        static const char kHex[] = "0123456789ABCDEF";
        std::string out = "{";
        for (char ch : FText) {
            const auto c = static_cast<unsigned char>(ch);
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
        return out + "}";
    }
    case TSkinValueKind::Collection: {
        std::string out = "<";
        for (const TSkinCollectionItem& item : FCollection) {
            out += " item";
            for (const TSkinItemProperty& p : item.Properties) out += " " + p.Name + " = " + p.Value.ToText();
            out += " end";
        }
        return out + " >";
    }
    }
    return {};
}

TSkinValueParse ParseSkinValue(std::string_view text) { return TParser(text).Run(); }
