#include "public/rdcontrol/framework/Control.h"

#include <algorithm>

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/Form.h"
#include "public/rdcontrol/framework/PopupMenu.h"
#include "public/rdcontrol/framework/RdAutoAlign.h"
#include "public/rdcontrol/framework/WinControl.h"
#include "public/rdcontrol/skin/RdFontSkin.h"
#include "public/rdcontrol/skin/RdSkinClass.h"

TControl::TControl(TComponent* owner) : TComponent(owner) {
    FFont.OnChange = [this] {
        // A font set on the control itself stops following the parent's.
        if (!FApplyingParent) FParentFont = false;
        FontChanged();
    };
}

TControl::~TControl() {
    BeginDestroy();
    if (TCustomForm* form = Form(); form && form != this) form->ControlRemoved(this);
    FAllSkin.reset();
    FAutoAlign.reset();
    if (FParent) FParent->RemoveControl(this);
    FFont.OnChange = nullptr;
}

TCustomForm* TControl::Form() const {
    const TControl* c = this;
    while (c->FParent) c = c->FParent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (parent == this) return;
    if (FParent) {
        Invalidate();
        TCustomForm* oldForm = Form();
        if (oldForm && oldForm != this) oldForm->ControlRemoved(this);
        FParent->RemoveControl(this);
    }
    FParent = parent;
    if (FParent) {
        FParent->InsertControl(this);
        if (FParentFont) ParentFontChanged();
        if (FParentColor) ParentColorChanged();
        RequestParentAlign();
        Invalidate();
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(FConstraints.ClampWidth(width), 0);
    height = std::max(FConstraints.ClampHeight(height), 0);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    const TRect old = BoundsRect();
    const bool resized = width != FWidth || height != FHeight;
    // A control repaints where it was and where it is; a form (no parent) only
    // when its size changes, which the form sees to itself.
    if (FParent) Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FParent) Invalidate();
    if (FAlign != alNone && FAlign != alCustom) RequestParentAlign();
    if (resized) Resize();
    if (FAutoAlign)
        for (TControl* follower : std::vector<TControl*>(FAutoAlign->Childs())) follower->AutoAlign().SourceChanged(old);
}

int TControl::Left_Invert() const { return FParent ? FParent->ClientWidth() - (FLeft + FWidth) : 0; }
void TControl::SetLeft_Invert(int value) {
    if (FParent) SetLeft(FParent->ClientWidth() - value - FWidth);
}
int TControl::Top_Invert() const { return FParent ? FParent->ClientHeight() - (FTop + FHeight) : 0; }
void TControl::SetTop_Invert(int value) {
    if (FParent) SetTop(FParent->ClientHeight() - value - FHeight);
}

TPoint TControl::FormOrigin() const {
    TPoint p{0, 0};
    // A form's own position is on the screen, not in its client area.
    for (const TControl* c = this; c->FParent; c = c->FParent) {
        p.X += c->FLeft;
        p.Y += c->FTop;
    }
    return p;
}

void TControl::SetAlign(TAlign align) {
    if (align == FAlign) return;
    FAlign = align;
    if (align == alClient) FAnchors = akLeft | akTop | akRight | akBottom;
    RequestParentAlign();
}

