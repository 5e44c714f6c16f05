#pragma once
// TRdComboBoxList: the list inside the combo box's pop-up window: an owner-drawn
// list of fixed-height rows with one selected item, behaving as the platform's
// list does (the combo box adds hot tracking and choosing on top):
// - TopIndex is the first row shown, kept within [0, count - rows shown];
//   ItemIndex is the selected row (-1: none); setting either by program reports
//   nothing;
// - a left click on a row selects it and, on release over the list, reports the
//   selection (OnUserSelect), whether or not it changed;
// - Up, Down, Home, End, Page Up and Page Down move the selection (scrolling it
//   into view) and report it; a letter selects the next row starting with it;
// - the wheel scrolls three rows per notch;
// - it reports its standard vertical scroll information (minimum 0, maximum
//   count - 1, page = rows shown, position = TopIndex; the platform's own bar would
//   show only when not every row fits), and paints nothing of a bar itself;
// - the background is erased with Color; right button and context menu do nothing.
// Rows are painted by OnDrawItem (the combo box's item rules); without it only the
// background is erased.
//
// UI thread only.
#include <functional>
#include <string>
#include <vector>

#include "public/rdcontrol/controls/input/RdScrollBarEx.h"

class TRdComboBoxList : public TWinControl, public TScrollInfoSource {
public:
    using TDrawItemEvent =
        std::function<void(TControl* sender, TRdCanvas& canvas, int index, const TRect& rect, bool selected)>;

    explicit TRdComboBoxList(TComponent* owner);

    const std::vector<std::string>& Items() const { return FItems; }
    void SetItems(std::vector<std::string> items);
    int Count() const { return static_cast<int>(FItems.size()); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int index);
    int TopIndex() const { return FTopIndex; }
    void SetTopIndex(int index);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int h);
    // Whole rows that fit the client height (at least 1).
    int VisibleRows() const;
    // The row under a point (client coordinates), -1 where there is none.
    int ItemAtPos(int x, int y) const;
    TRect ItemRect(int index) const;
    // Scrolls so that index is shown.
    void MakeVisible(int index);

    TScrollInfo ScrollInfo(TScrollBarKind kind) const override;
    // Three rows per notch of 120.
    bool MouseWheel(TShiftState shift, int delta, int x, int y) override;

    TDrawItemEvent OnDrawItem;
    // The user chose a row (click or key); ItemIndex tells which.
    TNotifyEvent OnUserSelect;
    // TopIndex changed (scrolling of any kind); the list was painted (its size or
    // items may have changed the scroll information).
    TNotifyEvent OnScrolled, OnPainted;

protected:
    void Paint(TRdCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(int& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void Resize() override;

private:
    void UserMove(int index);
    int MaxTop() const;

    std::vector<std::string> FItems;
    int FItemIndex = -1;
    int FTopIndex = 0;
    int FItemHeight = 16;
    bool FPressed = false;
    int FWheelRemainder = 0;
};
