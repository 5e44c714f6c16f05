// TRdImageButton: the choice of pictures and colours, the layout of caption, icon
// and check box, AutoSizeByText, and painting.
#include <algorithm>
#include <climits>

#include "public/rdcontrol/controls/common/PictureDraw.h"
#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"
#include "public/rdcontrol/controls/imagebutton/RdImageButtonLayout.h"

namespace {

// "&x" marks x (underlined); "&&" is a literal "&".
std::string StripAccel(const std::string& caption, int& accel) {
    std::string shown;
    accel = -1;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && accel < 0) accel = static_cast<int>(shown.size());
        }
        shown += caption[i];
    }
    return shown;
}

std::size_t CodePointLength(const std::string& s, std::size_t at) {
    std::size_t n = 1;
    while (at + n < s.size() && (static_cast<unsigned char>(s[at + n]) & 0xC0) == 0x80) ++n;
    return n;
}

int AlignIn(TAlignment alignment, int left, int right, int width) {
    switch (alignment) {
        case taRightJustify: return right - width;
        case taCenter: return left + (right - left - width) / 2;
        case taLeftJustify: break;
    }
    return left;
}

bool IsSet(TColor c) { return c != clDefault; }

}  // namespace

// --- Choices ----------------------------------------------------------------------------

TPicture* TRdImageButton::CurrentImage() {
    auto pick = [](TPicture& p) { return p.Empty() ? nullptr : &p; };
    TPicture* p = nullptr;
    if (FState == TButtonState::Down && FMouseInside) p = pick(FImageDown);
    if (!p && FMouseInside && Enabled() && FState != TButtonState::Selected) p = pick(FImageOver);
    if (!p && (!Enabled() || FState == TButtonState::Disabled)) p = pick(FImageDisabled);
    if (!p && FState == TButtonState::Selected) p = pick(FImageSelected);
    if (!p && FExpand) p = pick(FExpandImage);
    if (!p) p = pick(FImageNormal);
    return p;
}

TPicture* TRdImageButton::CurrentIcon() {
    auto& set = FIcons[FExpand ? 1 : 0];
    int index = 0;
    if (!Enabled()) {
        index = 4;
    } else {
        switch (FIconState) {
            case TIconState::Normal: index = 0; break;
            case TIconState::Hover: index = 1; break;
            case TIconState::Down: index = 2; break;
            case TIconState::Selected: index = 3; break;
            case TIconState::Disabled: index = 4; break;
        }
    }
    if (set[index].Empty()) index = 0;
    return set[index].Empty() ? nullptr : &set[index];
}

TPicture* TRdImageButton::CurrentCheckBoxImage() {
    auto& row = FBoxImages[FCheckState == cbChecked ? 1 : FCheckState == cbGrayed ? 2 : 0];
    int column = 0;
    if (!Enabled() && !row[2].Empty()) column = 2;
    else if (FOverBox && !row[1].Empty()) column = 1;
    return row[column].Empty() ? nullptr : &row[column];
}

TColor TRdImageButton::CurrentTextColor() const {
    const TColor normal = FMouseInside && IsSet(FFontHoverColor)                  ? FFontHoverColor
                          : FCheckState == cbChecked && IsSet(FFontCheckedColor) ? FFontCheckedColor
                                                                                  : Font().Color();
    switch (FState) {
        case TButtonState::Normal: return normal;
        case TButtonState::Down: return IsSet(FFontDownColor) ? FFontDownColor : normal;
        case TButtonState::Disabled: return IsSet(FFontDisabledColor) ? FFontDisabledColor : Font().Color();
        case TButtonState::Selected:
            if (IsSet(FFontSelectedColor)) return FFontSelectedColor;
            if (FCheckState == cbChecked && IsSet(FFontCheckedColor)) return FFontCheckedColor;
            return Font().Color();
    }
    return normal;
}

// --- Layout --------------------------------------------------------------------------------

const TRdImageButton::TLayoutCache& TRdImageButton::Layout() {
    if (!FLayout) FLayout = std::make_unique<TLayoutCache>();
    if (!FLayout->Valid) {
        ComputeLayout(*FLayout);
        FLayout->Valid = true;
    }
    return *FLayout;
}

