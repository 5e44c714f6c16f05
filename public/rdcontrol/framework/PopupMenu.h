#pragma once
// TPopupMenu: a list of menu items (caption, name, OnClick) shown by the platform
// where the owner asks (the tray icon shows it at the cursor). A caption "-" is a
// separator. The menu itself is portable data; the platform draws and tracks it.
//
// UI thread only.
#include <functional>
#include <string>
#include <vector>

#include "public/rdcontrol/framework/Component.h"

class TPopupMenu;

struct TMenuItem {
    std::string Caption;
    std::string Name;
    bool Enabled = true;
    std::function<void(TMenuItem& item)> OnClick;
};

class TPopupMenu : public TComponent {
public:
    using TComponent::TComponent;
    std::vector<TMenuItem>& Items() { return FItems; }
    TMenuItem& Add(const std::string& caption, std::function<void(TMenuItem&)> onClick = {}) {
        FItems.push_back(TMenuItem{caption, {}, true, std::move(onClick)});
        return FItems.back();
    }
    // The user chose item index (from the platform's tracking); -1: nothing.
    void Choose(int index) {
        if (index < 0 || index >= static_cast<int>(FItems.size())) return;
        TMenuItem& item = FItems[static_cast<std::size_t>(index)];
        if (!item.Enabled) return;
        if (const auto handler = item.OnClick) handler(item);
    }
    std::function<void(TPopupMenu* sender)> OnPopup;

private:
    std::vector<TMenuItem> FItems;
};
