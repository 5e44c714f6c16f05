#pragma once
// TPictureCollection: a named list of pictures (TPictureItem: Name and Picture), the
// Items of the image notes. A new item is named "Picture_" followed by its index.
// Listeners hear of every change of the list or of an item's picture.
//
// UI thread only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "public/rdcontrol/pictures/Picture.h"

class TPictureItem {
public:
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    TPicture& Picture() { return FPicture; }
    int Index() const { return FIndex; }

private:
    friend class TPictureCollection;
    std::string FName;
    TPicture FPicture;
    int FIndex = 0;
};

class TPictureCollection {
public:
    using TListener = std::function<void()>;

    TPictureCollection() = default;
    TPictureCollection(const TPictureCollection&) = delete;
    TPictureCollection& operator=(const TPictureCollection&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    TPictureItem& Items(int index) { return *FItems[static_cast<std::size_t>(index)]; }
    TPictureItem& Add();
    // Adds an item holding graphic (not shared: the picture takes its own clone).
    TPictureItem& Add(const TRdGraphic* graphic, const std::string& name = {});
    void Delete(int index);
    void Clear();
    // The first item of that name (exact), or -1.
    int IndexOf(const std::string& name) const;

    // Listeners, by a key of the caller's choosing (one per key).
    void AddListener(const void* key, TListener listener);
    void RemoveListener(const void* key);

private:
    void Changed();
    std::vector<std::unique_ptr<TPictureItem>> FItems;
    std::vector<std::pair<const void*, TListener>> FListeners;
};
