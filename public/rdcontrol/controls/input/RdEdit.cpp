#include "public/rdcontrol/controls/input/RdEdit.h"

#include <algorithm>

#include "public/rdcontrol/controls/common/PictureDraw.h"
#include "public/rdcontrol/framework/Form.h"
#include "public/rdcontrol/skin/RdFontSkin.h"

TRdEdit::TRdEdit(TComponent* owner)
    : TNativeEdit(owner), FErrorLink(FFontError, FFontNormal), FDisabledLink(FFontDisabled, FFontNormal) {
    SetColor(clWindow);
    SetParentFont(false);
    FFontError.SetColor(clRed);
    FFontDisabled.SetColor(clGray);
    FErrorLink.SetExplicit(TRdFontLink::faColor);
    FDisabledLink.SetExplicit(TRdFontLink::faColor);
    FFontNormal.OnChange = [this] {
        FErrorLink.BaseChanged();
        FDisabledLink.BaseChanged();
        ApplyStateFont();
    };
    FFontError.OnChange = [this] {
        FErrorLink.FontChanged();
        ApplyStateFont();
    };
    FFontDisabled.OnChange = [this] {
        FDisabledLink.FontChanged();
        ApplyStateFont();
    };
    for (TPicture* p : {&FImageNormal, &FImageOver, &FImageSelected, &FImageDisabled, &FImageError, &FImageEmpty})
        p->OnChange = [this](TPicture*) { Invalidate(); };
    FImageOption.OnChange = [this] { Invalidate(); };
    ApplyStateFont();
}

TRdEdit::~TRdEdit() {
    BeginDestroy();
    FFontNormal.OnChange = nullptr;
    FFontError.OnChange = nullptr;
    FFontDisabled.OnChange = nullptr;
    for (TPicture* p : {&FImageNormal, &FImageOver, &FImageSelected, &FImageDisabled, &FImageError, &FImageEmpty})
        p->OnChange = nullptr;
    FImageOption.OnChange = nullptr;
}

// --- State ------------------------------------------------------------------------

TEditState TRdEdit::State() const {
    return TEditState{Enabled(), FFocused, FErrorMode, Hover(), FEmpty};
}

TEditImage TRdEdit::CurrentImage() const {
    TEditImages present;
    present.Over = !FImageOver.Empty();
    present.Selected = !FImageSelected.Empty();
    present.Disabled = !FImageDisabled.Empty();
    present.Error = !FImageError.Empty();
    present.Empty = !FImageEmpty.Empty();
    return SelectEditImage(State(), present);
}

TPicture& TRdEdit::Image(TEditImage image) {
    switch (image) {
        case TEditImage::Over: return FImageOver;
        case TEditImage::Selected: return FImageSelected;
        case TEditImage::Disabled: return FImageDisabled;
        case TEditImage::Error: return FImageError;
        case TEditImage::Empty: return FImageEmpty;
        case TEditImage::Normal: break;
    }
    return FImageNormal;
}

TRdFont& TRdEdit::StateFont() {
    switch (SelectEditFont(State())) {
        case TEditFont::Disabled: return FFontDisabled;
        case TEditFont::Error: return FFontError;
        case TEditFont::Normal: break;
    }
    return FFontNormal;
}

void TRdEdit::ApplyStateFont() {
    if (FSwitchingFont) return;
    FSwitchingFont = true;
    Font().Assign(StateFont());
    FSwitchingFont = false;
    ApplyOptions();
    // The text area depends on the font's height.
    if (Native()) Sync();
    Invalidate();
}

void TRdEdit::ApplyOptions() {
    if (!Native()) return;
    TNativeEditOptions o;
    o.Skinned = true;
    o.TextColor = Font().Color();
    o.PasswordChar = FPasswordChar;
    o.CharCase = FCharCase;
    o.Alignment = FAlignment == taRightJustify ? 1 : FAlignment == taCenter ? 2 : 0;
    o.HitTransparent = !Enabled();
    Native()->SetEditOptions(o);
}

void TRdEdit::NativeCreated() {
    TNativeEdit::NativeCreated();
    ApplyOptions();
}

void TRdEdit::SetText(const std::string& utf8) { TNativeEdit::SetText(AllowedText(utf8)); }

