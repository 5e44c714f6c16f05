// TRdImageButton: properties, the state machine, mouse handling, the hover fade
// and hints. Layout and painting are in RdImageButtonPaint.cpp.
#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"

#include <algorithm>

#include "public/rdcontrol/controls/common/PictureDraw.h"
#include "public/rdcontrol/controls/imagebutton/RdImageButtonLayout.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/Form.h"

TRdImageButton::TRdImageButton(TComponent* owner) : TRdGraphicControl(owner) {
    SetBounds(0, 0, 75, 25);
    auto watch = [this](TPicture& p) { p.OnChange = [this](TPicture* sender) { PictureChanged(sender); }; };
    for (TPicture* p : {&FImageNormal, &FImageOver, &FImageDown, &FImageDisabled, &FImageSelected, &FExpandImage,
                        &FImageRange})
        watch(*p);
    for (auto& set : FIcons)
        for (TPicture& p : set) watch(p);
    for (auto& set : FBoxImages)
        for (TPicture& p : set) watch(p);
    FImageOption.OnChange = [this] {
        FRangeMaskValid = false;
        Invalidate();
    };
    FSubCaptionFont.OnChange = [this] { Invalidate(); };
    FSubCaptionDataFont.OnChange = [this] { Invalidate(); };
    FHoverTimer.SetEnabled(false);
    FHoverTimer.SetInterval(HoverIntervalMs);
    FHoverTimer.SetOnTimer([this](TRdTimer*) { HoverTick(); });
}

TRdImageButton::~TRdImageButton() {
    BeginDestroy();
    FHoverTimer.SetOnTimer(nullptr);
    for (TPicture* p : {&FImageNormal, &FImageOver, &FImageDown, &FImageDisabled, &FImageSelected, &FExpandImage,
                        &FImageRange})
        p->OnChange = nullptr;
    for (auto& set : FIcons)
        for (TPicture& p : set) p.OnChange = nullptr;
    for (auto& set : FBoxImages)
        for (TPicture& p : set) p.OnChange = nullptr;
    FSubCaptionFont.OnChange = nullptr;
    FSubCaptionDataFont.OnChange = nullptr;
}

// --- Properties ---------------------------------------------------------------------------

void TRdImageButton::PictureChanged(TPicture* picture) {
    if (Destroying()) return;
    if (picture == &FImageRange) FRangeMaskValid = false;
    if (picture == &FImageNormal && FAutoSize && FImageNormal.Width() > 0 && FImageNormal.Height() > 0)
        SetBounds(Left(), Top(), FImageNormal.Width(), FImageNormal.Height());
    // Icons and boxes take part in the layout.
    LayoutChanged();
}

void TRdImageButton::LayoutChanged() {
    if (Destroying()) return;
    if (FLayout) FLayout->Valid = false;
    DoAutoSizeByText();
    Invalidate();
}

void TRdImageButton::SetExpand(bool v) { SetLayout(FExpand, v); }

void TRdImageButton::SetAutoSize(bool v) {
    if (v == FAutoSize) return;
    FAutoSize = v;
    if (v && FImageNormal.Width() > 0 && FImageNormal.Height() > 0)
        SetBounds(Left(), Top(), FImageNormal.Width(), FImageNormal.Height());
}

void TRdImageButton::SetAutoSizeByText(bool v) {
    if (v == FAutoSizeByText) return;
    FAutoSizeByText = v;
    DoAutoSizeByText();
}

void TRdImageButton::SetHoverEffect(TAniEffect v) {
    if (v == FHoverEffect) return;
    FHoverEffect = v;
    if (v == ibeNone && FHoverPhase != THoverPhase::None) {
        FHoverTimer.SetEnabled(false);
        FHoverPhase = THoverPhase::None;
        FHoverStep = 0;
        Invalidate();
    }
}

void TRdImageButton::SetCaption(const std::string& caption) {
    if (caption == Caption()) return;
    TRdGraphicControl::SetCaption(caption);
    LayoutChanged();
    if (OnCaptionChanged) OnCaptionChanged(this);
}

void TRdImageButton::SetShowCheckBox(bool v) { SetLayout(FShowCheckBox, v); }

