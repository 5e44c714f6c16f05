#include "public/rdcontrol/controls/input/RdComboBox.h"

#include <algorithm>

#include "public/rdcontrol/controls/common/PictureDraw.h"
#include "public/rdcontrol/controls/input/ComboGeometry.h"
#include "public/rdcontrol/framework/Application.h"

namespace {

// The application-wide hook: installed once per application (chained before the
// handler that was there) and pointed at the combo whose list is open. Being
// installed for good means closing a list never replaces the handler that is
// running.
struct TComboMessageHook {
    std::shared_ptr<TRdComboBox*> Open;
    std::function<bool(void*)> Previous;
    bool operator()(void* message) const {
        const std::shared_ptr<TRdComboBox*> open = Open;
        if (TRdComboBox* combo = *open) {
            TComboHookMessage m;
            ReadComboHookMessage(message, m);
            if (combo->HookMessage(m)) return true;
        }
        return Previous && Previous(message);
    }
};

std::shared_ptr<TRdComboBox*> HookCell(TApplication& app) {
    if (auto* hook = app.OnMessage.target<TComboMessageHook>()) return hook->Open;
    TComboMessageHook hook;
    hook.Open = std::make_shared<TRdComboBox*>(nullptr);
    hook.Previous = std::move(app.OnMessage);
    auto cell = hook.Open;
    app.OnMessage = std::move(hook);
    return cell;
}

TPoint ScreenOf(const TControl& control) {
    const TCustomForm* form = control.Form();
    const TPoint origin = control.FormOrigin();
    if (!form) return origin;
    const TPoint f = form->ScreenOrigin();
    return TPoint{f.X + origin.X, f.Y + origin.Y};
}

TRect ScreenRectOf(const TControl& control) {
    const TPoint p = ScreenOf(control);
    return TRect::FromSize(p.X, p.Y, control.Width(), control.Height());
}

}  // namespace

TRdComboBox::TRdComboBox(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 145, 21);
    SetHitTest(false);
    TControl::SetColor(0);

    FFace = new TRdComboBoxPanel(this, *this);
    FFace->SetName("Face");

    FListForm = new TRdComboboxListForm(this);
    FListForm->SetName("ListForm");
    FListForm->SetColor(FBorderColor);
    FListForm->OnDeactivate = [this](TControl*) {
        if (!DroppedDown()) return;
        if (TCustomForm* form = Form())
            if (TApplication* app = form->Application()) OutsidePress(app->Platform().CursorPos());
    };

    FListFormShadow = new TRdFormSkin(FListForm);
    FListFormShadow->SetName("Bg");

    FVScroll = new TRdScrollBar(FListForm);
    FVScroll->SetName("VScroll");
    FVScroll->SetParent(FListForm);
    FVScroll->SetWidth(12);
    FVScroll->SetAlign(alRight);
    FVScroll->SetAutoHide(true);
    FVScroll->Bar().OnScroll = [this](TControl*, TScrollCode, int& position) {
        FScrollDriving = true;
        FList->SetTopIndex(position);
        FScrollDriving = false;
    };

    FList = new TRdComboBoxList(FListForm);
    FList->SetName("ListBox");
    FList->SetParent(FListForm);
    FList->SetAlign(alClient);
    FList->SetColor(Color());
    FList->OnDrawItem = [this](TControl* sender, TRdCanvas& canvas, int index, const TRect& rect, bool selected) {
        DrawItem(sender, canvas, index, rect, selected);
    };
    FList->OnUserSelect = [this](TControl*) { ListChosen(); };
    FList->OnScrolled = [this](TControl*) { SyncScrollBar(); };
    FList->OnPainted = [this](TControl*) { SyncScrollBar(); };
    FList->OnMouseMove = [this](TControl*, TShiftState, int x, int y) { ListMouseMove(x, y); };
    FList->OnMouseLeave = [this](TControl*) {
        FPrevHotIndex = FHotIndex;
        FHotIndex = -1;
    };
    FList->OnMouseUp = [this](TControl*, TMouseButton button, TShiftState, int x, int y) {
        if (button == mbLeft && x >= 0 && y >= 0 && x < FList->Width() && y < FList->Height()) CloseUp();
    };
    FList->OnKeyDown = [this](TControl*, int& key, TShiftState) {
        if (key == vkReturn || key == vkEscape) {
            key = 0;
            CloseUp();
        }
    };
    FList->OnExit = [this](TControl*) {
        if (!DroppedDown()) return;
        if (TCustomForm* form = Form())
            if (TApplication* app = form->Application()) OutsidePress(app->Platform().CursorPos());
    };

    auto repaintFace = [this](TPicture*) { FFace->Invalidate(); };
    for (TPicture* p : {&FBackground, &FBackgroundHot, &FBackgroundFocus, &FBackgroundClick, &FBackgroundDisable})
        p->OnChange = [this, repaintFace](TPicture* pic) {
            repaintFace(pic);
            PlaceFace();
        };
    FBackgroundOption.OnChange = [this] {
        PlaceFace();
        FFace->Invalidate();
    };
    PlaceFace();
}

