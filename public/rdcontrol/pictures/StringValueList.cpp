#include "public/rdcontrol/pictures/StringValueList.h"

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"

int TStringListEx::IndexOf(std::string_view s) const {
    for (std::size_t i = 0; i < FLines.size(); ++i)
        if (SameTextNoCase(FLines[i], s)) return static_cast<int>(i);
    return -1;
}

int TStringListEx::Add(std::string line) {
    FLines.push_back(std::move(line));
    return Count() - 1;
}

void TStringListEx::Insert(int index, std::string line) {
    if (index < 0) index = 0;
    if (index > Count()) index = Count();
    FLines.insert(FLines.begin() + index, std::move(line));
}

void TStringListEx::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    FLines.erase(FLines.begin() + index);
}

std::string TStringListEx::Text() const {
    std::string out;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        if (i) out += "\r\n";
        out += FLines[i];
    }
    return out;
}

void TStringListEx::SetText(std::string_view text) {
    FLines.clear();
    for (std::string_view line : SplitLines(text)) FLines.emplace_back(line);
}

std::string TStringValueList::Names(int index) const {
    const std::string& line = Strings(index);
    return line.substr(0, line.find('='));
}

std::string TStringValueList::ValueFromIndex(int index) const {
    const std::string& line = Strings(index);
    const std::size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

int TStringValueList::IndexOfName(std::string_view name) const {
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const std::string_view line = FLines[i];
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos && SameTextNoCase(line.substr(0, eq), name)) return static_cast<int>(i);
    }
    return -1;
}

std::string TStringValueList::Value(std::string_view name) const {
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

void TStringValueList::SetValue(std::string_view name, std::string_view value) {
    const int index = IndexOfName(name);
    if (value.empty()) {
        Delete(index);
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (index < 0)
        Add(std::move(line));
    else
        SetStrings(index, std::move(line));
}
