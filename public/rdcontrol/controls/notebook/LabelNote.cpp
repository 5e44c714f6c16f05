#include "public/rdcontrol/controls/notebook/LabelNote.h"

void TLabelNote::SetTextIndex(int index) {
    if (index < 0 || index >= static_cast<int>(FItems.size())) return;
    FTextIndex = index;
    SetCaption(FItems[static_cast<std::size_t>(index)].Text);
}

std::string TLabelNote::NameIndex() const {
    if (FTextIndex < 0 || FTextIndex >= static_cast<int>(FItems.size())) return {};
    return FItems[static_cast<std::size_t>(FTextIndex)].Name;
}

void TLabelNote::SetNameIndex(const std::string& name) {
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Name == name) {
            SetTextIndex(static_cast<int>(i));
            return;
        }
}

void TLabelNote::PublishProperties(TPropertyTable& table) {
    TLabel::PublishProperties(table);
    table.SetClassName("TLabelNote");
    table.AddInt("TextIndex", [this] { return FTextIndex; }, [this](int v) { SetTextIndex(v); });
    table.AddString("NameIndex", [this] { return NameIndex(); }, [this](const std::string& v) { SetNameIndex(v); });
}
