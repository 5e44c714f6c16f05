#pragma once
// Parameter texts of the form posts: name=value items joined by "&", as callers
// write them ("app=zyr3color&lan=en&show=1&light=1").
//
// Splitting: at every "&" outside double quotes. Blanks around an item are dropped;
// blanks inside it belong to it, so "city=New York&x=1" keeps "New York" whole (the
// API's older clients also split at spaces, which cut such a value in two). A pair
// of double quotes groups what is between them, "&" included, and is removed; two
// quotes inside a quoted part stand for one. An item is a name, the first "=", and
// the value; an item without "=" or with an empty name is not a name=value item and
// is skipped. Pure; any thread.
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

struct TParamItem {
    std::string name, value;
};

std::vector<TParamItem> SplitParamText(std::string_view text);

// The items as a JSON object of string members in their order. A name given twice
// keeps its first place and takes its last value (an object has each name once).
nlohmann::ordered_json ParamsToJson(std::string_view text);