void TControl::SetConstraints(const TSizeConstraints& c) {
    if (c == FConstraints) return;
    FConstraints = c;
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetAlignWithMargins(bool v) {
    if (v == FAlignWithMargins) return;
    FAlignWithMargins = v;
    RequestParentAlign();
}

void TControl::SetMargins(const TMargins& m) {
    if (m == FMargins) return;
    FMargins = m;
    if (FAlignWithMargins) RequestParentAlign();
}

TRdSkinClass& TControl::AllSkin() {
    if (!FAllSkin) {
        FAllSkin = std::make_unique<TRdSkinClass>([this]() -> TPropertyTable& { return Properties(); });
        FAllSkin->OnApplied = [this](TRdSkinClass&) { Invalidate(); };
        FAllSkin->Draw().OnChange = [this] { Invalidate(); };
    }
    return *FAllSkin;
}

TRdAutoAlign& TControl::AutoAlign() {
    if (!FAutoAlign) FAutoAlign = std::make_unique<TRdAutoAlign>(*this);
    return *FAutoAlign;
}

void TControl::RequestParentAlign() {
    if (FParent && FAlign != alNone && FAlign != alCustom) FParent->Realign();
}

void TControl::SetVisible(bool visible) {
    if (visible == FVisible) return;
    if (!visible) Invalidate();
    FVisible = visible;
    if (visible) Invalidate();
    if (FAlign != alNone) RequestParentAlign();
    VisibleChanged();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible) return false;
    return true;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    EnabledChanged();
}

bool TControl::HitTestAt(int x, int y) const { return FHitTest && x >= 0 && y >= 0 && x < FWidth && y < FHeight; }

void TControl::SetColor(TColor color) {
    if (!FApplyingParent) FParentColor = false;
    if (color == FColor) return;
    FColor = color;
    Invalidate();
}

void TControl::SetParentColor(bool v) {
    FParentColor = v;
    if (v) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!FParentColor || !FParent) return;
    FApplyingParent = true;
    SetColor(FParent->Color());
    FApplyingParent = false;
}

void TControl::SetParentFont(bool v) {
    FParentFont = v;
    if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent) return;
    FApplyingParent = true;
    FFont.Assign(FParent->Font());
    FApplyingParent = false;
}

void TControl::FontChanged() { Invalidate(); }

void TControl::SetCursor(TCursor cursor) {
    if (cursor == FCursor) return;
    FCursor = cursor;
    if (TCustomForm* form = Form(); form && form->MouseControl() == this && form->Window())
        form->Window()->SetCursor(cursor);
}

bool TControl::EffectiveShowHint() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FParentShowHint) return c->FShowHint;
    return false;
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == FCaption) return;
    FCaption = caption;
    Invalidate();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    std::erase(list, this);
    list.push_back(this);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    std::erase(list, this);
    list.insert(list.begin(), this);
    Invalidate();
}

void TControl::Invalidate() {
    if (!FVisible || Destroying()) return;
    TCustomForm* form = Form();
    if (!form) return;
    if (form == this) {
        form->InvalidateRect(ClientRect());
        return;
    }
    if (!Showing()) return;
    form->InvalidateRect(FormRect());
}

void TControl::Repaint() {
    Invalidate();
    if (TCustomForm* form = Form(); form && form->Window()) form->Window()->Update();
}

void TControl::PaintTo(TRdCanvas& canvas) { PaintOwn(canvas); }

void TControl::PaintOwn(TRdCanvas& canvas) {
    if (!FAllSkin) {
        Paint(canvas);
        return;
    }
    // The skin's drawing options hold for this control's own pictures only: the
    // state goes back before children paint with their own.
    TCanvasStateSaver saved(canvas);
    ApplySkinDraw(canvas, ClientRect());
    Paint(canvas);
}

void TControl::ApplySkinDraw(TRdCanvas& canvas, const TRect& area) const {
    if (!FAllSkin) return;
    const TRdSkinClassDraw& draw = FAllSkin->Draw();
    canvas.SetDrawAlpha(static_cast<std::uint8_t>((canvas.DrawAlpha() * draw.DrawAlpha() + 127) / 255));
    if (draw.DrawGray()) canvas.SetDrawGray(true);
    canvas.SetDrawScale(draw.DrawScale(), (area.Left + area.Right) / 2.0, (area.Top + area.Bottom) / 2.0);
}

