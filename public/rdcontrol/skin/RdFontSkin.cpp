#include "public/rdcontrol/skin/RdFontSkin.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

class TFontSkin final : public TRdFontSkinSlot {
public:
    explicit TFontSkin(TRdFont& font)
        : FTable(FontProperties(font)), FSkin([this]() -> TPropertyTable& { return FTable; }) {
        FTable.SetClassName("TRdFont");
    }
    TRdSkinClass& Skin() { return FSkin; }

private:
    TPropertyTable FTable;
    TRdSkinClass FSkin;  // after the table it applies to
};

}  // namespace

TPropertyTable FontProperties(TRdFont& f) {
    TPropertyTable t;
    t.AddString("Name", [&f] { return f.Name(); }, [&f](const std::string& v) { f.SetName(v); });
    t.AddInt("Height", [&f] { return f.Height(); }, [&f](int v) { f.SetHeight(v); });
    t.AddInt("Size", [&f] { return f.Size(); }, [&f](int v) { f.SetSize(v); });
    t.AddInt("Charset", [&f] { return f.Charset(); }, [&f](int v) { f.SetCharset(v); });
    t.AddColor("Color", [&f] { return f.Color(); }, [&f](TColor v) { f.SetColor(v); });
    t.AddBool("Antialiased", [&f] { return f.Antialiased(); }, [&f](bool v) { f.SetAntialiased(v); });
    t.AddInt("Alpha", [&f] { return int(f.Alpha()); },
             [&f](int v) { f.SetAlpha(static_cast<std::uint8_t>(std::clamp(v, 0, 255))); });
    t.AddSet("Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, [&f] { return f.Style(); },
             [&f](std::uint32_t v) { f.SetStyle(v); });
    return t;
}

TRdSkinClass& FontAllSkin(TRdFont& font) {
    auto* slot = dynamic_cast<TFontSkin*>(font.SkinSlot());
    if (!slot) {
        auto made = std::make_unique<TFontSkin>(font);
        slot = made.get();
        font.SetSkinSlot(std::move(made));
    }
    return slot->Skin();
}
