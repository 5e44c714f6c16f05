// Skin value parsing (values come from skin INI files) and applying what parses to
// a table with a property of each kind. Checks that a parsed value's canonical text
// reads back as an equal value and is stable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/skin/SkinProperties.h"
#include "public/rdcontrol/skin/SkinValue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TSkinValueParse parsed = ParseSkinValue(text);
    if (!parsed) {
        if (parsed.Error.empty()) std::abort();
        return 0;
    }
    const std::string canonical = parsed.Value->ToText();
    const TSkinValueParse again = ParseSkinValue(canonical);
    if (!again || *again.Value != *parsed.Value || again.Value->ToText() != canonical) std::abort();

    int integer = 0;
    bool flag = false;
    std::string str;
    std::vector<std::string> lines;
    TColor color = clDefault;
    int choice = 0;
    std::uint32_t bits = 0;
    TPropertyTable table;
    table.AddInt("i", [&] { return integer; }, [&](int v) { integer = v; });
    table.AddBool("b", [&] { return flag; }, [&](bool v) { flag = v; });
    table.AddString("s", [&] { return str; }, [&](const std::string& v) { str = v; });
    table.AddStrings("l", [&] { return lines; }, [&](const std::vector<std::string>& v) { lines = v; });
    table.AddColor("c", [&] { return color; }, [&](TColor v) { color = v; });
    table.AddEnum("e", {"alNone", "alTop"}, [&] { return choice; }, [&](int v) { choice = v; });
    table.AddSet("t", {"akLeft", "akTop"}, [&] { return bits; }, [&](std::uint32_t v) { bits = v; });
    for (const std::string& name : table.Names()) {
        const TApplyOutcome outcome = table.Apply(name, *parsed.Value);
        if (outcome.Result == TApplyResult::UnknownProperty) std::abort();
        if (outcome.Result == TApplyResult::InvalidValue && outcome.Error.rfind("Invalid Ident value: ", 0) != 0)
            std::abort();
        (void)table.Get(name);
    }
    return 0;
}
