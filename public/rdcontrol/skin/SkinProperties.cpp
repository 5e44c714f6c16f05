#include "public/rdcontrol/skin/SkinProperties.h"

#include <limits>
#include <utility>

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/drawing/DesignRect.h"

std::string InvalidIdentText(std::string_view text) { return "Invalid Ident value: " + std::string(text); }

namespace {

struct TColorName {
    const char* Name;
    std::uint32_t Value;
};

constexpr std::uint32_t System(std::uint32_t index) { return 0xFF000000u | index; }

// In the order names are preferred when a value has several (clGray before clDkGray).
constexpr TColorName kColorNames[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clLtGray", 0xC0C0C0},
    {"clDkGray", 0x808080},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", static_cast<std::uint32_t>(clNone)},
    {"clDefault", static_cast<std::uint32_t>(clDefault)},
    {"clScrollBar", System(0)},
    {"clBackground", System(1)},
    {"clActiveCaption", System(2)},
    {"clInactiveCaption", System(3)},
    {"clMenu", System(4)},
    {"clWindow", System(5)},
    {"clWindowFrame", System(6)},
    {"clMenuText", System(7)},
    {"clWindowText", System(8)},
    {"clCaptionText", System(9)},
    {"clActiveBorder", System(10)},
    {"clInactiveBorder", System(11)},
    {"clAppWorkSpace", System(12)},
    {"clHighlight", System(13)},
    {"clHighlightText", System(14)},
    {"clBtnFace", System(15)},
    {"clBtnShadow", System(16)},
    {"clGrayText", System(17)},
    {"clBtnText", System(18)},
    {"clInactiveCaptionText", System(19)},
    {"clBtnHighlight", System(20)},
    {"cl3DDkShadow", System(21)},
    {"cl3DLight", System(22)},
    {"clInfoText", System(23)},
    {"clInfoBk", System(24)},
    {"clHotLight", System(26)},
    {"clGradientActiveCaption", System(27)},
    {"clGradientInactiveCaption", System(28)},
    {"clMenuHighlight", System(29)},
    {"clMenuBar", System(30)},
};

static_assert(System(15) == static_cast<std::uint32_t>(clBtnFace));
static_assert(System(21) == static_cast<std::uint32_t>(cl3DDkShadow));

// The value as written, for error texts: identifiers bare, everything else in
// skin syntax.
std::string Written(const TSkinValue& value) { return value.ToText(); }

int IndexOfName(const std::vector<std::string>& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (SameTextNoCase(names[i], name)) return static_cast<int>(i);
    return -1;
}

}  // namespace

std::optional<TColor> ColorFromIdent(std::string_view name) {
    for (const TColorName& c : kColorNames)
        if (SameTextNoCase(c.Name, name)) return static_cast<TColor>(c.Value);
    return std::nullopt;
}

std::string ColorToIdent(TColor color) {
    for (const TColorName& c : kColorNames)
        if (static_cast<TColor>(c.Value) == color) return c.Name;
    return {};
}

const TPropertyTable::TEntry* TPropertyTable::Find(std::string_view name) const {
    auto it = FIndex.find(FoldCase(name));
    return it == FIndex.end() ? nullptr : &FEntries[it->second];
}

void TPropertyTable::Add(std::string_view name, Setter setter, Getter getter) {
    std::string key = FoldCase(name);
    auto it = FIndex.find(key);
    if (it != FIndex.end()) {
        FEntries[it->second] = TEntry{std::string(name), std::move(setter), std::move(getter), false};
        return;
    }
    FIndex.emplace(std::move(key), FEntries.size());
    FEntries.push_back(TEntry{std::string(name), std::move(setter), std::move(getter), false});
}

