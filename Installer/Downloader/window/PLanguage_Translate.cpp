// TLanguage::TranslateForm: the form's texts into its controls, by name and class.
#include "Installer/Downloader/flow/PLanguage.h"

#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"
#include "public/rdcontrol/controls/input/RdComboBox.h"
#include "public/rdcontrol/controls/label/RdLabel.h"
#include "public/rdcontrol/controls/notebook/ImageNote.h"
#include "public/rdcontrol/controls/notebook/LabelNote.h"
#include "public/rdcontrol/framework/Form.h"

void TLanguage::TranslateForm(TComponent& form) const {
    if (form.Name().empty()) return;
    const std::string section = FPrefix + "_" + form.Name();
    auto read = [&](const std::string& key, const std::string& current) {
        return FIni.ReadString(section, key, current);
    };
    if (auto* f = dynamic_cast<TCustomForm*>(&form)) f->SetCaption(read(form.Name() + ".Caption", f->Caption()));
    for (int index = 0; index < form.ComponentCount(); ++index) {
        TComponent* c = form.Component(index);
        const std::string& name = c->Name();
        if (name.empty()) continue;
        if (auto* notes = dynamic_cast<TLabelNote*>(c)) {
            auto& items = notes->Items();
            for (size_t i = 0; i < items.size(); ++i)
                items[i].Text = read(name + ".Items[" + std::to_string(i) + "].Caption", items[i].Text);
        } else if (auto* images = dynamic_cast<TImageNote*>(c)) {
            if (images->ShowHint()) images->SetHint(read(name + ".Hint", images->Hint()));
        } else if (auto* combo = dynamic_cast<TRdComboBox*>(c)) {
            std::vector<std::string> items = combo->Items();
            const int selected = combo->ItemIndex();
            for (size_t i = 0; i < items.size(); ++i)
                items[i] = read(name + ".Items[" + std::to_string(i) + "].Caption", items[i]);
            combo->SetItems(items);
            combo->SetItemIndex(selected);
            combo->Invalidate();
        } else if (auto* button = dynamic_cast<TRdImageButton*>(c)) {
            button->SetCaption(read(name + ".Caption", button->Caption()));
            if (button->ShowHint()) button->SetHint(read(name + ".Hint", button->Hint()));
        } else if (auto* label = dynamic_cast<TRdCustomLabel*>(c)) {
            label->SetCaption(read(name + ".Caption", label->Caption()));
        } else if (auto* plain = dynamic_cast<TLabel*>(c)) {
            plain->SetCaption(read(name + ".Caption", plain->Caption()));
        }
    }
}