TRdComboBox::~TRdComboBox() {
    BeginDestroy();
    RemoveHook();
    for (TPicture* p : {&FBackground, &FBackgroundHot, &FBackgroundFocus, &FBackgroundClick, &FBackgroundDisable})
        p->OnChange = nullptr;
    FBackgroundOption.OnChange = nullptr;
    // The owned list window and face go with the components; nothing of theirs may
    // call back into this half-destroyed combo.
    FListForm->OnDeactivate = nullptr;
    FList->OnExit = nullptr;
    FList->OnDrawItem = nullptr;
    FList->OnUserSelect = nullptr;
    FList->OnScrolled = nullptr;
    FList->OnPainted = nullptr;
    FList->OnMouseMove = nullptr;
    FList->OnMouseLeave = nullptr;
    FList->OnMouseUp = nullptr;
    FList->OnKeyDown = nullptr;
    FVScroll->Bar().OnScroll = nullptr;
    if (FListForm->Visible()) FListForm->Hide();
    delete FFace;
    FFace = nullptr;
}

// --- Properties -------------------------------------------------------------------

void TRdComboBox::SetItems(std::vector<std::string> items) {
    FItems = std::move(items);
    if (FItemIndex >= static_cast<int>(FItems.size())) SetItemIndex(-1);
    if (DroppedDown()) FList->SetItems(FItems);
    FFace->Invalidate();
}

void TRdComboBox::ClearAutoHint() {
    if (!FFace->Hint().empty() && FFace->Hint() == FLastPaintedText) FFace->SetHint("");
}

void TRdComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(FItems.size())) index = -1;
    const std::string text = index >= 0 ? FItems[static_cast<std::size_t>(index)] : std::string();
    if (index == FItemIndex && text == FText) return;
    FItemIndex = index;
    FText = text;
    ClearAutoHint();
    FFace->Invalidate();
}

void TRdComboBox::SetText(const std::string& text) {
    const auto it = std::find(FItems.begin(), FItems.end(), text);
    FItemIndex = it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
    FText = text;
    ClearAutoHint();
    FFace->Invalidate();
}

void TRdComboBox::SetTextHint(const std::string& v) {
    if (v == FTextHint) return;
    FTextHint = v;
    FFace->Invalidate();
}

void TRdComboBox::SetItemHeight(int v) {
    v = std::max(1, v);
    if (v == FItemHeight) return;
    FItemHeight = v;
    PlaceFace();
}

void TRdComboBox::SetComboboxHeight(int v) {
    if (v == FComboboxHeight) return;
    FComboboxHeight = v;
    PlaceFace();
}

