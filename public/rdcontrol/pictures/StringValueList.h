#pragma once
// TStringListEx: a plain list of UTF-8 lines, and TStringValueList: a list of
// "name=value" lines looked up by name without regard to case (the form of RDG
// descriptors and of the PNG "RDPNG" text).
//
// Text() joins the lines with CR LF; SetText splits on CR LF, LF or CR (a final
// line break adds no empty line). Plain values; not thread-safe.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TStringListEx {
public:
    TStringListEx() = default;
    explicit TStringListEx(std::vector<std::string> lines) : FLines(std::move(lines)) {}

    int Count() const { return static_cast<int>(FLines.size()); }
    // index must be in 0..Count()-1.
    const std::string& Strings(int index) const { return FLines[static_cast<std::size_t>(index)]; }
    void SetStrings(int index, std::string line) { FLines[static_cast<std::size_t>(index)] = std::move(line); }
    const std::vector<std::string>& Lines() const { return FLines; }

    // First line equal to s without regard to case; -1 when there is none.
    int IndexOf(std::string_view s) const;
    // Appends; returns the new line's index.
    int Add(std::string line);
    void Insert(int index, std::string line);
    // An index outside the list does nothing.
    void Delete(int index);
    void Clear() { FLines.clear(); }

    std::string Text() const;
    void SetText(std::string_view text);

    bool operator==(const TStringListEx&) const = default;

protected:
    std::vector<std::string> FLines;
};

class TStringValueList : public TStringListEx {
public:
    using TStringListEx::TStringListEx;

    // The text before the first "=" of line index (the whole line without one).
    std::string Names(int index) const;
    // The text after the first "=" of line index ("" without one).
    std::string ValueFromIndex(int index) const;

    // First line named name (case-insensitive); -1 when there is none.
    int IndexOfName(std::string_view name) const;
    // The value of the first line named name, "" when there is none.
    std::string Value(std::string_view name) const;
    // Replaces the value of the first line named name, or appends "name=value".
    // An empty value removes that line instead.
    void SetValue(std::string_view name, std::string_view value);
};
