#pragma once
// TSkinValue: one property value written in the text syntax of a form description,
// as skin INI files carry them ("Font.Color = clRed", "Caption = 'a'#13#10'b'").
//
// Syntax (blanks, tabs and line breaks may stand between tokens):
//   integer      123  -45  +7  $FF  -$10          (64-bit; overflow is an error)
//   float        1.5  -0.25  2.5e-3  1E6          (a digit on both sides of ".")
//   string       'it''s'  #65  #$41  'a'#13#10'b'  'ab' + 'cd'
//                pieces are concatenated; '' is a quote; # + a decimal (or $hex)
//                code gives that Unicode character as UTF-8 (surrogates and codes
//                above $10FFFF are errors); text inside quotes is taken as it is
//   identifier   True  clNone  alClient  Form1.Button1
//   set          [akLeft, akTop]  []              (identifiers only)
//   list         ( 'a' 'b' 12 )                   (integers, floats, strings, identifiers)
//   binary       { 0A1B ff }                      (hex digit pairs)
//   collection   < item Caption = 'x' Width = 3 end item end >
// Nesting (lists, collections) is limited to kSkinValueMaxDepth levels.
//
// Parse never throws and never crashes on malformed text: the text comes from skin
// files, which are outside input. ToText gives the canonical form of a value in the
// same syntax; Parse(ToText(v)) gives back a value equal to v.
//
// A plain value type; any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kSkinValueMaxDepth = 32;

enum class TSkinValueKind : std::uint8_t { Integer, Float, String, Ident, Set, List, Binary, Collection };

struct TSkinCollectionItem;

class TSkinValue {
public:
    static TSkinValue Integer(std::int64_t value);
    static TSkinValue Float(double value);
    static TSkinValue String(std::string utf8);
    static TSkinValue Ident(std::string name);
    static TSkinValue Set(std::vector<std::string> elements);
    static TSkinValue List(std::vector<TSkinValue> items);
    static TSkinValue Binary(std::string bytes);
    static TSkinValue Collection(std::vector<TSkinCollectionItem> items);

    TSkinValueKind Kind() const { return FKind; }
    bool IsIdent() const { return FKind == TSkinValueKind::Ident; }

    // Each accessor is meaningful for its own kind only (others give 0 / empty).
    std::int64_t AsInteger() const { return FInteger; }
    double AsFloat() const { return FFloat; }
    // String: the text; Ident: the name; Binary: the bytes.
    const std::string& Text() const { return FText; }
    const std::vector<std::string>& Elements() const { return FElements; }
    const std::vector<TSkinValue>& Items() const { return FItems; }
    const std::vector<TSkinCollectionItem>& CollectionItems() const { return FCollection; }

    std::string ToText() const;

    friend bool operator==(const TSkinValue& a, const TSkinValue& b);
    friend bool operator!=(const TSkinValue& a, const TSkinValue& b) { return !(a == b); }

private:
    TSkinValueKind FKind = TSkinValueKind::Integer;
    std::int64_t FInteger = 0;
    double FFloat = 0;
    std::string FText;
    std::vector<std::string> FElements;
    std::vector<TSkinValue> FItems;
    std::vector<TSkinCollectionItem> FCollection;
};

// One "name = value" line inside a collection item.
struct TSkinItemProperty {
    std::string Name;
    TSkinValue Value;
    friend bool operator==(const TSkinItemProperty&, const TSkinItemProperty&) = default;
};

struct TSkinCollectionItem {
    std::vector<TSkinItemProperty> Properties;
    friend bool operator==(const TSkinCollectionItem&, const TSkinCollectionItem&) = default;
};

// The outcome of parsing: a value, or an error text naming what was expected and
// where ("expected ']' at offset 7").
struct TSkinValueParse {
    std::optional<TSkinValue> Value;
    std::string Error;
    explicit operator bool() const { return Value.has_value(); }
};

TSkinValueParse ParseSkinValue(std::string_view text);
