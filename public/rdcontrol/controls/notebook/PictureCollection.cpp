#include "public/rdcontrol/controls/notebook/PictureCollection.h"

#include <algorithm>

TPictureItem& TPictureCollection::Add() {
    auto item = std::make_unique<TPictureItem>();
    item->FIndex = Count();
    item->FName = "Picture_" + std::to_string(item->FIndex);
    item->FPicture.OnChange = [this](TPicture*) { Changed(); };
    FItems.push_back(std::move(item));
    Changed();
    return *FItems.back();
}

TPictureItem& TPictureCollection::Add(const TRdGraphic* graphic, const std::string& name) {
    TPictureItem& item = Add();
    if (!name.empty()) item.FName = name;
    item.FPicture.Assign(graphic);
    return item;
}

void TPictureCollection::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    FItems.erase(FItems.begin() + index);
    for (int i = 0; i < Count(); ++i) FItems[static_cast<std::size_t>(i)]->FIndex = i;
    Changed();
}

void TPictureCollection::Clear() {
    if (FItems.empty()) return;
    FItems.clear();
    Changed();
}

int TPictureCollection::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->FName == name) return static_cast<int>(i);
    return -1;
}

void TPictureCollection::AddListener(const void* key, TListener listener) {
    RemoveListener(key);
    FListeners.emplace_back(key, std::move(listener));
}

void TPictureCollection::RemoveListener(const void* key) {
    std::erase_if(FListeners, [key](const auto& l) { return l.first == key; });
}

void TPictureCollection::Changed() {
    // A listener may remove itself.
    for (const auto& [key, listener] : std::vector(FListeners))
        if (std::any_of(FListeners.begin(), FListeners.end(), [k = key](const auto& l) { return l.first == k; }))
            listener();
}
