#include "public/rdcontrol/controls/form/RdFormWndList.h"

#include <algorithm>

#include "public/rdcontrol/controls/form/RdFormSkin.h"

TRdFormWndList& TRdFormWndList::For(TCustomForm& form) {
    for (int i = 0; i < form.ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TRdFormWndList*>(form.Component(i))) return *list;
    return *new TRdFormWndList(form);
}

TRdFormWndList::TRdFormWndList(TCustomForm& form) : TComponent(&form), FForm(form) {
    SetName(ComponentName);
    FForm.AddWindowListener(this);
    if (FForm.Window()) FormWindowAttached(FForm);
}

TRdFormWndList::~TRdFormWndList() {
    FHook.reset();
    FForm.RemoveWindowListener(this);
}

void TRdFormWndList::Register(TRdFormSkin* skin) {
    if (skin && std::find(FSkins.begin(), FSkins.end(), skin) == FSkins.end()) FSkins.push_back(skin);
}

void TRdFormWndList::Unregister(TRdFormSkin* skin) { std::erase(FSkins, skin); }

void TRdFormWndList::Dispatch(TSkinMessage& message) {
    // A skin may unregister (or another one register) while it handles a message.
    for (TRdFormSkin* skin : std::vector<TRdFormSkin*>(FSkins))
        if (std::find(FSkins.begin(), FSkins.end(), skin) != FSkins.end()) skin->HandleMessage(message, true);
}

void TRdFormWndList::FormWindowAttached(TCustomForm& form) {
    if (!form.Window() || !form.Window()->PlatformHandle()) return;
    FHook = FormSkinPlatform().HookWindow(form.Window()->PlatformHandle(),
                                          [this](TSkinMessage& message) { Dispatch(message); });
}

void TRdFormWndList::FormWindowDetaching(TCustomForm&) { FHook.reset(); }
