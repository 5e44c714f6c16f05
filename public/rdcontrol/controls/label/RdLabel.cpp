#include "public/rdcontrol/controls/label/RdLabel.h"

#include <algorithm>

#include "public/rdcontrol/controls/common/PictureDraw.h"
#include "public/rdcontrol/drawing/TextLayout.h"

std::string StripAccelChars(const std::string& caption, int& accelIndex) {
    accelIndex = -1;
    if (caption == "&") return caption;
    std::string out;
    out.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && accelIndex < 0) accelIndex = static_cast<int>(out.size());
        }
        out += caption[i];
    }
    return out;
}

std::string PathEllipsis(TTextRenderer& renderer, const TFontSpec& font, const std::string& text, int width) {
    if (renderer.TextWidth(font, text) <= width) return text;
    auto isSep = [](char c) { return c == '\\' || c == '/'; };
    const std::size_t firstSep = std::find_if(text.begin(), text.end(), isSep) - text.begin();
    const std::string head = firstSep < text.size() ? text.substr(0, firstSep + 1) : std::string();
    // Take ever shorter tails, each starting at a separator, until head...tail fits.
    for (std::size_t i = firstSep + 1; i < text.size(); ++i) {
        if (!isSep(text[i])) continue;
        const std::string candidate = head + std::string(TextEllipsis) + text.substr(i);
        if (renderer.TextWidth(font, candidate) <= width) return candidate;
    }
    const std::size_t lastSep = text.find_last_of("\\/");
    if (lastSep != std::string::npos && lastSep + 1 < text.size())
        return std::string(TextEllipsis) + text.substr(lastSep);
    return text;  // no path: the end ellipsis of the layout cuts it
}

TRdCustomLabel::TRdCustomLabel(TComponent* owner) : TRdGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
    FBkgNormal.OnChange = [this](TPicture*) { Invalidate(); };
    FBkgOption.OnChange = [this] { Invalidate(); };
    FTextBorder.OnChange = [this] { TextChanged(); };
}

TRdCustomLabel::~TRdCustomLabel() {
    FBkgNormal.OnChange = nullptr;
    FBkgOption.OnChange = nullptr;
    FTextBorder.OnChange = nullptr;
}

void TRdCustomLabel::SetCaption(const std::string& caption) {
    if (caption == Caption()) return;
    TRdGraphicControl::SetCaption(caption);
    TextChanged();
}

void TRdCustomLabel::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}
void TRdCustomLabel::SetLayout(TTextLayout v) {
    if (v == FLayout) return;
    FLayout = v;
    Invalidate();
}
void TRdCustomLabel::SetAutoSize(bool v) {
    if (v == FAutoSize) return;
    FAutoSize = v;
    TextChanged();
}
void TRdCustomLabel::SetWordWrap(bool v) {
    if (v == FWordWrap) return;
    FWordWrap = v;
    TextChanged();
}
void TRdCustomLabel::SetWrapChar(bool v) {
    if (v == FWrapChar) return;
    FWrapChar = v;
    Invalidate();
}
void TRdCustomLabel::SetEllipsisPosition(TEllipsisPosition v) {
    if (v == FEllipsisPosition) return;
    FEllipsisPosition = v;
    Invalidate();
}
void TRdCustomLabel::SetShowAccelChar(bool v) {
    if (v == FShowAccelChar) return;
    FShowAccelChar = v;
    TextChanged();
}
void TRdCustomLabel::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    Invalidate();
}
void TRdCustomLabel::SetFontHoverColor(TColor v) {
    if (v == FFontHoverColor) return;
    FFontHoverColor = v;
    Invalidate();
}
void TRdCustomLabel::SetFontDownColor(TColor v) {
    if (v == FFontDownColor) return;
    FFontDownColor = v;
    Invalidate();
}
void TRdCustomLabel::SetFontDisabledColor(TColor v) {
    if (v == FFontDisabledColor) return;
    FFontDisabledColor = v;
    Invalidate();
}
void TRdCustomLabel::SetGlowSize(int v) {
    v = std::clamp(v, 0, 16);
    if (v == FGlowSize) return;
    FGlowSize = v;
    Invalidate();
}

void TRdCustomLabel::SetFocusControl(TWinControl* control) {
    if (control == FFocusControl) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = control;
    if (FFocusControl) FFocusControl->FreeNotification(this);
}

bool TRdCustomLabel::DialogChar(char32_t key) {
    if (!FShowAccelChar || !FFocusControl || !Enabled() || !Showing()) return false;
    int accel = -1;
    const std::string shown = StripAccelChars(Caption(), accel);
    if (accel < 0) return false;
    char32_t letter = static_cast<unsigned char>(shown[static_cast<std::size_t>(accel)]);
    if (letter >= 'A' && letter <= 'Z') letter = letter - 'A' + 'a';
    if (letter != key) return false;
    // SetFocus first brings a control on a hidden page into view; a target that
    // still cannot take the focus leaves the key to other controls.
    FFocusControl->SetFocus();
    return FFocusControl->Focused();
}