void TRdImageButton::ComputeLayout(TLayoutCache& L) {
    const TRect c = ClientRect();
    TTextRenderer& renderer = Font().TextRenderer() ? *Font().TextRenderer() : DefaultTextRenderer();
    const TFontSpec& spec = Font().Spec();

    // 1-2: the client area less the offset on the aligned side and the margins.
    TRect t = c;
    if (FCaptionAlignment == taLeftJustify) t.Left += FTextOffset;
    if (FCaptionAlignment == taRightJustify) t.Right -= FTextOffset;
    t.Left = std::max(t.Left, c.Left + FTextLeftMargin);
    t.Right = std::min(t.Right, c.Right - FTextRightMargin);
    t.Top += FTextTopMargin;
    t.Bottom -= FTextBottomMargin;

    // 3: an icon beside the text (not placed by the text) narrows it.
    TPicture* icon = FIconVisible ? CurrentIcon() : nullptr;
    const int iw = icon ? icon->Width() : 0, ih = icon ? icon->Height() : 0;
    int iconX = 0;
    if (icon && !FIconAlignByText) {
        iconX = FIconAlign == taLeftJustify    ? c.Left + FIconOffset
                : FIconAlign == taRightJustify ? c.Right - iw - FIconOffset
                                               : c.Left + (c.Width() - iw) / 2 + FIconOffset;
        if (FIconAlign == taLeftJustify) t.Left = std::max(t.Left, iconX + iw + FTextOffset);
        if (FIconAlign == taRightJustify) t.Right = std::min(t.Right, iconX - FTextOffset);
    }
    L.TextArea = t;

    // 4-5: the lines.
    L.Shown = FShowAccelChar ? StripAccel(Caption(), L.Accel) : Caption();
    if (!FShowAccelChar) L.Accel = -1;
    const int lineHeight = std::max(renderer.Metrics(spec).Height, 1);
    L.LineHeight = lineHeight;
    unsigned flags = tfLeft | tfTop;
    int layoutHeight = 1 << 20;
    if (FWordWrap) {
        flags |= tfWordBreak;
        int maxLines = FTextMaxLine > 0 ? FTextMaxLine : INT_MAX;
        if (FEllipsisByHeight) maxLines = std::min(maxLines, std::max(1, t.Height() / lineHeight));
        if (maxLines != INT_MAX) {
            flags |= tfEndEllipsis;
            layoutHeight = maxLines * lineHeight;
        }
    } else {
        flags |= tfSingleLine | tfEndEllipsis;
    }
    LayoutText(renderer, spec, L.Shown, TRect{0, 0, std::max(t.Width(), 1), layoutHeight}, flags, L.Lines);

    int blockWidth = 0;
    for (const TTextLine& line : L.Lines.Lines) blockWidth = std::max(blockWidth, line.Width);
    const int blockHeight = static_cast<int>(L.Lines.Lines.size()) * lineHeight;
    const int x0 = AlignIn(FCaptionAlignment, t.Left, t.Right, blockWidth);
    int y0 = FTextAlignY == taAlignTop      ? t.Top
             : FTextAlignY == taAlignBottom ? t.Bottom - blockHeight
                                            : t.Top + (t.Height() - blockHeight) / 2;
    y0 += FTextTopOffset;
    L.Block = TRect{x0, y0, x0 + blockWidth, y0 + blockHeight};
    L.LinePos.clear();
    for (std::size_t i = 0; i < L.Lines.Lines.size(); ++i)
        L.LinePos.push_back(TPoint{AlignIn(FTextWarpAlign, x0, x0 + blockWidth, L.Lines.Lines[i].Width),
                                   y0 + static_cast<int>(i) * lineHeight});

    // The icon, now that the text block is known.
    L.Icon = TRect{};
    if (icon) {
        const TRect& b = L.Block;
        if (FIconAlignByText)
            iconX = FIconAlign == taLeftJustify    ? b.Left - iw - FIconOffset
                    : FIconAlign == taRightJustify ? b.Right + FIconOffset
                                                   : b.Left + (b.Width() - iw) / 2 + FIconOffset;
        const TRect& v = FIconAlignYByText ? b : c;
        const int iconY = FIconAlignY == taAlignTop      ? v.Top + FIconOffsetY
                          : FIconAlignY == taAlignBottom ? v.Bottom - ih - FIconOffsetY
                                                         : v.Top + (v.Height() - ih) / 2 + FIconOffsetY;
        L.Icon = TRect::FromSize(iconX, iconY, iw, ih);
    }

    // The check box (C the client area, T the caption block, o and oy the offsets).
    L.Box = TRect{};
    TPicture* box = FShowCheckBox ? CurrentCheckBoxImage() : nullptr;
    if (box) {
        const int bw = box->Width(), bh = box->Height(), o = FBoxOffset, oy = FBoxOffsetY;
        const TRect& T = L.Block;
        int x;
        if (!FBoxAlignXByText)
            x = FBoxAlignX == taLeftJustify    ? c.Left + o
                : FBoxAlignX == taRightJustify ? c.Width() - bw - o
                                               : (c.Width() - bw) / 2 + o;
        else
            x = FBoxAlignX == taLeftJustify    ? T.Left - bw - o
                : FBoxAlignX == taRightJustify ? T.Right + o
                                               : T.Left + (T.Width() - bw) / 2 + o;
        const int fh = Font().FontHeight(), fbl = Font().FontBaseLine(), ftl = Font().FontTopLine();
        int y;
        switch (FBoxAlignY) {
            case taVerticalCenter:
                y = FBoxAlignYByFont ? T.Top + (T.Height() - bh) / 2 + oy : c.Top + (c.Height() - bh) / 2 + oy;
                break;
            case taAlignTop:
                if (!FBoxAlignYByFont) y = T.Top + oy;
                else if (FBoxAlignYByFontLine == tlTop) y = T.Top + ftl + oy;
                else if (FBoxAlignYByFontLine == tlCenter) y = T.Top + (fh - bh) / 2 + oy;
                else y = T.Top + (fh - fbl) - bh - oy;  // box bottom on the first line's base line
                break;
            case taAlignBottom:
            default:
                if (!FBoxAlignYByFont) y = T.Bottom - bh - oy;
                else if (FBoxAlignYByFontLine == tlTop) y = T.Bottom - fh + ftl + oy;
                else if (FBoxAlignYByFontLine == tlCenter) y = T.Bottom - fh + (fh - bh) / 2 + oy;
                else y = T.Bottom - fbl - bh - oy;
                break;
        }
        L.Box = TRect::FromSize(x, y, bw, bh);
    }
}