void TRdComboBox::SetBackgroundOptionEmpty(bool empty) {
    if (empty) {
        FBackgroundOption.Assign(TDesignRect{});
        return;
    }
    if (!FBackgroundOption.Empty()) return;
    const int w = FBackground.Width() / 3, h = FBackground.Height() / 3;
    TDesignRect r;
    r.SetLeft(w);
    r.SetRight(w);
    r.SetTop(h);
    r.SetBottom(h);
    FBackgroundOption.Assign(r);
}

void TRdComboBox::SetTextOffX(int v) {
    if (v == FTextOffX) return;
    FTextOffX = v;
    FFace->Invalidate();
}

void TRdComboBox::SetFontDisableColor(TColor v) {
    if (v == FFontDisableColor) return;
    FFontDisableColor = v;
    FFace->Invalidate();
}

void TRdComboBox::SetFontHintColor(TColor v) {
    if (v == FFontHintColor) return;
    FFontHintColor = v;
    FFace->Invalidate();
}

void TRdComboBox::SetBorderColor(TColor v) {
    FBorderColor = v;
    FListForm->SetColor(v);
}

int TRdComboBox::FaceHeight() const {
    return ComboFaceHeight(FComboboxHeight, FBackgroundOption.Empty(), FBackground.Height(), FItemHeight);
}

TRect TRdComboBox::FaceBounds() const { return ComboFaceRect(BoundsRect(), FaceHeight()); }

TRect TRdComboBox::FaceTextRect() const {
    const TRect face = FaceBounds();
    return ComboTextRect(TRect{0, 0, face.Width(), face.Height()}, FTextOffX, FBackgroundOption.Right());
}

// --- Placement and state ------------------------------------------------------------

void TRdComboBox::PlaceFace() {
    if (!FFace || Destroying()) return;
    FFace->SetBoundsRect(FaceBounds());
}

void TRdComboBox::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
    PlaceFace();
}

void TRdComboBox::SetParent(TWinControl* parent) {
    TWinControl::SetParent(parent);
    if (!FFace) return;
    FFace->SetParent(parent);
    FFace->BringToFront();
    PlaceFace();
}

void TRdComboBox::VisibleChanged() {
    TWinControl::VisibleChanged();
    FFace->SetVisible(Visible());
    if (!Visible()) CloseUp();
}

void TRdComboBox::EnabledChanged() {
    TWinControl::EnabledChanged();
    FFace->SetEnabled(Enabled());
    FListForm->SetEnabled(Enabled());
    if (!Enabled()) CloseUp();
    FFace->Invalidate();
}

void TRdComboBox::FontChanged() {
    TWinControl::FontChanged();
    if (FFace) FFace->Invalidate();
    if (FList) FList->Invalidate();
}

void TRdComboBox::DoEnter() {
    TWinControl::DoEnter();
    FFace->SetFocusFlag(true);
}

void TRdComboBox::DoExit() {
    TWinControl::DoExit();
    FFace->SetFocusFlag(false);
}

void TRdComboBox::FaceEntered(bool entered) {
    if (entered)
        MouseEnter();
    else
        MouseLeave();
}

TRect TRdComboBox::FaceScreenRect() const { return ScreenRectOf(*FFace); }

// --- The face -----------------------------------------------------------------------

TPicture& TRdComboBox::FaceImage() {
    if (!Enabled()) return FBackgroundDisable.Width() >= 1 ? FBackgroundDisable : FBackground;
    if (DroppedDown() && FBackgroundClick.Width() > 0) return FBackgroundClick;
    if (FFace->FocusFlag() && FBackgroundFocus.Width() > 0) return FBackgroundFocus;
    if (FFace->Hover() && FBackgroundHot.Width() > 0) return FBackgroundHot;
    return FBackground;
}