void TControl::Paint(TRdCanvas& /*canvas*/) {}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::Click() {
    if (OnClick) OnClick(this);
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TControl::MouseEnter() {
    FMouseInControl = true;
    if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::MouseLeave() {
    FMouseInControl = false;
    if (OnMouseLeave) OnMouseLeave(this);
}
bool TControl::MouseWheel(TShiftState shift, int delta, int x, int y) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, shift, delta, x, y, handled);
    return handled;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (menu == FPopupMenu) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = menu;
    if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

bool TControl::ContextPopup(int x, int y) {
    bool handled = false;
    if (OnContextPopup) OnContextPopup(this, TPoint{x, y}, handled);
    if (handled) return true;
    auto findMenu = [this] {
        TPopupMenu* found = nullptr;
        for (TControl* c = this; c && !found; c = c->FParent) found = c->FPopupMenu;
        return found;
    };
    TPopupMenu* menu = findMenu();
    TCustomForm* form = Form();
    TApplication* app = form ? form->Application() : nullptr;
    if (!menu || !app) return false;
    if (menu->OnPopup) menu->OnPopup(menu);
    std::vector<std::string> captions;
    std::vector<bool> enabled;
    for (const TMenuItem& item : menu->Items()) {
        captions.push_back(item.Caption);
        enabled.push_back(item.Enabled);
    }
    const TPoint origin = FormOrigin();
    const TPoint screen{form->ScreenOrigin().X + origin.X + x, form->ScreenOrigin().Y + origin.Y + y};
    const int chosen = app->Platform().TrackMenu(captions, enabled, screen);
    // Tracking runs a loop of its own: a menu freed meanwhile is no longer found.
    if (findMenu() == menu) menu->Choose(chosen);
    return true;
}

void TControl::BeginDrag() {
    if (TCustomForm* form = Form(); form && form != this) form->StartDrag(this);
}

void TControl::EndDrag(bool drop) {
    if (TCustomForm* form = Form(); form && form->DragControl() == this) form->FinishDrag(drop);
}

bool TControl::Dragging() const {
    const TCustomForm* form = Form();
    return form && form->DragControl() == this;
}

void TControl::DragOver(TControl* source, int x, int y, bool& accept) {
    accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, source, x, y, accept);
}

void TControl::DragDrop(TControl* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FPopupMenu) FPopupMenu = nullptr;
    if (operation == TOperation::opRemove && FAutoAlign && FAutoAlign->Source() == component) {
        FAutoAlign->SourceGone();
    }
}

TPropertyTable& TControl::Properties() {
    if (!FProperties) {
        FProperties = std::make_unique<TPropertyTable>();
        PublishProperties(*FProperties);
    }
    return *FProperties;
}