TRect TRdImageButton::TextRect() { return Layout().TextArea; }
TRect TRdImageButton::TextBlockRect() { return Layout().Block; }
TRect TRdImageButton::IconRect() { return Layout().Icon; }
TRect TRdImageButton::CheckBoxRect() { return Layout().Box; }
bool TRdImageButton::FoundTextEllipsis() const { return const_cast<TRdImageButton*>(this)->Layout().Lines.Cut; }
bool TRdImageButton::FoundTextWordBreak() const {
    return const_cast<TRdImageButton*>(this)->Layout().Lines.Wrapped;
}
int TRdImageButton::FoundTextDrawLine() const {
    return static_cast<int>(const_cast<TRdImageButton*>(this)->Layout().Lines.Lines.size());
}

void TRdImageButton::DoAutoSizeByText() {
    if (!FAutoSizeByText || FAutoSizing || Destroying()) return;
    FAutoSizing = true;
    TTextRenderer& renderer = Font().TextRenderer() ? *Font().TextRenderer() : DefaultTextRenderer();
    int accel = -1;
    const std::string shown = FShowAccelChar ? StripAccel(Caption(), accel) : Caption();
    const int lineHeight = std::max(renderer.Metrics(Font().Spec()).Height, 1);
    int width = FTextLeftMargin + FTextRightMargin + (FCaptionAlignment != taCenter ? FTextOffset : 0);
    int height;
    if (FWordWrap) {
        // Wrapped text keeps the width it has and takes the height it needs.
        if (FLayout) FLayout->Valid = false;
        const TLayoutCache& l = Layout();
        width = Width();
        height = static_cast<int>(l.Lines.Lines.size()) * lineHeight;
    } else {
        width += renderer.TextWidth(Font().Spec(), shown);
        if (TPicture* box = FShowCheckBox ? CurrentCheckBoxImage() : nullptr) width += box->Width() + FBoxOffset;
        if (TPicture* icon = FIconVisible ? CurrentIcon() : nullptr) width += icon->Width() + FIconOffset + FTextOffset;
        height = lineHeight;
    }
    height += FTextTopMargin + FTextBottomMargin;
    if (TPicture* box = FShowCheckBox ? CurrentCheckBoxImage() : nullptr) height = std::max(height, box->Height());
    if (TPicture* icon = FIconVisible ? CurrentIcon() : nullptr) height = std::max(height, icon->Height());
    // A control held at its right (bottom) edge keeps that edge.
    const bool keepRight = Align() == alRight || ((Anchors() & akRight) && !(Anchors() & akLeft));
    const bool keepBottom = Align() == alBottom || ((Anchors() & akBottom) && !(Anchors() & akTop));
    const int left = keepRight ? Left_Right() - width : Left();
    const int top = keepBottom ? Top_Bottom() - height : Top();
    SetBounds(left, top, width, height);
    FAutoSizing = false;
}

