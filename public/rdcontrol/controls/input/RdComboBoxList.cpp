#include "public/rdcontrol/controls/input/RdComboBoxList.h"

#include <algorithm>

namespace {
enum : int { vkPrior = 33, vkNext = 34, vkEnd = 35, vkHome = 36, vkUp = 38, vkDown = 40 };
constexpr int kWheelDelta = 120;
constexpr int kWheelRows = 3;

char32_t FoldAscii(char32_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

// The first code point of a UTF-8 string (0 for an empty or broken one).
char32_t FirstCodePoint(const std::string& s) {
    if (s.empty()) return 0;
    const auto b = static_cast<unsigned char>(s[0]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : extra == 1 ? b & 0x1F : b;
    if (static_cast<int>(s.size()) <= extra) return 0;
    for (int i = 1; i <= extra; ++i) c = (c << 6) | (static_cast<unsigned char>(s[static_cast<std::size_t>(i)]) & 0x3F);
    return c;
}
}  // namespace

TRdComboBoxList::TRdComboBoxList(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

void TRdComboBoxList::SetItems(std::vector<std::string> items) {
    FItems = std::move(items);
    if (FItemIndex >= Count()) FItemIndex = -1;
    FTopIndex = std::clamp(FTopIndex, 0, MaxTop());
    Invalidate();
}

void TRdComboBoxList::SetItemIndex(int index) {
    if (index < -1 || index >= Count()) index = -1;
    if (index == FItemIndex) return;
    FItemIndex = index;
    Invalidate();
}

int TRdComboBoxList::MaxTop() const { return std::max(0, Count() - VisibleRows()); }

void TRdComboBoxList::SetTopIndex(int index) {
    index = std::clamp(index, 0, MaxTop());
    if (index == FTopIndex) return;
    FTopIndex = index;
    Invalidate();
    if (OnScrolled) OnScrolled(this);
}

void TRdComboBoxList::SetItemHeight(int h) {
    h = std::max(1, h);
    if (h == FItemHeight) return;
    FItemHeight = h;
    FTopIndex = std::clamp(FTopIndex, 0, MaxTop());
    Invalidate();
}

int TRdComboBoxList::VisibleRows() const { return std::max(1, ClientHeight() / FItemHeight); }

int TRdComboBoxList::ItemAtPos(int x, int y) const {
    if (x < 0 || x >= ClientWidth() || y < 0 || y >= ClientHeight()) return -1;
    const int index = FTopIndex + y / FItemHeight;
    return index < Count() ? index : -1;
}

TRect TRdComboBoxList::ItemRect(int index) const {
    return TRect::FromSize(0, (index - FTopIndex) * FItemHeight, ClientWidth(), FItemHeight);
}

void TRdComboBoxList::MakeVisible(int index) {
    if (index < 0) return;
    if (index < FTopIndex)
        SetTopIndex(index);
    else if (index >= FTopIndex + VisibleRows())
        SetTopIndex(index - VisibleRows() + 1);
}

TScrollInfo TRdComboBoxList::ScrollInfo(TScrollBarKind kind) const {
    TScrollInfo info;
    if (kind != sbVertical) return info;
    info.Min = 0;
    info.Max = std::max(0, Count() - 1);
    info.Page = VisibleRows();
    info.Pos = FTopIndex;
    info.Visible = Count() > VisibleRows();
    return info;
}

void TRdComboBoxList::Resize() {
    TWinControl::Resize();
    FTopIndex = std::clamp(FTopIndex, 0, MaxTop());
    Invalidate();
}

void TRdComboBoxList::Paint(TRdCanvas& canvas) {
    canvas.FillRect(ClientRect(), Color());
    const int rows = ClientHeight() / FItemHeight + 1;
    for (int i = FTopIndex; i < Count() && i < FTopIndex + rows; ++i)
        if (OnDrawItem) OnDrawItem(this, canvas, i, ItemRect(i), i == FItemIndex);
    if (OnPainted) OnPainted(this);
}

void TRdComboBoxList::UserMove(int index) {
    if (Count() == 0) return;
    index = std::clamp(index, 0, Count() - 1);
    SetItemIndex(index);
    MakeVisible(index);
    if (OnUserSelect) OnUserSelect(this);
}

void TRdComboBoxList::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    const int index = ItemAtPos(x, y);
    FPressed = true;
    if (index >= 0) SetItemIndex(index);
}

void TRdComboBoxList::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    const bool pressed = FPressed && button == mbLeft;
    FPressed = false;
    if (pressed) {
        const int index = ItemAtPos(x, y);
        if (index >= 0) {
            SetItemIndex(index);
            if (OnUserSelect) OnUserSelect(this);
        }
    }
    TWinControl::MouseUp(button, shift, x, y);
}

bool TRdComboBoxList::MouseWheel(TShiftState shift, int delta, int x, int y) {
    if (TWinControl::MouseWheel(shift, delta, x, y)) return true;
    FWheelRemainder += delta;
    const int notches = FWheelRemainder / kWheelDelta;
    FWheelRemainder -= notches * kWheelDelta;
    if (notches != 0) SetTopIndex(FTopIndex - notches * kWheelRows);
    return true;
}

void TRdComboBoxList::KeyDown(int& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    const int page = std::max(1, VisibleRows() - 1);
    const int current = FItemIndex;
    switch (key) {
        case vkUp: UserMove(current < 0 ? 0 : current - 1); break;
        case vkDown: UserMove(current + 1); break;
        case vkHome: UserMove(0); break;
        case vkEnd: UserMove(Count() - 1); break;
        case vkPrior: UserMove(current < 0 ? 0 : current - page); break;
        case vkNext: UserMove(current < 0 ? 0 : current + page); break;
        default: return;
    }
    key = 0;
}

void TRdComboBoxList::KeyPress(char32_t& key) {
    TWinControl::KeyPress(key);
    if (key < 32 || Count() == 0) return;
    // The next row (after the selected one, wrapping) that starts with the letter.
    for (int step = 1; step <= Count(); ++step) {
        const int i = (std::max(FItemIndex, -1) + step + Count()) % Count();
        if (FoldAscii(FirstCodePoint(FItems[static_cast<std::size_t>(i)])) == FoldAscii(key)) {
            UserMove(i);
            key = 0;
            return;
        }
    }
}