void TRdCustomLabel::Notification(TComponent* component, TOperation operation) {
    TRdGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FFocusControl) FFocusControl = nullptr;
}

TColor TRdCustomLabel::TextColor() const {
    if (!Enabled()) return FFontDisabledColor;
    if (FLeftDown && FFontDownColor != clDefault) return FFontDownColor;
    if (MouseInControl() && FFontHoverColor != clDefault) return FFontHoverColor;
    return Font().Color();
}

TRect TRdCustomLabel::TextRect() const {
    const TRect c = ClientRect();
    return TRect{c.Left + FTextBorder.Left(), c.Top + FTextBorder.Top(), c.Right - FTextBorder.Right(),
                 c.Bottom - FTextBorder.Bottom()};
}

void TRdCustomLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}

void TRdCustomLabel::Resize() {
    TRdGraphicControl::Resize();
    // A wrapped text takes as many lines as the new width needs.
    if (FWordWrap) AdjustBounds();
}

void TRdCustomLabel::FontChanged() {
    TRdGraphicControl::FontChanged();
    AdjustBounds();
}

void TRdCustomLabel::EnabledChanged() {
    FLeftDown = false;
    Invalidate();
}

void TRdCustomLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        FLeftDown = true;
        if (FFontDownColor != clDefault) Invalidate();
    }
    TRdGraphicControl::MouseDown(button, shift, x, y);
}

void TRdCustomLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && FLeftDown) {
        FLeftDown = false;
        if (FFontDownColor != clDefault) Invalidate();
    }
    TRdGraphicControl::MouseUp(button, shift, x, y);
}

void TRdCustomLabel::MouseEnter() {
    TRdGraphicControl::MouseEnter();
    if (FFontHoverColor != clDefault) Invalidate();
}

void TRdCustomLabel::MouseLeave() {
    TRdGraphicControl::MouseLeave();
    if (FFontHoverColor != clDefault) Invalidate();
}

unsigned TRdCustomLabel::Flags() const {
    unsigned flags = FAlignment == taCenter ? tfCenter : FAlignment == taRightJustify ? tfRight : tfLeft;
    flags |= FLayout == tlCenter ? tfVCenter : FLayout == tlBottom ? tfBottom : tfTop;
    if (FWordWrap) flags |= tfWordBreak;
    if (FEllipsisPosition == epEndEllipsis || FEllipsisPosition == epWordEllipsis) {
        // Wrapped text cut by the height: its last line breaks anywhere with
        // WrapChar, at words without (the layout ignores tfWrapChar unwrapped).
        flags |= tfEndEllipsis;
        if (FWrapChar) flags |= tfWrapChar;
    } else if (FWordWrap && FWrapChar) {
        flags |= tfWrapChar;
    }
    return flags;
}

TPoint TRdCustomLabel::MeasureText() {
    int accel = -1;
    const std::string text = FShowAccelChar ? StripAccelChars(Caption(), accel) : Caption();
    TTextRenderer& renderer = DefaultTextRenderer();
    const int width = FWordWrap ? std::max(1, TextRect().Width()) : 1 << 20;
    const TTextBlock block = LayoutText(renderer, Font().Spec(), text, TRect{0, 0, width, 1 << 20},
                                        Flags() & ~unsigned(tfEndEllipsis | tfWrapChar | tfCenter | tfRight |
                                                            tfVCenter | tfBottom));
    const int height = text.empty() ? Font().FontHeight() : static_cast<int>(block.Lines.size()) * block.LineHeight;
    return TPoint{block.Bounds.Width(), height};
}

void TRdCustomLabel::AdjustBounds() {
    if (!FAutoSize || FAdjusting || Destroying()) return;
    FAdjusting = true;
    const TPoint text = MeasureText();
    int width = Width(), height = Height();
    const bool wrapped = FWordWrap;
    if (!wrapped && Align() != alTop && Align() != alBottom && Align() != alClient)
        width = FTextBorder.Left() + text.X + FTextBorder.Right();
    if (Align() != alLeft && Align() != alRight && Align() != alClient)
        height = FTextBorder.Top() + text.Y + FTextBorder.Bottom();
    SetBounds(Left(), Top(), width, height);
    FAdjusting = false;
}

void TRdCustomLabel::SetFoundText(bool ellipsis, bool wordBreak, int lines) {
    FFoundTextEllipsis = ellipsis;
    FFoundTextWordBreak = wordBreak;
    FFoundTextDrawLine = lines;
    if (FAutoShowHint) {
        std::string hint = ellipsis ? Caption() : std::string();
        if (OnShowHint) OnShowHint(this, hint);
        SetHint(hint);
    }
}

void TRdCustomLabel::PaintBackground(TRdCanvas& canvas) {
    if (!FTransparent && Color() != clNone) canvas.FillRect(ClientRect(), Color());
    DrawPicture(canvas, FBkgNormal, FBkgOption, ClientRect());
    if (OnPaintImage) OnPaintImage(this, canvas);
}

