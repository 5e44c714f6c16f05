#pragma once
// TPropertyTable: how a control publishes its properties to the skin by name.
//
// A control builds one table (usually once, in its constructor) of named setters
// and getters; the skin binding (TRdSkinClass) applies a skin's values to it by
// name. Names match without regard to case. Sub-objects are added under a prefix
// with AddObject, so "Font.Color" and "ImageOption.Left" are plain entries.
//
// Apply never throws for a value of the wrong kind: it answers InvalidValue with
// the error text and leaves the property as it was. A value that cannot be
// converted to the property's type is reported as "Invalid Ident value: " followed
// by the value as written (for a set, the offending element).
//
// The setters and getters usually capture the control; the table must not outlive
// it. One thread (the UI thread).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "public/rdcontrol/drawing/Color.h"
#include "public/rdcontrol/skin/SkinValue.h"

class TDesignRect;

enum class TApplyResult : std::uint8_t { Applied, UnknownProperty, InvalidValue };

struct TApplyOutcome {
    TApplyResult Result = TApplyResult::Applied;
    std::string Error;  // for InvalidValue
};

// The text of a refused value: "Invalid Ident value: " + text.
std::string InvalidIdentText(std::string_view text);

// Colour names: the cl* identifiers of the standard colours, clNone, clDefault and
// the system colours (clBtnFace, clWindow, cl3DDkShadow ...). Case-insensitive.
std::optional<TColor> ColorFromIdent(std::string_view name);
// The cl* name of a colour value, or "" when it has none.
std::string ColorToIdent(TColor color);

class TPropertyTable {
public:
    // A setter answers nullopt when it took the value, else the error text.
    using Setter = std::function<std::optional<std::string>(const TSkinValue& value)>;
    // The current value in skin syntax.
    using Getter = std::function<std::string()>;

    // A property of any type. A later entry of the same name replaces the earlier.
    void Add(std::string_view name, Setter setter, Getter getter = {});

    void AddInt(std::string_view name, std::function<int()> get, std::function<void(int)> set);
    // True/False (any case), or an integer (0 is False).
    void AddBool(std::string_view name, std::function<bool()> get, std::function<void(bool)> set);
    void AddString(std::string_view name, std::function<std::string()> get, std::function<void(const std::string&)> set);
    // A list of strings: "( 'a' 'b' )"; a single string is a list of one.
    void AddStrings(std::string_view name, std::function<std::vector<std::string>()> get,
                    std::function<void(const std::vector<std::string>&)> set);
    // An integer (the 32-bit pattern, so $FF000005 is a system colour) or a cl* name.
    void AddColor(std::string_view name, std::function<TColor()> get, std::function<void(TColor)> set);
    // An identifier out of `names`; the value passed is its position in `names`.
    void AddEnum(std::string_view name, std::vector<std::string> names, std::function<int()> get,
                 std::function<void(int)> set);
    // A set of identifiers out of `names` (at most 32); bit i stands for names[i].
    void AddSet(std::string_view name, std::vector<std::string> names, std::function<std::uint32_t()> get,
                std::function<void(std::uint32_t)> set);
    // Every entry of `sub` as prefix + "." + its name.
    void AddObject(std::string_view prefix, const TPropertyTable& sub);

    bool Has(std::string_view name) const;
    // The current value as text, or nullopt when the property is unknown or has no getter.
    std::optional<std::string> Get(std::string_view name) const;
    // Names in the order they were first added.
    std::vector<std::string> Names() const;

    // Named colours beyond the cl* identifiers (a style's color_setting.ini).
    using ColorLookup = std::function<std::optional<TColor>(std::string_view name)>;

    // Sets the property. An identifier given to a colour property that is no cl*
    // name is looked up in `namedColors` when that is set.
    TApplyOutcome Apply(std::string_view name, const TSkinValue& value, const ColorLookup& namedColors = {}) const;

    // The control class the table belongs to ("TRdImageButton"); skin classes that
    // name a control class apply only to controls of that class. Empty: any.
    const std::string& ClassName() const { return FClassName; }
    void SetClassName(std::string name) { FClassName = std::move(name); }

private:
    struct TEntry {
        std::string Name;
        Setter Set;
        Getter Get;
        bool IsColor = false;
    };
    const TEntry* Find(std::string_view name) const;

    std::vector<TEntry> FEntries;
    std::unordered_map<std::string, std::size_t> FIndex;  // folded name -> entry
    std::string FClassName;
};

// The skin names of a TDesignRect: StretchMode (sdmDefault, sdmStretch, sdmFill,
// sdmFrame), Left, Top, Right, Bottom. Add it with AddObject("ImageOption", ...).
TPropertyTable DesignRectProperties(TDesignRect& rect);
