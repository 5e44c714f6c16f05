#include "public/rdcontrol/framework/SkinPictures.h"

#include <string>

TSkinPictureSource::TSkinPictureSource(TRdSkinClass& skin)
    : FSkin(skin), FCache([&skin](const std::string& path) { return skin.ReadFile(path); }) {
    FSkin.AddApplyListener(this);
}

TSkinPictureSource::~TSkinPictureSource() { FSkin.RemoveApplyListener(this); }

bool TSkinPictureSource::OwnPicture(const TSlot& slot) const {
    return !slot.Picture->Empty() && slot.FromSkin.lock() != slot.Picture->Graphic();
}

void TSkinPictureSource::Add(TPropertyTable& table, std::string_view name, TPicture& picture) {
    // A table rebuilt for the same picture replaces its entry; the slot stays one.
    TSlot* slot = nullptr;
    for (const auto& s : FSlots)
        if (s->Picture == &picture) slot = s.get();
    if (!slot) slot = FSlots.emplace_back(std::make_unique<TSlot>(TSlot{{}, &picture, {}, false})).get();
    slot->Property = std::string(name) + ".Text";
    table.AddStrings(
        slot->Property, [slot] { return slot->Picture->Text(); },
        [this, slot](const std::vector<std::string>& lines) {
            slot->Supplied = true;
            if (OwnPicture(*slot) && !FSkin.ForceUseSkinPic()) return;
            slot->Picture->SetResolver(Resolver());
            slot->Picture->SetText(lines);
            slot->FromSkin = slot->Picture->Graphic();
        });
}

void TSkinPictureSource::SkinApplyStarted(TRdSkinClass&) {
    for (const auto& slot : FSlots) slot->Supplied = false;
}

void TSkinPictureSource::SkinApplyEnded(TRdSkinClass& sender, bool applied) {
    if (!applied || !sender.ClearOwnerPic()) return;
    for (const auto& slot : FSlots)
        if (!slot->Supplied && slot->Picture->Graphic() && !sender.IsIgnored(slot->Property)) slot->Picture->Clear();
}

void AddPictureProperty(TPropertyTable& table, std::string_view name, TPicture& picture,
                        TSkinPictureSource& source) {
    source.Add(table, name, picture);
}