void TPropertyTable::AddInt(std::string_view name, std::function<int()> get, std::function<void(int)> set) {
    Add(
        name,
        [set = std::move(set)](const TSkinValue& v) -> std::optional<std::string> {
            if (v.Kind() != TSkinValueKind::Integer || v.AsInteger() < std::numeric_limits<int>::min() ||
                v.AsInteger() > std::numeric_limits<int>::max())
                return InvalidIdentText(Written(v));
            set(static_cast<int>(v.AsInteger()));
            return std::nullopt;
        },
        [get = std::move(get)] { return std::to_string(get()); });
}

void TPropertyTable::AddBool(std::string_view name, std::function<bool()> get, std::function<void(bool)> set) {
    Add(
        name,
        [set = std::move(set)](const TSkinValue& v) -> std::optional<std::string> {
            if (v.Kind() == TSkinValueKind::Integer) {
                set(v.AsInteger() != 0);
                return std::nullopt;
            }
            if (v.IsIdent() && (SameTextNoCase(v.Text(), "True") || SameTextNoCase(v.Text(), "False"))) {
                set(SameTextNoCase(v.Text(), "True"));
                return std::nullopt;
            }
            return InvalidIdentText(Written(v));
        },
        [get = std::move(get)] { return std::string(get() ? "True" : "False"); });
}

void TPropertyTable::AddString(std::string_view name, std::function<std::string()> get,
                               std::function<void(const std::string&)> set) {
    Add(
        name,
        [set = std::move(set)](const TSkinValue& v) -> std::optional<std::string> {
            if (v.Kind() != TSkinValueKind::String) return InvalidIdentText(Written(v));
            set(v.Text());
            return std::nullopt;
        },
        [get = std::move(get)] { return TSkinValue::String(get()).ToText(); });
}

void TPropertyTable::AddStrings(std::string_view name, std::function<std::vector<std::string>()> get,
                                std::function<void(const std::vector<std::string>&)> set) {
    Add(
        name,
        [set = std::move(set)](const TSkinValue& v) -> std::optional<std::string> {
            if (v.Kind() == TSkinValueKind::String) {
                set({v.Text()});
                return std::nullopt;
            }
            if (v.Kind() != TSkinValueKind::List) return InvalidIdentText(Written(v));
            std::vector<std::string> lines;
            for (const TSkinValue& item : v.Items()) {
                if (item.Kind() != TSkinValueKind::String) return InvalidIdentText(Written(item));
                lines.push_back(item.Text());
            }
            set(lines);
            return std::nullopt;
        },
        [get = std::move(get)] {
            std::vector<TSkinValue> items;
            for (std::string& line : get()) items.push_back(TSkinValue::String(std::move(line)));
            return TSkinValue::List(std::move(items)).ToText();
        });
}

void TPropertyTable::AddColor(std::string_view name, std::function<TColor()> get, std::function<void(TColor)> set) {
    Add(
        name,
        [set = std::move(set)](const TSkinValue& v) -> std::optional<std::string> {
            if (v.Kind() == TSkinValueKind::Integer) {
                // Colours are 32-bit patterns: $FF000005 and -16777211 are the same.
                if (v.AsInteger() < std::numeric_limits<std::int32_t>::min() ||
                    v.AsInteger() > std::numeric_limits<std::uint32_t>::max())
                    return InvalidIdentText(Written(v));
                set(static_cast<TColor>(static_cast<std::uint32_t>(v.AsInteger())));
                return std::nullopt;
            }
            if (v.IsIdent())
                if (auto color = ColorFromIdent(v.Text())) {
                    set(*color);
                    return std::nullopt;
                }
            return InvalidIdentText(Written(v));
        },
        [get = std::move(get)] {
            const TColor color = get();
            std::string ident = ColorToIdent(color);
            return ident.empty() ? std::to_string(color) : ident;
        });
    FEntries[FIndex.at(FoldCase(name))].IsColor = true;
}

