#include "services/ParamText.h"

#include "public/rdcontrol/base/TextLines.h"

namespace {

// One item's text with its quotes resolved.
std::string Unquote(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    bool quoted = false;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c != '"') {
            out += c;
        } else if (quoted && i + 1 < raw.size() && raw[i + 1] == '"') {
            out += '"';
            ++i;
        } else {
            quoted = !quoted;
        }
    }
    return out;
}

void AddItem(std::string_view raw, std::vector<TParamItem>& items) {
    const std::string text = Unquote(TrimBlanks(raw));
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) return;
    items.push_back({text.substr(0, equals), text.substr(equals + 1)});
}

}  // namespace

std::vector<TParamItem> SplitParamText(std::string_view text) {
    std::vector<TParamItem> items;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;  // "" inside quotes toggles twice: still quoted
        else if (text[i] == '&' && !quoted) {
            AddItem(text.substr(start, i - start), items);
            start = i + 1;
        }
    }
    AddItem(text.substr(start), items);
    return items;
}

nlohmann::ordered_json ParamsToJson(std::string_view text) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (TParamItem& item : SplitParamText(text)) object[item.name] = std::move(item.value);
    return object;
}