void TRdImageButton::SetCheckState(TCheckBoxState v) {
    if (v == FCheckState) return;
    FCheckState = v;
    if (FLayout) FLayout->Valid = false;  // the box picture (and its size) follows the state
    if (OnCheckedChanged) OnCheckedChanged(this);
    if (FShowCheckBox) Invalidate();
}

void TRdImageButton::SetSelected(bool selected) {
    if (selected == Selected()) return;
    if (FLayout) FLayout->Valid = false;
    if (selected) {
        FState = TButtonState::Selected;
        FMouseInside = false;
        FIconState = TIconState::Selected;
    } else {
        FState = TButtonState::Normal;
        FIconState = TIconState::Normal;
    }
    Invalidate();
}

void TRdImageButton::EnabledChanged() {
    if (FLayout) FLayout->Valid = false;  // the icon and box pictures follow
    if (!Enabled()) {
        FStateBeforeDisable = FState;
        FState = TButtonState::Disabled;
        FIconState = TIconState::Disabled;
        if (FHoverPhase != THoverPhase::None) {
            FHoverTimer.SetEnabled(false);
            FHoverPhase = THoverPhase::None;
            FHoverStep = 0;
        }
    } else if (FState == TButtonState::Disabled) {
        FState = FStateBeforeDisable;
        FIconState = FState == TButtonState::Selected ? TIconState::Selected : TIconState::Normal;
    }
    Invalidate();
}

void TRdImageButton::FontChanged() {
    TRdGraphicControl::FontChanged();
    LayoutChanged();
}

void TRdImageButton::Resize() {
    FRangeMaskValid = false;
    if (FLayout) FLayout->Valid = false;
    TRdGraphicControl::Resize();
}

// --- Mouse ---------------------------------------------------------------------------------

bool TRdImageButton::HasIcon() { return FIconVisible && CurrentIcon() != nullptr; }

bool TRdImageButton::OnIcon(int x, int y) { return HasIcon() && IconRect().Contains(x, y); }

void TRdImageButton::UpdateOverFlags(int x, int y) {
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    bool overBox = false;
    if (FShowCheckBox && inside) overBox = FCheckBoxFullClick || CheckBoxRect().Contains(x, y);
    const bool overIcon = inside && OnIcon(x, y);
    const bool changed = overBox != FOverBox || overIcon != FOverIcon;
    FOverBox = overBox;
    FOverIcon = overIcon;
    if (changed) {
        ApplyCursor();
        HintMaybeChanged();
        Invalidate();
    }
    if (FIconState != TIconState::Down && FIconState != TIconState::Disabled && FIconState != TIconState::Selected) {
        const TIconState next = FOverIcon || (FIconFullClick && FMouseInside) ? TIconState::Hover : TIconState::Normal;
        if (next != FIconState) {
            FIconState = next;
            Invalidate();
        }
    }
}

void TRdImageButton::ApplyCursor() {
    // Over the box or the icon, their cursor; elsewhere the control's own, which is
    // kept aside meanwhile.
    TCursor wanted = 0;
    if (FShowCheckBox && FBoxCursor != 0 && FOverBox) wanted = FBoxCursor;
    if (FOverIcon && FIconCursor != 0) wanted = FIconCursor;
    if (wanted != 0) {
        if (!FCursorChanged) {
            FSavedCursor = Cursor();
            FCursorChanged = true;
        }
        SetCursor(wanted);
    } else if (FCursorChanged) {
        FCursorChanged = false;
        SetCursor(FSavedCursor);
    }
}

void TRdImageButton::HintMaybeChanged() {
    if (!EffectiveShowHint()) return;
    if (TCustomForm* form = Form())
        if (TApplication* app = form->Application()) app->HintChanged(this);
}

void TRdImageButton::MouseEnter() {
    const bool wasInside = FMouseInside;
    if (!wasInside && FState != TButtonState::Selected && HoverApplies()) StartHover(THoverPhase::FadingIn);
    if (FShowCheckBox && FCheckBoxFullClick) FOverBox = true;
    if (Enabled() && FState != TButtonState::Selected) {
        FMouseInside = true;
        if (!wasInside && FIconFullClick && FIconState == TIconState::Normal) FIconState = TIconState::Hover;
    }
    Invalidate();
    TRdGraphicControl::MouseEnter();
}