void TControl::PublishProperties(TPropertyTable& t) {
    t.AddInt("Left", [this] { return Left(); }, [this](int v) { SetLeft(v); });
    t.AddInt("Top", [this] { return Top(); }, [this](int v) { SetTop(v); });
    t.AddInt("Width", [this] { return Width(); }, [this](int v) { SetWidth(v); });
    t.AddInt("Height", [this] { return Height(); }, [this](int v) { SetHeight(v); });
    t.AddInt("Left_Right", [this] { return Left_Right(); }, [this](int v) { SetLeft_Right(v); });
    t.AddInt("Top_Bottom", [this] { return Top_Bottom(); }, [this](int v) { SetTop_Bottom(v); });
    t.AddInt("Left_Invert", [this] { return Left_Invert(); }, [this](int v) { SetLeft_Invert(v); });
    t.AddInt("Top_Invert", [this] { return Top_Invert(); }, [this](int v) { SetTop_Invert(v); });
    t.AddBool("Visible", [this] { return Visible(); }, [this](bool v) { SetVisible(v); });
    t.AddBool("Enabled", [this] { return Enabled(); }, [this](bool v) { SetEnabled(v); });
    t.AddBool("HitTest", [this] { return HitTest(); }, [this](bool v) { SetHitTest(v); });
    t.AddBool("ShowHint", [this] { return ShowHint(); }, [this](bool v) { SetShowHint(v); });
    t.AddBool("ParentFont", [this] { return ParentFont(); }, [this](bool v) { SetParentFont(v); });
    t.AddBool("AlignWithMargins", [this] { return AlignWithMargins(); }, [this](bool v) { SetAlignWithMargins(v); });
    t.AddString("Hint", [this] { return Hint(); }, [this](const std::string& v) { SetHint(v); });
    t.AddString("Caption", [this] { return Caption(); }, [this](const std::string& v) { SetCaption(v); });
    t.AddColor("Color", [this] { return Color(); }, [this](TColor v) { SetColor(v); });
    t.AddInt("Cursor", [this] { return Cursor(); }, [this](int v) { SetCursor(v); });
    t.AddEnum("Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"},
              [this] { return int(Align()); }, [this](int v) { SetAlign(static_cast<TAlign>(v)); });
    t.AddSet("Anchors", {"akLeft", "akTop", "akRight", "akBottom"}, [this] { return Anchors(); },
             [this](std::uint32_t v) { SetAnchors(v); });

    TPropertyTable margins;
    auto margin = [this](int TMargins::*field) {
        return std::make_pair([this, field] { return FMargins.*field; },
                              [this, field](int v) {
                                  TMargins m = FMargins;
                                  m.*field = v;
                                  SetMargins(m);
                              });
    };
    for (auto [name, field] : {std::pair{"Left", &TMargins::Left}, std::pair{"Top", &TMargins::Top},
                               std::pair{"Right", &TMargins::Right}, std::pair{"Bottom", &TMargins::Bottom}}) {
        auto [get, set] = margin(field);
        margins.AddInt(name, get, set);
    }
    t.AddObject("Margins", margins);
    TPropertyTable constraints;
    for (const auto& entry : {std::pair{"MinWidth", &TSizeConstraints::MinWidth},
                              std::pair{"MinHeight", &TSizeConstraints::MinHeight},
                              std::pair{"MaxWidth", &TSizeConstraints::MaxWidth},
                              std::pair{"MaxHeight", &TSizeConstraints::MaxHeight}}) {
        // A copy the lambdas can capture (clang 14 cannot capture structured bindings).
        const auto field = entry.second;
        constraints.AddInt(entry.first, [this, field] { return FConstraints.*field; },
                           [this, field](int v) {
                               TSizeConstraints c = FConstraints;
                               c.*field = std::max(v, 0);
                               SetConstraints(c);
                           });
    }
    t.AddObject("Constraints", constraints);
    // A menu is named as form descriptions name components (PopupMenu = pmMain):
    // by its name among the owner's components; '' or nil for none.
    t.Add(
        "PopupMenu",
        [this](const TSkinValue& v) -> std::optional<std::string> {
            if (v.Kind() != TSkinValueKind::Ident && v.Kind() != TSkinValueKind::String)
                return InvalidIdentText(v.ToText());
            if (v.Text().empty() || SameTextNoCase(v.Text(), "nil")) {
                SetPopupMenu(nullptr);
                return std::nullopt;
            }
            auto* menu = Owner() ? dynamic_cast<TPopupMenu*>(Owner()->FindComponent(v.Text())) : nullptr;
            if (!menu) return InvalidIdentText(v.Text());
            SetPopupMenu(menu);
            return std::nullopt;
        },
        [this] { return FPopupMenu ? FPopupMenu->Name() : std::string("nil"); });
    TPropertyTable font = FontProperties(FFont);
    // The font's own skin class, so a control's class can name one for its text.
    font.AddString(
        "AllSkin.SkinClass", [this] { return FFont.SkinSlot() ? FontAllSkin(FFont).SkinClass() : std::string(); },
        [this](const std::string& v) { FontAllSkin(FFont).SetSkinClass(v); });
    t.AddObject("Font", font);
    t.AddObject("AllSkin.Draw", AllSkin().Draw().Properties());
}
