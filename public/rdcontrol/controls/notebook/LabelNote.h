#pragma once
// TLabelNote: a plain label with a list of named texts (TLabelItem: Text, Name),
// showing the one TextIndex selects. TextIndex i within 0..Count-1 stores i and
// sets the caption to Items[i].Text; other values change nothing. NameIndex selects
// the first item whose Name equals the given one exactly (letter case counts); an
// unknown name changes nothing; it reads '' while TextIndex is -1.
//
// UI thread only.
#include <string>
#include <vector>

#include "public/rdcontrol/framework/StdControls.h"

struct TLabelItem {
    std::string Text;
    std::string Name;
};

class TLabelNote : public TLabel {
public:
    explicit TLabelNote(TComponent* owner) : TLabel(owner) {}

    std::vector<TLabelItem>& Items() { return FItems; }
    int TextIndex() const { return FTextIndex; }
    void SetTextIndex(int index);
    std::string NameIndex() const;
    void SetNameIndex(const std::string& name);

protected:
    void PublishProperties(TPropertyTable& table) override;

private:
    std::vector<TLabelItem> FItems;
    int FTextIndex = -1;
};