void TRdImageButton::MouseLeave() {
    if (FMouseInside && HoverApplies()) StartHover(THoverPhase::FadingOut);
    if (FCursorChanged) {
        FCursorChanged = false;
        SetCursor(FSavedCursor);
    }
    if (FIconState != TIconState::Down && FIconState != TIconState::Disabled && FIconState != TIconState::Selected)
        FIconState = TIconState::Normal;
    FOverBox = false;
    FOverIcon = false;
    FMouseInside = false;
    if (FState == TButtonState::Down) FState = TButtonState::Normal;
    Invalidate();
    TRdGraphicControl::MouseLeave();
}

void TRdImageButton::MouseMove(TShiftState shift, int x, int y) {
    UpdateOverFlags(x, y);
    TRdGraphicControl::MouseMove(shift, x, y);
}

void TRdImageButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    FSuppressDblClick = false;
    if (button != mbLeft) {
        TRdGraphicControl::MouseDown(button, shift, x, y);
        return;
    }
    FPressConsumed = false;
    FLastPressDouble = (shift & ssDouble) != 0;
    UpdateOverFlags(x, y);
    if (FShowCheckBox) {
        const bool onBox = CheckBoxRect().Contains(x, y);
        if (onBox || FCheckBoxFullClick) {
            if (CheckBoxBeforeClick) CheckBoxBeforeClick(this);
            SetCheckState(FCheckState == cbChecked ? cbUnchecked : cbChecked);
            if (CheckBoxOnClick) CheckBoxOnClick(this);
            Invalidate();
            if (!FCheckBoxFullClick && onBox) FPressConsumed = true;
        }
    } else if (FState == TButtonState::Selected && FIconLockBySelected) {
        FPressConsumed = true;
    } else if (FIconState != TIconState::Disabled && FIconState != TIconState::Selected &&
               (OnIcon(x, y) || (FIconFullClick && HasIcon()))) {
        FIconState = TIconState::Down;
        if (!FIconFullClick) FPressConsumed = true;
        Invalidate();
    }
    if (FPressConsumed) return;
    if (shift & ssDouble) {
        // The form calls DblClick right after this press; it has fired here already.
        FSuppressDblClick = true;
        if (OnDblClick) OnDblClick(this);
    }
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
    if (FState == TButtonState::Normal) {
        FState = TButtonState::Down;
        Invalidate();
    }
}

void TRdImageButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    FSuppressClick = false;
    if (button != mbLeft) {
        // A right release over the button: the form then offers the context popup.
        TRdGraphicControl::MouseUp(button, shift, x, y);
        return;
    }
    const bool inside = HitTestAt(x, y);
    const bool onIcon = OnIcon(x, y);
    // The form clicks a control released over after a single press; the click of
    // this release (if any) is raised here, before OnMouseUp.
    FSuppressClick = inside && !FLastPressDouble;
    if (!FPressConsumed && inside) {
        if (FState == TButtonState::Down) FState = TButtonState::Normal;
        if ((FIconState == TIconState::Down || FIconState == TIconState::Selected) && onIcon) {
            if (FIconState == TIconState::Down) FIconState = TIconState::Hover;
            if (IconOnClick) IconOnClick(this);
        } else if (OnClick) {
            OnClick(this);
        }
    }
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
    if (!inside) FMouseInside = false;
    if (FState == TButtonState::Down) FState = TButtonState::Normal;
    if (FIconState == TIconState::Down) {
        if (onIcon) {
            FIconState = TIconState::Hover;
            if (IconOnClick) IconOnClick(this);
        } else {
            FIconState = FIconFullClick && FMouseInside ? TIconState::Hover : TIconState::Normal;
        }
    }
    FPressConsumed = false;
    Invalidate();
}

void TRdImageButton::Click() {
    if (FSuppressClick) {
        FSuppressClick = false;
        return;
    }
    // A click by code.
    TRdGraphicControl::Click();
}

void TRdImageButton::DblClick() {
    if (FSuppressDblClick) {
        FSuppressDblClick = false;
        return;
    }
    TRdGraphicControl::DblClick();
}