void TRdComboBox::PaintFace(TRdCanvas& canvas) {
    const TRect face{0, 0, FFace->Width(), FFace->Height()};
    {
        // The face panel paints the combo's pictures: the combo's skin options hold.
        TCanvasStateSaver saved(canvas);
        ApplySkinDraw(canvas, face);
        DrawPicture(canvas, FaceImage(), FBackgroundOption, face);
    }
    TColor color = Enabled() ? Font().Color() : FFontDisableColor;
    std::string text = FText;
    if (FItemIndex < 0) {
        text = FTextHint;
        color = FFontHintColor;
    }
    const TRect r = FaceTextRect();
    canvas.DrawText(text, r, Font().Spec(), color, tfVCenter | tfSingleLine | tfEndEllipsis, Font().Alpha());
    FLastPaintedText = text;
    // The face's hint: the combo's own, else the text when it does not fit.
    FFace->SetShowHint(EffectiveShowHint());
    if (!Hint().empty()) {
        FFace->SetHint(Hint());
    } else if (FFace->EffectiveShowHint()) {
        const bool cut = canvas.TextWidth(text, Font().Spec()) > r.Width();
        if (cut && FFace->Hint().empty()) {
            FFace->SetHint(text);
            FAutoHint = text;
        } else if (!cut && FFace->Hint() == FAutoHint) {
            FFace->SetHint("");
        }
    }
}

// --- The list -----------------------------------------------------------------------

void TRdComboBox::DrawItem(TControl* sender, TRdCanvas& canvas, int index, const TRect& rect, bool selected) {
    TColor brush = FList->Color();
    TColor text = Font().Color();
    if (selected && index >= 0) {
        brush = FItemHotBgColor;
        text = FItemHotColor;
    } else if (FItemColor != clDefault) {
        text = FItemColor;
    }
    if (index < 0) {
        canvas.FillRect(rect, brush);
        return;
    }
    if (OnDrawItem) {
        OnDrawItem(sender, canvas, index, rect, selected);
        return;
    }
    canvas.FillRect(rect, brush);
    const TRect textRect{rect.Left + 3 + FTextOffX, rect.Top, rect.Right, rect.Bottom};
    const std::string& item = FList->Items()[static_cast<std::size_t>(index)];
    canvas.DrawText(item, textRect, Font().Spec(), text, tfVCenter | tfSingleLine | tfEndEllipsis, Font().Alpha());
}

void TRdComboBox::ListMouseMove(int x, int y) {
    const int index = FList->ItemAtPos(x, y);
    if (index == FHotIndex) return;
    FPrevHotIndex = FHotIndex;
    FHotIndex = index;
    if (index < 0) {
        FList->SetHint("");
        if (TCustomForm* form = FList->Form())
            if (TApplication* app = form->Application()) app->CancelHint();
        return;
    }
    // The highlight follows the pointer; the combo's selection does not.
    FList->SetItemIndex(index);
    if (FList->EffectiveShowHint()) {
        const std::string& item = FItems[static_cast<std::size_t>(index)];
        TArgbSurface scratch(1, 1);
        TRdCanvas canvas(scratch);
        const int width = canvas.TextWidth(item, Font().Spec());
        FList->SetHint(width + 3 + FTextOffX < FList->ClientWidth() ? std::string() : item);
        if (TCustomForm* form = FList->Form())
            if (TApplication* app = form->Application()) app->HintChanged(FList);
    }
}

void TRdComboBox::ListChosen() {
    const int index = FList->ItemIndex();
    if (index < 0 || index >= static_cast<int>(FItems.size())) return;
    FText = FItems[static_cast<std::size_t>(index)];
    FItemIndex = index;
    ClearAutoHint();
    FFace->Invalidate();
    Click();
    if (OnSelect)
        OnSelect(this);
    else if (OnChange)
        OnChange(this);
}

void TRdComboBox::SyncScrollBar() {
    if (FScrollDriving || !FList || !FVScroll) return;
    FVScroll->AdoptScrollInfo(*FList, sbVertical);
}