void TRdEdit::NativeChanged() {
    if (Native()) {
        // A refused character typed or pasted: the text without it, which reports its
        // own change.
        const std::string text = Native()->Text();
        const std::string allowed = AllowedText(text);
        if (allowed != text) {
            Native()->SetText(allowed);
            return;
        }
    }
    TNativeEdit::NativeChanged();
    if (!FFocused) RecomputeEmpty();
}

std::string TRdEdit::AllowedText(const std::string& text) const {
    if (FMaxLength <= 0 && !FNumbersOnly) return text;
    std::string out;
    int characters = 0;
    for (std::size_t i = 0; i < text.size();) {
        // One UTF-8 sequence: its lead byte tells its length.
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, text.size() - i);
        const bool digit = length == 1 && lead >= '0' && lead <= '9';
        if (!FNumbersOnly || digit) {
            if (FMaxLength > 0 && characters == FMaxLength) break;
            out.append(text, i, length);
            ++characters;
        }
        i += length;
    }
    return out;
}

void TRdEdit::SetMaxLength(int v) {
    FMaxLength = std::max(0, v);
    const std::string text = Text();
    if (AllowedText(text) != text) SetText(text);
}

void TRdEdit::SetNumbersOnly(bool v) {
    FNumbersOnly = v;
    const std::string text = Text();
    if (AllowedText(text) != text) SetText(text);
}

void TRdEdit::RecomputeEmpty() {
    const bool empty = Text().empty();
    if (empty == FEmpty) return;
    FEmpty = empty;
    Invalidate();
}

void TRdEdit::DoEnter() {
    FFocused = true;
    FEmpty = false;
    TNativeEdit::DoEnter();  // native focus, repaint, OnEnter
    Invalidate();
}

void TRdEdit::DoExit() {
    TNativeEdit::DoExit();  // OnExit
    FFocused = false;
    FEmpty = Text().empty();
    Invalidate();
}

void TRdEdit::HoverChanged(bool before) {
    if (Hover() == before) return;
    if (Enabled() && !FFocused && !FImageOver.Empty()) Invalidate();
}

void TRdEdit::MouseEnter() {
    const bool before = Hover();
    FHoverFrame = true;
    TNativeEdit::MouseEnter();
    HoverChanged(before);
}

void TRdEdit::MouseLeave() {
    const bool before = Hover();
    FHoverFrame = false;
    TNativeEdit::MouseLeave();
    HoverChanged(before);
}

void TRdEdit::NativeHover(bool inside) {
    const bool before = Hover();
    FHoverNative = inside;
    HoverChanged(before);
}

void TRdEdit::EnabledChanged() {
    TNativeEdit::EnabledChanged();
    if (!Enabled() && Focused())
        if (TCustomForm* form = Form()) {
            form->SelectNext(true);
            if (form->ActiveControl() == this) form->SetActiveControl(nullptr);
        }
    ApplyStateFont();
}

void TRdEdit::Resize() {
    TNativeEdit::Resize();
    if (Native()) Sync();
}

// --- Properties -------------------------------------------------------------------

void TRdEdit::SetFontEmptyColor(TColor v) {
    if (v == FFontEmptyColor) return;
    FFontEmptyColor = v;
    Invalidate();
}

void TRdEdit::SetErrorMode(bool v) {
    if (v == FErrorMode) return;
    FErrorMode = v;
    ApplyStateFont();
}

void TRdEdit::SetImageOptionEmpty(bool empty) {
    if (empty) {
        FImageOption.Assign(TDesignRect{});
        return;
    }
    if (!FImageOption.Empty()) return;
    const int w = FImageNormal.Width() / 3, h = FImageNormal.Height() / 3;
    TDesignRect r;
    r.SetLeft(w);
    r.SetRight(w);
    r.SetTop(h);
    r.SetBottom(h);
    FImageOption.Assign(r);
}

void TRdEdit::SetTextLeftMargin(int v) {
    if (v == FTextLeftMargin) return;
    FTextLeftMargin = v;
    if (Native()) Sync();
    Invalidate();
}

void TRdEdit::SetTextRightMargin(int v) {
    if (v == FTextRightMargin) return;
    FTextRightMargin = v;
    if (Native()) Sync();
    Invalidate();
}

