#include "public/rdcontrol/framework/WinControl.h"

#include <algorithm>

#include "public/rdcontrol/framework/Form.h"

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    BeginDestroy();
    // Owned controls go while this container is whole; children owned elsewhere
    // are only taken out.
    DestroyComponents();
    for (TControl* child : std::vector<TControl*>(FControls)) child->SetParent(nullptr);
}

void TWinControl::InsertControl(TControl* control) {
    FControls.push_back(control);
    ControlInserted(control);
}

void TWinControl::ShowControl(TControl* control) {
    if (Parent()) Parent()->ShowControl(control);
}

void TWinControl::RemoveControl(TControl* control) {
    std::erase(FControls, control);
    if (control->Align() != alNone && control->Align() != alCustom) Realign();
}

TControl* TWinControl::ControlAtPos(int x, int y, bool allowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
        const int cx = x - c->Left(), cy = y - c->Top();
        if (cx < 0 || cy < 0 || cx >= c->Width() || cy >= c->Height()) continue;
        if (auto* container = dynamic_cast<TWinControl*>(c)) {
            if (TControl* inner = container->ControlAtPos(cx, cy, allowDisabled)) return inner;
        }
        if (c->HitTestAt(cx, cy)) return c;
    }
    return nullptr;
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() {
    if (FAlignLevel > 0 || Destroying()) {
        FAlignPending = true;
        return;
    }
    if (FAligning) return;
    FAligning = true;
    FAlignPending = false;
    TRect rect = ClientRect();
    AlignControls(rect);
    FAligning = false;
}

void TWinControl::AlignControls(TRect& rect) {
    // Each side takes its controls in the order they sit along it (then z-order),
    // so a layout written top-down stays top-down.
    auto place = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : FControls)
            if (c->Visible() && c->Align() == align) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [align](const TControl* a, const TControl* b) {
            switch (align) {
                case alTop: return a->Top() < b->Top();
                case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
                case alLeft: return a->Left() < b->Left();
                case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
                default: return false;
            }
        });
        for (TControl* c : list) {
            const TMargins m = c->AlignWithMargins() ? c->Margins() : TMargins{0, 0, 0, 0};
            const int availW = std::max(0, rect.Width() - m.Left - m.Right);
            const int availH = std::max(0, rect.Height() - m.Top - m.Bottom);
            switch (align) {
                case alTop: {
                    const int h = c->Height();
                    c->SetBounds(rect.Left + m.Left, rect.Top + m.Top, availW, h);
                    rect.Top = std::min(rect.Bottom, rect.Top + m.Top + h + m.Bottom);
                    break;
                }
                case alBottom: {
                    const int h = c->Height();
                    c->SetBounds(rect.Left + m.Left, rect.Bottom - m.Bottom - h, availW, h);
                    rect.Bottom = std::max(rect.Top, rect.Bottom - m.Bottom - h - m.Top);
                    break;
                }
                case alLeft: {
                    const int w = c->Width();
                    c->SetBounds(rect.Left + m.Left, rect.Top + m.Top, w, availH);
                    rect.Left = std::min(rect.Right, rect.Left + m.Left + w + m.Right);
                    break;
                }
                case alRight: {
                    const int w = c->Width();
                    c->SetBounds(rect.Right - m.Right - w, rect.Top + m.Top, w, availH);
                    rect.Right = std::max(rect.Left, rect.Right - m.Right - w - m.Left);
                    break;
                }
                case alClient: c->SetBounds(rect.Left + m.Left, rect.Top + m.Top, availW, availH); break;
                default: break;
            }
        }
    };
    place(alTop);
    place(alBottom);
    place(alLeft);
    place(alRight);
    place(alClient);
}

void TWinControl::AnchorChildren(int oldClientWidth, int oldClientHeight) {
    const int dw = ClientWidth() - oldClientWidth, dh = ClientHeight() - oldClientHeight;
    if (dw == 0 && dh == 0) return;
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (c->Align() != alNone) continue;
        const TAnchors a = c->Anchors();
        int left = c->Left(), top = c->Top(), width = c->Width(), height = c->Height();
        if (a & akRight) {
            if (a & akLeft) width += dw;
            else left += dw;
        } else if (!(a & akLeft)) {
            left += dw / 2;  // neither edge anchored: keep the relative position
        }
        if (a & akBottom) {
            if (a & akTop) height += dh;
            else top += dh;
        } else if (!(a & akTop)) {
            top += dh / 2;
        }
        c->SetBounds(left, top, width, height);
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    const int oldW = ClientWidth(), oldH = ClientHeight();
    TControl::SetBounds(left, top, width, height);
    if (ClientWidth() != oldW || ClientHeight() != oldH) {
        AnchorChildren(oldW, oldH);
        Realign();
    }
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* c : FControls)
        if (c->ParentFont()) c->ParentFontChanged();
}

void TWinControl::ParentColorChanged() {
    TControl::ParentColorChanged();
    for (TControl* c : FControls)
        if (c->ParentColor()) c->ParentColorChanged();
}

void TWinControl::PaintTo(TRdCanvas& canvas) {
    PaintOwn(canvas);
    PaintChildren(canvas);
    PaintAfterChildren(canvas);
}

void TWinControl::PaintChildren(TRdCanvas& canvas) {
    const TRect clip = canvas.ClipInCanvas();
    for (TControl* c : FControls) {
        if (!c->Visible()) continue;
        const TRect bounds = c->BoundsRect();
        if (bounds.Intersect(clip).IsEmpty()) continue;
        TCanvasStateSaver saver(canvas);
        canvas.IntersectClip(bounds);
        const TPoint o = canvas.Origin();
        canvas.SetOrigin(TPoint{o.X + c->Left(), o.Y + c->Top()});
        c->PaintTo(canvas);
    }
}

bool TWinControl::CanFocus() const {
    if (!FTabStop) return false;
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    const TCustomForm* form = Form();
    return form && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
    if (Parent()) Parent()->ShowControl(this);
    if (TCustomForm* form = Form(); form && CanFocus()) form->SetActiveControl(this);
}

void TWinControl::KeyDown(int& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(int& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(char32_t& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}
void TWinControl::DoEnter() {
    Invalidate();
    if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
    Invalidate();
    if (OnExit) OnExit(this);
}
