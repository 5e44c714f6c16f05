#include "public/rdcontrol/framework/StdControls.h"

#include <algorithm>

// --- TLabel ---------------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
    // A plain label draws with the font as the platform gives it; Tag 10086 asks
    // for anti-aliasing (first paint).
    Font().SetAntialiased(false);
    SetParentFont(true);
}

void TLabel::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    Invalidate();
}
void TLabel::SetAlignment(TAlignment v) {
    if (v == FAlignment) return;
    FAlignment = v;
    Invalidate();
}
void TLabel::SetLayout(TTextLayout v) {
    if (v == FLayout) return;
    FLayout = v;
    Invalidate();
}
void TLabel::SetWordWrap(bool v) {
    if (v == FWordWrap) return;
    FWordWrap = v;
    AdjustSize();
    Invalidate();
}
void TLabel::SetEndEllipsis(bool v) {
    if (v == FEndEllipsis) return;
    FEndEllipsis = v;
    Invalidate();
}
void TLabel::SetAutoSize(bool v) {
    FAutoSize = v;
    AdjustSize();
}
void TLabel::SetCaption(const std::string& caption) {
    TGraphicControl::SetCaption(caption);
    AdjustSize();
}
void TLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustSize();
}

unsigned TLabel::TextFlags() const {
    unsigned flags = FAlignment == taCenter ? tfCenter : FAlignment == taRightJustify ? tfRight : tfLeft;
    flags |= FLayout == tlCenter ? tfVCenter : FLayout == tlBottom ? tfBottom : tfTop;
    if (FWordWrap) flags |= tfWordBreak;
    if (FEndEllipsis) flags |= tfEndEllipsis;
    return flags;
}

void TLabel::AdjustSize() {
    if (!FAutoSize || Destroying()) return;
    TArgbSurface scratch(1, 1);
    TRdCanvas canvas(scratch);
    const int maxWidth = FWordWrap ? std::max(Width(), 1) : 1 << 20;
    const TTextDrawResult r = canvas.DrawText(Caption(), TRect{0, 0, maxWidth, 1 << 20}, Font().Spec(), Font().Color(),
                                              (TextFlags() & ~unsigned(tfEndEllipsis)) | tfCalcRect);
    const int height = std::max(r.Bounds.Height(), Font().FontHeight());
    SetBounds(Left(), Top(), FWordWrap ? Width() : r.Bounds.Width(), height);
}

void TLabel::Paint(TRdCanvas& canvas) {
    if (Tag() == kAntialiasTag && !FAntialiasApplied) {
        FAntialiasApplied = true;
        Font().SetAntialiased(true);
    }
    if (!FTransparent) canvas.FillRect(ClientRect(), Color());
    TColor color = Font().Color();
    if (!Enabled()) color = clGray;
    const TTextDrawResult r = canvas.DrawText(Caption(), ClientRect(), Font().Spec(), color, TextFlags(), Font().Alpha());
    FTextCut = r.Cut;
}

void TLabel::PublishProperties(TPropertyTable& table) {
    TGraphicControl::PublishProperties(table);
    table.AddBool("Transparent", [this] { return FTransparent; }, [this](bool v) { SetTransparent(v); });
    table.AddBool("WordWrap", [this] { return FWordWrap; }, [this](bool v) { SetWordWrap(v); });
    table.AddBool("AutoSize", [this] { return FAutoSize; }, [this](bool v) { SetAutoSize(v); });
    table.AddEnum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [this] { return int(FAlignment); },
                  [this](int v) { SetAlignment(static_cast<TAlignment>(v)); });
    table.AddEnum("Layout", {"tlTop", "tlCenter", "tlBottom"}, [this] { return int(FLayout); },
                  [this](int v) { SetLayout(static_cast<TTextLayout>(v)); });
}

// --- TImage ---------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
    FPicture.OnChange = [this](TPicture*) { Invalidate(); };
}

TImage::~TImage() { FPicture.OnChange = nullptr; }

void TImage::SetStretch(bool v) {
    if (v == FStretch) return;
    FStretch = v;
    Invalidate();
}
void TImage::SetCenter(bool v) {
    if (v == FCenter) return;
    FCenter = v;
    Invalidate();
}
void TImage::SetProportional(bool v) {
    if (v == FProportional) return;
    FProportional = v;
    Invalidate();
}

TRect TImage::DestRect() const {
    int w = FPicture.Width(), h = FPicture.Height();
    const int cw = Width(), ch = Height();
    if (w <= 0 || h <= 0) return TRect{};
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional) {
            // Fit inside, keeping the aspect ratio.
            if (static_cast<long long>(cw) * h < static_cast<long long>(ch) * w) {
                h = static_cast<int>(static_cast<long long>(h) * cw / w);
                w = cw;
            } else {
                w = static_cast<int>(static_cast<long long>(w) * ch / h);
                h = ch;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    if (FCenter) return TRect::FromSize((cw - w) / 2, (ch - h) / 2, w, h);
    return TRect::FromSize(0, 0, w, h);
}

void TImage::Paint(TRdCanvas& canvas) {
    const TRect dest = DestRect();
    if (!dest.IsEmpty()) FPicture.Draw(canvas, dest);
}

// --- TPanel ---------------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TBevelCut v) {
    if (v == FBevelOuter) return;
    FBevelOuter = v;
    Invalidate();
}

void TPanel::PaintBevel(TRdCanvas& canvas) {
    if (FBevelOuter != bvLowered && FBevelOuter != bvRaised) return;
    const TColor light = clWhite, dark = clGray;
    const TColor topLeft = FBevelOuter == bvRaised ? light : dark;
    const TColor bottomRight = FBevelOuter == bvRaised ? dark : light;
    const int w = Width(), h = Height();
    canvas.Line(0, 0, w - 1, 0, topLeft);
    canvas.Line(0, 0, 0, h - 1, topLeft);
    canvas.Line(0, h - 1, w - 1, h - 1, bottomRight);
    canvas.Line(w - 1, 0, w - 1, h - 1, bottomRight);
}

void TPanel::PaintCaption(TRdCanvas& canvas) {
    if (Caption().empty()) return;
    canvas.DrawText(Caption(), ClientRect(), Font().Spec(), Font().Color(), tfCenter | tfVCenter | tfSingleLine,
                    Font().Alpha());
}

void TPanel::Paint(TRdCanvas& canvas) {
    canvas.FillRect(ClientRect(), Color());
    PaintBevel(canvas);
    PaintCaption(canvas);
}

void TPanel::PublishProperties(TPropertyTable& table) {
    TWinControl::PublishProperties(table);
    table.AddEnum("BevelOuter", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, [this] { return int(FBevelOuter); },
                  [this](int v) { SetBevelOuter(static_cast<TBevelCut>(v)); });
}
