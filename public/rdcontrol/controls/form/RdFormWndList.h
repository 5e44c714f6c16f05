#pragma once
// TRdFormWndList: the message list of a top-level form, for the skins of controls
// inside it (TRdFormSkin on a control that is not itself the form). A component
// named "RdFormWndList", made on demand and owned by the form; it hooks the form's
// window once (as soon as the window exists) and passes every message to each
// registered skin, before and after the window procedure that was there. Unhooked
// when the window goes or the list is freed.
//
// UI thread only.
#include <memory>
#include <vector>

#include "public/rdcontrol/controls/form/FormSkinPlatform.h"
#include "public/rdcontrol/framework/Form.h"

class TRdFormSkin;

class TRdFormWndList : public TComponent, private TFormWindowListener {
public:
    static constexpr const char* ComponentName = "RdFormWndList";

    // form's list, made when it has none.
    static TRdFormWndList& For(TCustomForm& form);
    ~TRdFormWndList() override;

    void Register(TRdFormSkin* skin);
    void Unregister(TRdFormSkin* skin);
    const std::vector<TRdFormSkin*>& Skins() const { return FSkins; }
    // The form's window is hooked now.
    bool Hooked() const { return FHook != nullptr; }

private:
    explicit TRdFormWndList(TCustomForm& form);
    void Dispatch(TSkinMessage& message);
    void FormWindowAttached(TCustomForm& form) override;
    void FormWindowDetaching(TCustomForm& form) override;

    TCustomForm& FForm;
    std::vector<TRdFormSkin*> FSkins;
    std::unique_ptr<TWindowHook> FHook;
};