// --- Painting ---------------------------------------------------------------------------------

void TRdImageButton::PaintBackground(TRdCanvas& canvas) {
    const TRect c = ClientRect();
    if (FHoverPhase != THoverPhase::None && HoverApplies()) {
        TPicture& target = FHoverPhase == THoverPhase::FadingIn ? FImageOver : FImageNormal;
        TPicture& source = FHoverPhase == THoverPhase::FadingIn ? FImageNormal : FImageOver;
        const int s = FHoverStep;
        DrawPicture(canvas, target, FImageOption, c, static_cast<std::uint8_t>(FHoverEffect == ibeSingle ? 255 : s));
        DrawPicture(canvas, source, FImageOption, c, static_cast<std::uint8_t>(255 - s));
        return;
    }
    if (TPicture* picture = CurrentImage()) DrawPicture(canvas, *picture, FImageOption, c);
}

void TRdImageButton::PaintCaption(TRdCanvas& canvas) {
    const TLayoutCache& L = Layout();
    const TColor color = CurrentTextColor();
    const std::uint8_t alpha = Font().Alpha();
    const TFontSpec& spec = Font().Spec();
    for (std::size_t i = 0; i < L.Lines.Lines.size(); ++i) {
        const TTextLine& line = L.Lines.Lines[i];
        const TPoint at = L.LinePos[i];
        canvas.TextOut(at.X, at.Y, LineText(L.Shown, line), spec, color, alpha);
        const auto accel = static_cast<std::size_t>(L.Accel);
        if (L.Accel >= 0 && accel >= line.Start && accel < line.Start + line.Length) {
            const int x = at.X + canvas.TextWidth(std::string_view(L.Shown).substr(line.Start, accel - line.Start), spec);
            const int w = canvas.TextWidth(std::string_view(L.Shown).substr(accel, CodePointLength(L.Shown, accel)), spec);
            const int y = at.Y + canvas.TextRenderer().Metrics(spec).Ascent + 1;
            if (w > 0) canvas.Line(x, y, x + w - 1, y, color, alpha);
        }
    }
    if (!FSubCaption.empty()) {
        const int y = L.Block.Top + FSubCaptionOffset;
        const int w = canvas.TextWidth(FSubCaption, FSubCaptionFont.Spec());
        canvas.TextOut(AlignIn(FCaptionAlignment, L.TextArea.Left, L.TextArea.Right, w), y, FSubCaption,
                       FSubCaptionFont.Spec(), FSubCaptionFont.Color(), FSubCaptionFont.Alpha());
    }
    if (!FSubCaptionData.empty()) {
        const int y = L.Block.Top + FSubCaptionOffset;
        const int w = canvas.TextWidth(FSubCaptionData, FSubCaptionDataFont.Spec());
        canvas.TextOut(L.TextArea.Right - w, y, FSubCaptionData, FSubCaptionDataFont.Spec(),
                       FSubCaptionDataFont.Color(), FSubCaptionDataFont.Alpha());
    }
}

void TRdImageButton::Paint(TRdCanvas& canvas) {
    PaintBackground(canvas);
    if (OnPaintImage) OnPaintImage(this, canvas);
    PaintCaption(canvas);
    const TLayoutCache& L = Layout();
    const TDesignRect natural;
    if (TPicture* icon = FIconVisible ? CurrentIcon() : nullptr; icon && !L.Icon.IsEmpty())
        DrawPicture(canvas, *icon, natural, L.Icon);
    if (TPicture* box = FShowCheckBox ? CurrentCheckBoxImage() : nullptr; box && !L.Box.IsEmpty())
        DrawPicture(canvas, *box, natural, L.Box);
    if (OnPaintEnd) OnPaintEnd(this, canvas);
}