// --- Opening and closing --------------------------------------------------------------

bool TRdComboBox::DroppedDown() const { return FListForm && FListForm->Visible(); }

void TRdComboBox::SetDroppedDown(bool v) {
    if (v == DroppedDown()) return;
    if (v)
        DropDown();
    else
        CloseUp();
}

void TRdComboBox::DropDown() {
    if (!Enabled() || Destroying()) return;
    FListForm->SetWidth(FFace->Width());
    if (OnDropDown) OnDropDown(this);
    TCustomForm* form = Form();
    if (!form || form == FListForm) return;

    FListForm->SetShowHint(false);
    FListForm->SetColor(FBorderColor);
    FList->SetColor(Color());
    FList->SetItemHeight(FItemHeight);
    FList->Font().Assign(Font());

    FList->SetItems(FItems);
    FHotIndex = FItemIndex;
    FPrevHotIndex = -1;
    FList->SetItemIndex(FItemIndex);

    TComboListRequest request;
    request.FaceScreen = ScreenOf(*FFace);
    request.FaceWidth = FFace->Width();
    request.FaceHeight = FFace->Height();
    request.ItemCount = static_cast<int>(FItems.size());
    request.DropDownCount = FDropDownCount;
    request.ItemHeight = FItemHeight;
    request.BorderWidth = FListForm->BorderWidth();
    request.FormScreen = TRect::FromSize(form->Left(), form->Top(), form->Width(), form->Height());
    TApplication* app = form->Application();
    const TPoint centre{form->Left() + form->Width() / 2, form->Top() + form->Height() / 2};
    request.Screen = app ? app->Platform().WorkArea(centre) : TRect{-(1 << 20), -(1 << 20), 1 << 20, 1 << 20};
    const TComboListPlacement placement = PlaceComboList(request);
    FListForm->SetBoundsRect(placement.Bounds);
    FList->SetTopIndex(FItemIndex < 0 ? 0 : FItemIndex);

    // Realised but not yet seen: alpha 0 until everything is in place and painted.
    FListForm->SetAlphaBlendValue(0);
    FListForm->HandleNeeded();
    if (FListForm->Window() && form->Window()) FListForm->Window()->SetOwnerWindow(form->Window());
    FListForm->Show();
    SyncScrollBar();
    FList->Invalidate();
    if (OnDropDownShow) OnDropDownShow(this);
    FListForm->PaintAll();
    if (FListForm->Window()) FListForm->Window()->Update();
    FListForm->SetAlphaBlendValue(255);
    InstallHook();
    if (FList->CanFocus()) FList->SetFocus();
    FFace->Invalidate();
}

void TRdComboBox::CloseUp() {
    if (!DroppedDown()) return;
    if (OnCloseUp) OnCloseUp(this);
    RemoveHook();
    FListForm->Hide();
    FHotIndex = -1;
    if (FFace) FFace->Invalidate();
}

void TRdComboBox::InstallHook() {
    TCustomForm* form = Form();
    TApplication* app = form ? form->Application() : nullptr;
    if (!app) return;
    if (!FHookTarget) FHookTarget = HookCell(*app);
    *FHookTarget = this;
    FHookActive = true;
}

void TRdComboBox::RemoveHook() {
    if (FHookTarget && *FHookTarget == this) *FHookTarget = nullptr;
    FHookActive = false;
}

void TRdComboBox::OutsidePress(TPoint screen) {
    if (!DroppedDown()) return;
    if (FaceScreenRect().Contains(screen.X, screen.Y)) return;  // the face's own press toggles
    if (FVScroll->Visible() && FVScroll->Dragging()) return;
    if (ScreenRectOf(*FList).Contains(screen.X, screen.Y)) return;
    const TRect window = TRect::FromSize(FListForm->Left(), FListForm->Top(), FListForm->Width(), FListForm->Height());
    if (window.Contains(screen.X, screen.Y)) return;
    RemoveHook();
    CloseUp();
}