bool TRdImageButton::DialogChar(char32_t key) {
    if (!FShowAccelChar || !Enabled() || !Showing() || FState == TButtonState::Selected) return false;
    const TLayoutCache& layout = Layout();
    if (layout.Accel < 0) return false;
    char32_t accel = static_cast<unsigned char>(layout.Shown[static_cast<std::size_t>(layout.Accel)]);
    if (accel >= 'A' && accel <= 'Z') accel = accel - 'A' + 'a';
    if (accel != key) return false;
    if (FShowCheckBox) {
        if (CheckBoxBeforeClick) CheckBoxBeforeClick(this);
        SetCheckState(FCheckState == cbChecked ? cbUnchecked : cbChecked);
        if (CheckBoxOnClick) CheckBoxOnClick(this);
    }
    TRdGraphicControl::Click();
    return true;
}

// --- Hover fade ------------------------------------------------------------------------------

bool TRdImageButton::HoverApplies() const {
    return FHoverEffect != ibeNone && Enabled() && !FShowCheckBox && !FExpand && !FImageNormal.Empty() &&
           !FImageOver.Empty();
}

void TRdImageButton::StartHover(THoverPhase phase) {
    FHoverPhase = phase;
    FHoverStep = 0;
    // Restart: a new fade replaces the one running.
    FHoverTimer.SetEnabled(false);
    FHoverTimer.SetEnabled(true);
}

void TRdImageButton::HoverTick() {
    if (FHoverPhase == THoverPhase::None) {
        FHoverTimer.SetEnabled(false);
        return;
    }
    if (FHoverStep == 0) FHoverStep = 80;
    FHoverStep += 10;
    if (FHoverStep > 219) {
        FHoverTimer.SetEnabled(false);
        FHoverPhase = THoverPhase::None;
        FHoverStep = 0;
    }
    Invalidate();
}

// --- Hit test and hints -------------------------------------------------------------------

bool TRdImageButton::HitTestAt(int x, int y) const {
    if (!TRdGraphicControl::HitTestAt(x, y)) return false;
    auto& range = const_cast<TPicture&>(FImageRange);
    if (range.Empty()) return true;
    if (!FRangeMaskValid) {
        FRangeMaskValid = true;
        if (FImageOption.Empty()) {
            FRangeMask = PictureSurface(range);
        } else {
            FRangeMask = TArgbSurface(Width(), Height());
            TRdCanvas canvas(FRangeMask);
            DrawPicture(canvas, range, FImageOption, FRangeMask.Bounds());
        }
    }
    // Transparent and pure black pixels of the mask let the mouse through.
    const std::uint32_t p = FRangeMask.Pixel(x, y);
    return (p >> 24) != 0 && (p & 0x00FFFFFFu) != 0;
}

std::string TRdImageButton::ActiveHint() const {
    auto* self = const_cast<TRdImageButton*>(this);
    std::string text;
    if (FOverBox && FShowCheckBox && !FBoxHint.empty()) {
        text = FBoxHint;
    } else if (FOverIcon && !FIconHint.empty()) {
        text = FIconHint;
    } else if (FAutoShowHint) {
        if (self->FoundTextEllipsis()) text = Hint().empty() ? Caption() : Hint();
    } else {
        text = Hint();
    }
    if (OnShowHint) OnShowHint(self, text);
    return text;
}

TRect TRdImageButton::ActiveHintArea() const {
    // The layout is computed on demand; asking for it changes nothing visible.
    auto* self = const_cast<TRdImageButton*>(this);
    if (FOverBox && FShowCheckBox && !FBoxHint.empty()) return self->CheckBoxRect();
    if (FOverIcon && !FIconHint.empty()) return self->IconRect();
    return ClientRect();
}

// --- Properties for skins -----------------------------------------------------------------