void TRdEdit::SetBorderWidth(int v) {
    v = std::max(0, v);
    if (v == FBorderWidth) return;
    FBorderWidth = v;
    if (Native()) Sync();
    Invalidate();
}

void TRdEdit::SetTextHint(const std::string& v) {
    if (v == FTextHint) return;
    FTextHint = v;
    if (!FFocused && Text().empty()) FEmpty = true;
    Invalidate();
}

void TRdEdit::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    ApplyOptions();
    Invalidate();
}

void TRdEdit::SetPasswordChar(char32_t v) {
    if (v == FPasswordChar) return;
    FPasswordChar = v;
    ApplyOptions();
}

void TRdEdit::SetCharCase(TEditCharCase v) {
    if (v == FCharCase) return;
    FCharCase = v;
    ApplyOptions();
}

// --- Geometry and painting ------------------------------------------------------------

TRect TRdEdit::TextArea() const {
    const int th = Font().FontHeight();
    const int top = std::clamp((Height() - th) / 2 - FBorderWidth, 0, Height());
    return TRect{FTextLeftMargin, top, std::max(FTextLeftMargin, Width() - FTextRightMargin), Height()};
}

TRect TRdEdit::NativeRect() const {
    const TPoint o = FormOrigin();
    return TextArea().Offset(o.X, o.Y);
}

void TRdEdit::Paint(TRdCanvas& canvas) {
    const TRect all = ClientRect();
    if (Color() != clNone) canvas.FillRect(all, Color());
    DrawPicture(canvas, Image(CurrentImage()), FImageOption, all);
    if (EditShowsPrompt(State()) && !FTextHint.empty()) {
        const unsigned align = FAlignment == taRightJustify ? tfRight : FAlignment == taCenter ? tfCenter : tfLeft;
        TCanvasStateSaver saver(canvas);
        const TRect area = TextArea();
        canvas.IntersectClip(area);
        canvas.DrawText(FTextHint, area, Font().Spec(), FFontEmptyColor, align | tfTop | tfSingleLine, Font().Alpha());
    }
    // The native text over what was just painted: through its snapshot on a
    // per-pixel-alpha form, by its own window (which paints these pixels under
    // its text) on the others.
    PaintNative(canvas);
    const TCustomForm* form = Form();
    if (Native() && form && form->Layering() != TFormLayering::PerPixelAlpha) Native()->Redraw();
}

void TRdEdit::PublishProperties(TPropertyTable& t) {
    TNativeEdit::PublishProperties(t);
    t.AddBool("ErrorMode", [this] { return FErrorMode; }, [this](bool v) { SetErrorMode(v); });
    t.AddInt("TextLeftMargin", [this] { return FTextLeftMargin; }, [this](int v) { SetTextLeftMargin(v); });
    t.AddInt("TextRightMargin", [this] { return FTextRightMargin; }, [this](int v) { SetTextRightMargin(v); });
    t.AddInt("BorderWidth", [this] { return FBorderWidth; }, [this](int v) { SetBorderWidth(v); });
    t.AddColor("FontEmptyColor", [this] { return FFontEmptyColor; }, [this](TColor v) { SetFontEmptyColor(v); });
    t.AddString("TextHint", [this] { return FTextHint; }, [this](const std::string& v) { SetTextHint(v); });
    t.AddInt("MaxLength", [this] { return FMaxLength; }, [this](int v) { SetMaxLength(v); });
    t.AddBool("NumbersOnly", [this] { return FNumbersOnly; }, [this](bool v) { SetNumbersOnly(v); });
    t.AddString("Text", [this] { return Text(); }, [this](const std::string& v) { SetText(v); });
    const std::pair<const char*, TPicture*> pictures[] = {
        {"ImageNormal", &FImageNormal},     {"ImageOver", &FImageOver},   {"ImageSelected", &FImageSelected},
        {"ImageDisabled", &FImageDisabled}, {"ImageError", &FImageError}, {"ImageEmpty", &FImageEmpty},
    };
    for (const auto& [name, picture] : pictures) AddPictureProperty(t, name, *picture, FSkinPictures);
    t.AddObject("ImageOption", DesignRectProperties(FImageOption));
    t.AddObject("FontNormal", FontProperties(FFontNormal));
    t.AddObject("FontError", FontProperties(FFontError));
    t.AddObject("FontDisabled", FontProperties(FFontDisabled));
}