void TRdCustomLabel::PaintText(TRdCanvas& canvas) {
    int accel = -1;
    std::string text = FShowAccelChar ? StripAccelChars(Caption(), accel) : Caption();
    const TRect area = TextRect();
    const TFontSpec& font = Font().Spec();
    TTextRenderer& renderer = canvas.TextRenderer();
    unsigned flags = Flags();
    if (FEllipsisPosition == epPathEllipsis && !FWordWrap) {
        const std::string shortened = PathEllipsis(renderer, font, text, area.Width());
        if (shortened != text) {
            text = shortened;
            accel = -1;
        }
        flags |= tfEndEllipsis;  // what still does not fit is cut at its end
    }
    const TTextBlock block = LayoutText(renderer, font, text, area, flags);
    const TColor color = TextColor();
    const std::uint8_t alpha = Font().Alpha();
    {
        TCanvasStateSaver saver(canvas);
        canvas.IntersectClip(area);
        for (const TTextLine& line : block.Lines) {
            const std::string shown = LineText(text, line);
            if (FGlowSize > 0)
                for (int r = 1; r <= FGlowSize; ++r)
                    for (const auto& d : {TPoint{-r, 0}, TPoint{r, 0}, TPoint{0, -r}, TPoint{0, r}, TPoint{-r, -r},
                                          TPoint{r, r}, TPoint{-r, r}, TPoint{r, -r}})
                        canvas.TextOut(line.X + d.X, line.Y + d.Y, shown, font, clWhite,
                                       static_cast<std::uint8_t>(std::max(16, 96 / FGlowSize)));
            canvas.TextOut(line.X, line.Y, shown, font, color, alpha);
            if (accel >= 0 && static_cast<std::size_t>(accel) >= line.Start &&
                static_cast<std::size_t>(accel) < line.Start + line.Length) {
                const std::size_t at = static_cast<std::size_t>(accel);
                std::size_t end = at + 1;
                while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
                const int x0 = line.X + renderer.TextWidth(font, std::string_view(text).substr(line.Start, at - line.Start));
                const int x1 = x0 + renderer.TextWidth(font, std::string_view(text).substr(at, end - at));
                const int y = line.Y + renderer.Metrics(font).Ascent + 1;
                canvas.FillRect(TRect{x0, y, x1, y + 1}, color, alpha);
            }
        }
    }
    const int lineHeight = std::max(1, block.LineHeight);
    const int drawn = std::min(block.Bounds.Height(), area.Height());
    SetFoundText(block.Cut, block.Wrapped, std::max(0, drawn) / lineHeight);
}

void TRdCustomLabel::Paint(TRdCanvas& canvas) {
    PaintBackground(canvas);
    PaintText(canvas);
    if (OnPaintEnd) OnPaintEnd(this, canvas);
}

void TRdCustomLabel::PublishProperties(TPropertyTable& t) {
    TRdGraphicControl::PublishProperties(t);
    t.AddEnum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [this] { return int(FAlignment); },
              [this](int v) { SetAlignment(static_cast<TAlignment>(v)); });
    t.AddEnum("Layout", {"tlTop", "tlCenter", "tlBottom"}, [this] { return int(FLayout); },
              [this](int v) { SetLayout(static_cast<TTextLayout>(v)); });
    t.AddEnum("EllipsisPosition", {"epNone", "epPathEllipsis", "epEndEllipsis", "epWordEllipsis"},
              [this] { return int(FEllipsisPosition); },
              [this](int v) { SetEllipsisPosition(static_cast<TEllipsisPosition>(v)); });
    t.AddBool("AutoSize", [this] { return FAutoSize; }, [this](bool v) { SetAutoSize(v); });
    t.AddBool("WordWrap", [this] { return FWordWrap; }, [this](bool v) { SetWordWrap(v); });
    t.AddBool("WrapChar", [this] { return FWrapChar; }, [this](bool v) { SetWrapChar(v); });
    t.AddBool("ShowAccelChar", [this] { return FShowAccelChar; }, [this](bool v) { SetShowAccelChar(v); });
    t.AddBool("Transparent", [this] { return FTransparent; }, [this](bool v) { SetTransparent(v); });
    t.AddBool("AutoShowHint", [this] { return FAutoShowHint; }, [this](bool v) { SetAutoShowHint(v); });
    t.AddBool("FontAntialiased", [this] { return FontAntialiased(); }, [this](bool v) { SetFontAntialiased(v); });
    t.AddInt("GlowSize", [this] { return FGlowSize; }, [this](int v) { SetGlowSize(v); });
    t.AddColor("FontHoverColor", [this] { return FFontHoverColor; }, [this](TColor v) { SetFontHoverColor(v); });
    t.AddColor("FontDownColor", [this] { return FFontDownColor; }, [this](TColor v) { SetFontDownColor(v); });
    t.AddColor("FontDisabledColor", [this] { return FFontDisabledColor; },
               [this](TColor v) { SetFontDisabledColor(v); });
    AddPictureProperty(t, "BkgNormal", FBkgNormal, FSkinPictures);
    t.AddObject("BkgOption", DesignRectProperties(FBkgOption));
    t.AddObject("TextBorder", DesignRectProperties(FTextBorder));
}