void TRdImageButton::PublishProperties(TPropertyTable& t) {
    TRdGraphicControl::PublishProperties(t);
    t.SetClassName("TRdImageButton");
    const std::pair<const char*, TPicture*> pictures[] = {
        {"ImageNormal", &FImageNormal},
        {"ImageOver", &FImageOver},
        {"ImageDown", &FImageDown},
        {"ImageDisabled", &FImageDisabled},
        {"ImageSelected", &FImageSelected},
        {"ExpandImage", &FExpandImage},
        {"ImageRange", &FImageRange},
        {"DnNormalIcon", &FIcons[0][0]},
        {"DnHoverIcon", &FIcons[0][1]},
        {"DnDownIcon", &FIcons[0][2]},
        {"DnSelectedIcon", &FIcons[0][3]},
        {"DnDisableIcon", &FIcons[0][4]},
        {"UpNormalIcon", &FIcons[1][0]},
        {"UpHoverIcon", &FIcons[1][1]},
        {"UpDownIcon", &FIcons[1][2]},
        {"UpSelectedIcon", &FIcons[1][3]},
        {"UpDisableIcon", &FIcons[1][4]},
        {"CheckBoxNormalImage", &FBoxImages[0][0]},
        {"CheckBoxUnCheckedHoverImage", &FBoxImages[0][1]},
        {"CheckBoxGrayedImage", &FBoxImages[0][2]},
        {"CheckBoxCheckedImage", &FBoxImages[1][0]},
        {"CheckBoxCheckedHoverImage", &FBoxImages[1][1]},
        {"CheckBoxCheckedGrayedImage", &FBoxImages[1][2]},
        {"CheckBoxHalfCheckedImage", &FBoxImages[2][0]},
        {"CheckBoxHalfCheckedHoverImage", &FBoxImages[2][1]},
        {"CheckBoxHalfCheckedGrayedImage", &FBoxImages[2][2]},
    };
    for (const auto& [name, picture] : pictures) AddPictureProperty(t, name, *picture, FSkinPictures);
    t.AddObject("ImageOption", DesignRectProperties(FImageOption));

    auto boolean = [&t](const char* name, bool& field, std::function<void(bool)> set) {
        t.AddBool(name, [&field] { return field; }, std::move(set));
    };
    auto integer = [&t](const char* name, int& field, std::function<void(int)> set) {
        t.AddInt(name, [&field] { return field; }, std::move(set));
    };
    auto color = [&t](const char* name, TColor& field, std::function<void(TColor)> set) {
        t.AddColor(name, [&field] { return field; }, std::move(set));
    };
    const std::vector<std::string> alignments{"taLeftJustify", "taRightJustify", "taCenter"};
    const std::vector<std::string> vertical{"taAlignTop", "taAlignBottom", "taVerticalCenter"};
    auto alignment = [&](const char* name, TAlignment& field, std::function<void(TAlignment)> set) {
        t.AddEnum(name, alignments, [&field] { return int(field); },
                  [set](int v) { set(static_cast<TAlignment>(v)); });
    };
    auto valign = [&](const char* name, TVerticalAlignment& field, std::function<void(TVerticalAlignment)> set) {
        t.AddEnum(name, vertical, [&field] { return int(field); },
                  [set](int v) { set(static_cast<TVerticalAlignment>(v)); });
    };

    boolean("Expand", FExpand, [this](bool v) { SetExpand(v); });
    boolean("AutoSize", FAutoSize, [this](bool v) { SetAutoSize(v); });
    boolean("AutoSizeByText", FAutoSizeByText, [this](bool v) { SetAutoSizeByText(v); });
    t.AddEnum("HoverEffect", {"ibeNone", "ibeSingle", "ibeDouble"}, [this] { return int(FHoverEffect); },
              [this](int v) { SetHoverEffect(static_cast<TAniEffect>(v)); });
    color("FontHoverColor", FFontHoverColor, [this](TColor v) { SetFontHoverColor(v); });
    color("FontDownColor", FFontDownColor, [this](TColor v) { SetFontDownColor(v); });
    color("FontDisabledColor", FFontDisabledColor, [this](TColor v) { SetFontDisabledColor(v); });
    color("FontSelectedColor", FFontSelectedColor, [this](TColor v) { SetFontSelectedColor(v); });
    color("FontCheckedColor", FFontCheckedColor, [this](TColor v) { SetFontCheckedColor(v); });
    t.AddBool("FontAntialiased", [this] { return FontAntialiased(); }, [this](bool v) { SetFontAntialiased(v); });
    alignment("ButtonCaptionAlignment", FCaptionAlignment, [this](TAlignment v) { SetButtonCaptionAlignment(v); });
    valign("TextAlignY", FTextAlignY, [this](TVerticalAlignment v) { SetTextAlignY(v); });
    integer("TextOffset", FTextOffset, [this](int v) { SetTextOffset(v); });
    integer("TextLeftMargin", FTextLeftMargin, [this](int v) { SetTextLeftMargin(v); });
    integer("TextRightMargin", FTextRightMargin, [this](int v) { SetTextRightMargin(v); });
    integer("TextTopMargin", FTextTopMargin, [this](int v) { SetTextTopMargin(v); });
    integer("TextBottomMargin", FTextBottomMargin, [this](int v) { SetTextBottomMargin(v); });
    integer("TextTopOffset", FTextTopOffset, [this](int v) { SetTextTopOffset(v); });
    boolean("WordWrap", FWordWrap, [this](bool v) { SetWordWrap(v); });
    integer("TextMaxLine", FTextMaxLine, [this](int v) { SetTextMaxLine(v); });
    alignment("TextWarpAlign", FTextWarpAlign, [this](TAlignment v) { SetTextWarpAlign(v); });
    boolean("EllipsisByHeight", FEllipsisByHeight, [this](bool v) { SetEllipsisByHeight(v); });
    boolean("ShowAccelChar", FShowAccelChar, [this](bool v) { SetShowAccelChar(v); });
    boolean("AutoShowHint", FAutoShowHint, [this](bool v) { SetAutoShowHint(v); });
    t.AddString("SubCaption", [this] { return FSubCaption; }, [this](const std::string& v) { SetSubCaption(v); });
    t.AddString("SubCaptionData", [this] { return FSubCaptionData; },
                [this](const std::string& v) { SetSubCaptionData(v); });
    integer("SubCaptionOffset", FSubCaptionOffset, [this](int v) { SetSubCaptionOffset(v); });
    boolean("IconVisible", FIconVisible, [this](bool v) { SetIconVisible(v); });
    alignment("IconAlign", FIconAlign, [this](TAlignment v) { SetIconAlign(v); });
    valign("IconAlignY", FIconAlignY, [this](TVerticalAlignment v) { SetIconAlignY(v); });
    boolean("IconAlignByText", FIconAlignByText, [this](bool v) { SetIconAlignByText(v); });
    boolean("IconAlignYByText", FIconAlignYByText, [this](bool v) { SetIconAlignYByText(v); });
    integer("IconOffset", FIconOffset, [this](int v) { SetIconOffset(v); });
    integer("IconOffsetY", FIconOffsetY, [this](int v) { SetIconOffsetY(v); });
    boolean("IconFullClick", FIconFullClick, [this](bool v) { SetIconFullClick(v); });
    boolean("IconLockBySelected", FIconLockBySelected, [this](bool v) { SetIconLockBySelected(v); });
    t.AddString("IconHint", [this] { return FIconHint; }, [this](const std::string& v) { SetIconHint(v); });
    boolean("ShowCheckBox", FShowCheckBox, [this](bool v) { SetShowCheckBox(v); });
    t.AddEnum("CheckState", {"cbUnchecked", "cbChecked", "cbGrayed"}, [this] { return int(FCheckState); },
              [this](int v) { SetCheckState(static_cast<TCheckBoxState>(v)); });
    t.AddBool("Checked", [this] { return Checked(); }, [this](bool v) { SetChecked(v); });
    boolean("CheckBoxFullClick", FCheckBoxFullClick, [this](bool v) { SetCheckBoxFullClick(v); });
    alignment("CheckBoxAlignX", FBoxAlignX, [this](TAlignment v) { SetCheckBoxAlignX(v); });
    boolean("CheckBoxAlignXByText", FBoxAlignXByText, [this](bool v) { SetCheckBoxAlignXByText(v); });
    valign("CheckBoxAlignY", FBoxAlignY, [this](TVerticalAlignment v) { SetCheckBoxAlignY(v); });
    boolean("CheckBoxAlignYByFont", FBoxAlignYByFont, [this](bool v) { SetCheckBoxAlignYByFont(v); });
    t.AddEnum("CheckBoxAlignYByFontLine", {"tlTop", "tlCenter", "tlBottom"},
              [this] { return int(FBoxAlignYByFontLine); },
              [this](int v) { SetCheckBoxAlignYByFontLine(static_cast<TTextLayout>(v)); });
    integer("CheckBoxOffset", FBoxOffset, [this](int v) { SetCheckBoxOffset(v); });
    integer("CheckBoxOffsetY", FBoxOffsetY, [this](int v) { SetCheckBoxOffsetY(v); });
    t.AddString("CheckBoxHint", [this] { return FBoxHint; }, [this](const std::string& v) { SetCheckBoxHint(v); });
}
