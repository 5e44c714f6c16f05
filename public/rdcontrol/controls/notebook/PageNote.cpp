#include "public/rdcontrol/controls/notebook/PageNote.h"

#include <algorithm>

// --- TPageTab -----------------------------------------------------------------------

TPageTab::TPageTab(TComponent* owner) : TRdPanel(owner) {
    // Pages show what lies under them; a skinned window paints its background below.
    SetColor(clNone);
    SetAlign(alClient);
    SetVisible(false);
}

TPageTab::~TPageTab() {
    BeginDestroy();
    if (FNote) FNote->RemovePage(this);
}

int TPageTab::PageIndex() const {
    if (!FNote) return -1;
    auto it = std::find(FNote->FPages.begin(), FNote->FPages.end(), this);
    return it == FNote->FPages.end() ? -1 : static_cast<int>(it - FNote->FPages.begin());
}

void TPageTab::SetParent(TWinControl* parent) {
    if (FNote && parent != FNote) FNote->RemovePage(this);
    TRdPanel::SetParent(parent);
}

bool TPageTab::HitTestAt(int x, int y) const {
    // Transparent to the mouse unless the notebook edits its pages; the controls on
    // the page are found all the same.
    if (FNote && !FNote->EditTabs()) return false;
    return TRdPanel::HitTestAt(x, y);
}

void TPageTab::PublishProperties(TPropertyTable& table) {
    TRdPanel::PublishProperties(table);
    table.AddString("TabName", [this] { return FTabName; }, [this](const std::string& v) { SetTabName(v); });
}

// --- TPageNote --------------------------------------------------------------------------

TPageNote::TPageNote(TComponent* owner) : TRdCustomControl(owner) {
    SetBounds(0, 0, 300, 200);
    SetColor(clNone);
}

TPageNote::~TPageNote() {
    BeginDestroy();
    for (TPageTab* page : FPages) page->FNote = nullptr;
}

void TPageNote::ControlInserted(TControl* control) {
    if (auto* page = dynamic_cast<TPageTab*>(control)) {
        AddPage(page);
        return;
    }
    // Anything else belongs on the page that is shown.
    if (TPageTab* active = ActivePage()) control->SetParent(active);
}

void TPageNote::AddPage(TPageTab* page) {
    if (std::find(FPages.begin(), FPages.end(), page) != FPages.end()) return;
    page->FNote = this;
    FPages.push_back(page);
}

void TPageNote::RemovePage(TPageTab* page) {
    auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end()) return;
    const int index = static_cast<int>(it - FPages.begin());
    FPages.erase(it);
    page->FNote = nullptr;
    if (index == FTabIndex) FTabIndex = -1;
    else if (index < FTabIndex) --FTabIndex;
}

void TPageNote::SetTabIndex(int index) {
    if (index < 0 || index >= TabCount() || index == FTabIndex) return;
    TPageTab* next = FPages[static_cast<std::size_t>(index)];
    TPageTab* previous = ActivePage();
    next->SetVisible(true);
    next->BringToFront();
    if (previous) previous->SetVisible(false);
    FTabIndex = index;
    if (OnChange) OnChange(this);
}

void TPageNote::SetActivePage(TPageTab* page) {
    auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end()) return;
    SetTabIndex(static_cast<int>(it - FPages.begin()));
}

void TPageNote::ShowControl(TControl* control) {
    for (TControl* c = control; c; c = c->Parent())
        if (auto* page = dynamic_cast<TPageTab*>(c); page && page->FNote == this) {
            SetActivePage(page);
            break;
        }
    TRdCustomControl::ShowControl(control);
}

bool TPageNote::HitTestAt(int x, int y) const {
    // The notebook is only a frame for its pages: where they let the mouse through,
    // so does it.
    return FEditTabs && TRdCustomControl::HitTestAt(x, y);
}

void TPageNote::PublishProperties(TPropertyTable& table) {
    TRdCustomControl::PublishProperties(table);
    table.SetClassName("TPageNote");
    table.AddInt("TabIndex", [this] { return FTabIndex; }, [this](int v) { SetTabIndex(v); });
    table.AddBool("EditTabs", [this] { return FEditTabs; }, [this](bool v) { SetEditTabs(v); });
}