void TPropertyTable::AddEnum(std::string_view name, std::vector<std::string> names, std::function<int()> get,
                             std::function<void(int)> set) {
    Add(
        name,
        [names, set = std::move(set)](const TSkinValue& v) -> std::optional<std::string> {
            const int index = v.IsIdent() ? IndexOfName(names, v.Text()) : -1;
            if (index < 0) return InvalidIdentText(Written(v));
            set(index);
            return std::nullopt;
        },
        [names, get = std::move(get)] {
            const int index = get();
            return index >= 0 && static_cast<std::size_t>(index) < names.size() ? names[index] : std::to_string(index);
        });
}

void TPropertyTable::AddSet(std::string_view name, std::vector<std::string> names, std::function<std::uint32_t()> get,
                            std::function<void(std::uint32_t)> set) {
    if (names.size() > 32) names.resize(32);
    Add(
        name,
        [names, set = std::move(set)](const TSkinValue& v) -> std::optional<std::string> {
            if (v.Kind() != TSkinValueKind::Set) return InvalidIdentText(Written(v));
            std::uint32_t bits = 0;
            for (const std::string& element : v.Elements()) {
                const int index = IndexOfName(names, element);
                if (index < 0) return InvalidIdentText(element);
                bits |= 1u << index;
            }
            set(bits);
            return std::nullopt;
        },
        [names, get = std::move(get)] {
            const std::uint32_t bits = get();
            std::vector<std::string> elements;
            for (std::size_t i = 0; i < names.size(); ++i)
                if (bits & (1u << i)) elements.push_back(names[i]);
            return TSkinValue::Set(std::move(elements)).ToText();
        });
}

void TPropertyTable::AddObject(std::string_view prefix, const TPropertyTable& sub) {
    for (const TEntry& e : sub.FEntries) {
        const std::string name = std::string(prefix) + "." + e.Name;
        Add(name, e.Set, e.Get);
        FEntries[FIndex.at(FoldCase(name))].IsColor = e.IsColor;
    }
}

bool TPropertyTable::Has(std::string_view name) const { return Find(name) != nullptr; }

std::optional<std::string> TPropertyTable::Get(std::string_view name) const {
    const TEntry* e = Find(name);
    if (!e || !e->Get) return std::nullopt;
    return e->Get();
}

std::vector<std::string> TPropertyTable::Names() const {
    std::vector<std::string> out;
    out.reserve(FEntries.size());
    for (const TEntry& e : FEntries) out.push_back(e.Name);
    return out;
}

TApplyOutcome TPropertyTable::Apply(std::string_view name, const TSkinValue& value,
                                    const ColorLookup& namedColors) const {
    const TEntry* e = Find(name);
    if (!e || !e->Set) return {TApplyResult::UnknownProperty, {}};
    if (e->IsColor && namedColors && value.IsIdent() && !ColorFromIdent(value.Text()))
        if (std::optional<TColor> color = namedColors(value.Text()))
            return Apply(name, TSkinValue::Integer(static_cast<std::uint32_t>(*color)));
    if (std::optional<std::string> error = e->Set(value)) return {TApplyResult::InvalidValue, std::move(*error)};
    return {TApplyResult::Applied, {}};
}

TPropertyTable DesignRectProperties(TDesignRect& rect) {
    TPropertyTable t;
    t.AddEnum(
        "StretchMode", {"sdmDefault", "sdmStretch", "sdmFill", "sdmFrame"},
        [&rect] { return static_cast<int>(rect.StretchMode()); },
        [&rect](int v) { rect.SetStretchMode(static_cast<TStretchDrawMode>(v)); });
    t.AddInt("Left", [&rect] { return rect.Left(); }, [&rect](int v) { rect.SetLeft(v); });
    t.AddInt("Top", [&rect] { return rect.Top(); }, [&rect](int v) { rect.SetTop(v); });
    t.AddInt("Right", [&rect] { return rect.Right(); }, [&rect](int v) { rect.SetRight(v); });
    t.AddInt("Bottom", [&rect] { return rect.Bottom(); }, [&rect](int v) { rect.SetBottom(v); });
    return t;
}