bool TRdComboBox::HookMessage(const TComboHookMessage& m) {
    if (!DroppedDown()) return false;
    // A page switched away (or anything else hiding the combo): close at once.
    if (!Showing()) {
        CloseUp();
        return false;
    }
    switch (m.Kind) {
        case TComboHookMessage::TKind::ButtonDown:
        case TComboHookMessage::TKind::FrameButtonDown: OutsidePress(m.Screen); return false;
        case TComboHookMessage::TKind::Wheel: {
            if (FVScroll->Visible()) {
                // The wheel scrolls the list wherever the pointer is.
                const TPoint list = ScreenOf(*FList);
                FList->MouseWheel(m.Shift, m.WheelDelta, m.Screen.X - list.X, m.Screen.Y - list.Y);
                return true;
            }
            if (FaceScreenRect().Contains(m.Screen.X, m.Screen.Y)) {
                CloseUp();
                return true;
            }
            OutsidePress(m.Screen);
            return false;
        }
        default: return false;
    }
}

void TRdComboBox::PublishProperties(TPropertyTable& t) {
    TWinControl::PublishProperties(t);
    t.AddInt("ComboboxHeight", [this] { return FComboboxHeight; }, [this](int v) { SetComboboxHeight(v); });
    t.AddInt("TextOffX", [this] { return FTextOffX; }, [this](int v) { SetTextOffX(v); });
    t.AddInt("ItemHeight", [this] { return FItemHeight; }, [this](int v) { SetItemHeight(v); });
    t.AddInt("DropDownCount", [this] { return FDropDownCount; }, [this](int v) { SetDropDownCount(v); });
    t.AddInt("ItemIndex", [this] { return FItemIndex; }, [this](int v) { SetItemIndex(v); });
    t.AddString("TextHint", [this] { return FTextHint; }, [this](const std::string& v) { SetTextHint(v); });
    t.AddStrings("Items", [this] { return FItems; }, [this](const std::vector<std::string>& v) { SetItems(v); });
    t.AddColor("FontDisableColor", [this] { return FFontDisableColor; }, [this](TColor v) { SetFontDisableColor(v); });
    t.AddColor("FontHintColor", [this] { return FFontHintColor; }, [this](TColor v) { SetFontHintColor(v); });
    t.AddColor("BorderColor", [this] { return FBorderColor; }, [this](TColor v) { SetBorderColor(v); });
    t.AddColor("ItemColor", [this] { return FItemColor; }, [this](TColor v) { SetItemColor(v); });
    t.AddColor("ItemHotColor", [this] { return FItemHotColor; }, [this](TColor v) { SetItemHotColor(v); });
    t.AddColor("ItemHotBgColor", [this] { return FItemHotBgColor; }, [this](TColor v) { SetItemHotBgColor(v); });
    const std::pair<const char*, TPicture*> pictures[] = {
        {"Background", &FBackground},           {"BackgroundHot", &FBackgroundHot},
        {"BackgroundFocus", &FBackgroundFocus}, {"BackgroundClick", &FBackgroundClick},
        {"BackgroundDisable", &FBackgroundDisable},
    };
    for (const auto& [name, picture] : pictures) AddPictureProperty(t, name, *picture, FSkinPictures);
    t.AddObject("BackgroundOption", DesignRectProperties(FBackgroundOption));
    TPropertyTable& bar = FVScroll->Properties();
    for (const std::string& name : bar.Names())
        t.Add(
            "VScrollBar." + name,
            [&bar, name](const TSkinValue& v) -> std::optional<std::string> {
                TApplyOutcome outcome = bar.Apply(name, v);
                if (outcome.Result == TApplyResult::InvalidValue) return outcome.Error;
                return std::nullopt;
            },
            [&bar, name] { return bar.Get(name).value_or(""); });
}
