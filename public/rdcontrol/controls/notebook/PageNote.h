#pragma once
// TPageNote and TPageTab: a notebook without tabs. Exactly one page is shown at a
// time; the installer window switches between its pages with it.
//
// Pages join the notebook when they are placed in it (SetParent) and leave when
// they are taken out or freed; a new notebook has TabIndex -1 and adding pages
// selects none. Setting TabIndex to a valid index other than the current one shows
// that page, brings it to the front, hides the page shown before, then stores the
// index (in that order, as handlers see it) and raises OnChange; any other value
// changes nothing (no flicker, no events). ActivePage selects a page by itself (a
// page of another notebook is ignored). A control focused on a hidden page brings
// its page forward (ShowControl). Any other control placed directly on the
// notebook moves onto the active page.
//
// EditTabs false (the default): the empty parts of the pages let the mouse through
// to what lies beneath (a draggable window background, for example); controls on
// the pages still get it. True: pages take the mouse like panels.
//
// OnChange is our addition (after a page switch). UI thread only.
#include <string>
#include <vector>

#include "public/rdcontrol/framework/RdControls.h"

class TPageNote;

class TPageTab : public TRdPanel {
public:
    explicit TPageTab(TComponent* owner);
    ~TPageTab() override;
    const std::string& TabName() const { return FTabName; }
    void SetTabName(const std::string& name) { FTabName = name; }
    // The notebook the page belongs to, nullptr when none.
    TPageNote* PageNote() const { return FNote; }
    int PageIndex() const;

    void SetParent(TWinControl* parent) override;
    bool HitTestAt(int x, int y) const override;

protected:
    void PublishProperties(TPropertyTable& table) override;

private:
    friend class TPageNote;
    TPageNote* FNote = nullptr;
    std::string FTabName;
};

class TPageNote : public TRdCustomControl {
public:
    explicit TPageNote(TComponent* owner);
    ~TPageNote() override;

    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int index);
    int TabCount() const { return static_cast<int>(FPages.size()); }
    TPageTab* Pages(int index) const { return FPages[static_cast<std::size_t>(index)]; }
    TPageTab* ActivePage() const { return FTabIndex >= 0 ? FPages[static_cast<std::size_t>(FTabIndex)] : nullptr; }
    void SetActivePage(TPageTab* page);
    bool EditTabs() const { return FEditTabs; }
    void SetEditTabs(bool v) { FEditTabs = v; }

    void ShowControl(TControl* control) override;
    bool HitTestAt(int x, int y) const override;
    TNotifyEvent OnChange;

protected:
    void ControlInserted(TControl* control) override;
    void PublishProperties(TPropertyTable& table) override;

private:
    friend class TPageTab;
    void AddPage(TPageTab* page);
    void RemovePage(TPageTab* page);

    std::vector<TPageTab*> FPages;
    int FTabIndex = -1;
    bool FEditTabs = false;
};
