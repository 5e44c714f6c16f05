#include "public/rdcontrol/controls/label/RdHtmLabel.h"

#include <algorithm>

#include "public/rdcontrol/base/TextLines.h"
#include "public/rdcontrol/controls/label/HtmlPaint.h"
#include "public/rdcontrol/framework/Application.h"
#include "public/rdcontrol/framework/Form.h"

// --- TRdHtmLabelLink ------------------------------------------------------------------

TRdHtmLabelLink::TRdHtmLabelLink(TRdHtmLabel& label, int index) : FLabel(label), FIndex(index) {
    FFont.Assign(label.Font());
    FFont.SetColor(clBlue);
    FFont.SetStyle(FFont.Style() | fsUnderline);
    FFontHover.Assign(FFont);
    FFontHover.SetColor(clRed);
    FCursor = crHandPoint;
    FFont.OnChange = [this] { Changed(); };
    FFontHover.OnChange = [this] { Changed(); };
}

TRdHtmLabelLink::~TRdHtmLabelLink() {
    FFont.OnChange = nullptr;
    FFontHover.OnChange = nullptr;
}

void TRdHtmLabelLink::Changed() { FLabel.LayoutChanged(); }

void TRdHtmLabelLink::SetColorBg(TColor v) {
    if (v == FColorBg) return;
    FColorBg = v;
    Changed();
}
void TRdHtmLabelLink::SetMaxLine(int v) {
    if (v == FMaxLine) return;
    FMaxLine = v;
    Changed();
}
void TRdHtmLabelLink::SetLineSpace(int v) {
    if (v == FLineSpace) return;
    FLineSpace = v;
    Changed();
}
void TRdHtmLabelLink::SetFixedWidth(bool v) {
    if (v == FFixedWidth) return;
    FFixedWidth = v;
    Changed();
}

// --- TRdHtmLabelLinks -----------------------------------------------------------------

TRdHtmLabelLink& TRdHtmLabelLinks::Add() {
    FItems.push_back(std::make_unique<TRdHtmLabelLink>(FLabel, Count()));
    FLabel.LayoutChanged();
    return *FItems.back();
}

void TRdHtmLabelLinks::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    FItems.erase(FItems.begin() + index);
    for (int i = 0; i < Count(); ++i) FItems[static_cast<std::size_t>(i)]->FIndex = i;
    FLabel.LayoutChanged();
}

void TRdHtmLabelLinks::Clear() {
    FItems.clear();
    FLabel.LayoutChanged();
}

TRdHtmLabelLink* TRdHtmLabelLinks::Find(const std::string& name) const {
    for (const auto& item : FItems)
        if (item->Name() == name) return item.get();
    return nullptr;
}

// --- TRdHtmLabel ----------------------------------------------------------------------

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(std::move(line));
            line.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

}  // namespace

TRdHtmLabel::TRdHtmLabel(TComponent* owner) : TRdLabel(owner), FLinkItems(*this) {
    SetAutoSize(false);
    SetWordWrap(true);
    SetWrapChar(false);
}

TRdHtmLabel::~TRdHtmLabel() { BeginDestroy(); }

void TRdHtmLabel::SetCaption(const std::string& caption) {
    if (caption == Caption()) return;
    FLines = SplitLines(caption);
    FTokensValid = false;
    TRdLabel::SetCaption(caption);
    LayoutChanged();
}

void TRdHtmLabel::SetLines(std::vector<std::string> lines) {
    if (lines == FLines) return;
    FLines = std::move(lines);
    std::string caption;
    for (std::size_t i = 0; i < FLines.size(); ++i) caption += (i ? "\r\n" : "") + FLines[i];
    FTokensValid = false;
    // The caption follows without splitting the lines again.
    TControl::SetCaption(caption);
    LayoutChanged();
}

std::string TRdHtmLabel::Markup() const {
    std::string markup;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        if (i) markup += "<BR>";
        markup += FLines[i];
    }
    return markup;
}

void TRdHtmLabel::SetLineSpacing(int v) {
    if (v == FLineSpacing) return;
    FLineSpacing = v;
    LayoutChanged();
}

void TRdHtmLabel::LayoutChanged() {
    FLayoutValid = false;
    if (Destroying()) return;
    TextChanged();
}

void TRdHtmLabel::Resize() {
    FLayoutValid = false;
    TRdLabel::Resize();
}

void TRdHtmLabel::FontChanged() {
    FLayoutValid = false;
    TRdLabel::FontChanged();
}

THtmlLayoutInput TRdHtmLabel::Input(int width, int height, bool measuring) {
    FLooks.clear();
    FLooks.reserve(static_cast<std::size_t>(FLinkItems.Count()));
    for (int i = 0; i < FLinkItems.Count(); ++i) {
        const TRdHtmLabelLink& link = FLinkItems[i];
        THtmlLinkLook look;
        look.Font = link.Font().Spec();
        look.Color = link.Font().Color();
        look.HoverFont = link.FontHover().Spec();
        look.HoverColor = link.FontHover().Color();
        look.ColorBg = link.ColorBg();
        look.MaxLine = link.MaxLine();
        look.LineSpace = link.LineSpace();
        look.FixedWidth = link.FixedWidth();
        FLooks.push_back(look);
    }
    THtmlLayoutInput in;
    in.Font = Font().Spec();
    in.Color = TextColor();
    in.Width = width;
    in.Height = height;
    in.WordWrap = WordWrap();
    in.Alignment = Alignment();
    in.Layout = measuring ? tlTop : Layout();
    in.LineSpacing = FLineSpacing;
    in.HoverLink = FHoverLink;
    in.LinkLook = [this](int index) -> const THtmlLinkLook* {
        return index >= 0 && index < static_cast<int>(FLooks.size()) ? &FLooks[static_cast<std::size_t>(index)]
                                                                    : nullptr;
    };
    in.Image = [this](const THtmlImageSource& source) -> std::shared_ptr<TRdGraphic> {
        if (OnGetImage)
            if (auto picture = OnGetImage(this, source)) return picture;
        if (source.Kind == THtmlImageKind::ImageList && source.Index < static_cast<int>(FImages.size()))
            return FImages[static_cast<std::size_t>(source.Index)];
        return nullptr;
    };
    return in;
}

const THtmlLayoutResult& TRdHtmLabel::CurrentLayout() {
    if (!FTokensValid) {
        FTokens = ParseHtmlMarkup(Markup());
        FTokensValid = true;
    }
    const TColor color = TextColor();
    if (!FLayoutValid || color != FLayoutColor) {
        const TRect area = TextRect();
        FLayout = LayoutHtml(DefaultTextRenderer(), FTokens, Input(area.Width(), area.Height(), false));
        FLayoutColor = color;
        FLayoutValid = true;
        ApplyLayout(FLayout);
    }
    return FLayout;
}

void TRdHtmLabel::ApplyLayout(const THtmlLayoutResult& layout) {
    for (const THtmlLinkArea& area : layout.Links) {
        if (area.Index < 0 || area.Index >= FLinkItems.Count()) continue;
        TRdHtmLabelLink& link = FLinkItems[area.Index];
        link.FCaption = area.Caption;
        link.FFoundTextEllipsis = area.Cut;
    }
    FPlainText = layout.PlainText;
    FFoundTextOutOfRect = layout.OutOfRect;
}

TPoint TRdHtmLabel::MeasureText() {
    if (!FTokensValid) {
        FTokens = ParseHtmlMarkup(Markup());
        FTokensValid = true;
    }
    const int width = WordWrap() ? std::max(1, TextRect().Width()) : 1 << 20;
    const THtmlLayoutResult measured = LayoutHtml(DefaultTextRenderer(), FTokens, Input(width, 1 << 20, true));
    return TPoint{measured.TextWidth, measured.TextHeight};
}

void TRdHtmLabel::PaintText(TRdCanvas& canvas) {
    const THtmlLayoutResult& layout = CurrentLayout();
    const TRect area = TextRect();
    {
        TCanvasStateSaver saver(canvas);
        canvas.IntersectClip(area);
        PaintHtmlLayout(canvas, layout, TPoint{area.Left, area.Top}, Font().Alpha());
    }
    SetFoundText(layout.OutOfRect, false, layout.LineCount);
}

int TRdHtmLabel::LinkAt(int x, int y) {
    const TRect area = TextRect();
    if (!area.Contains(x, y)) return -1;
    return CurrentLayout().LinkAt(x - area.Left, y - area.Top);
}

std::vector<TRect> TRdHtmLabel::LinkRects(int index) {
    std::vector<TRect> rects;
    const THtmlLayoutResult& layout = CurrentLayout();
    const TRect area = TextRect();
    for (const THtmlLinkArea& link : layout.Links)
        if (link.Index == index)
            for (const TRect& r : link.Rects) rects.push_back(r.Offset(area.Left, area.Top));
    return rects;
}

void TRdHtmLabel::SetHover(int index) {
    if (index == FHoverLink) return;
    const int old = FHoverLink;
    FHoverLink = index;
    // The hovered link may be drawn in another font: lay out again.
    FLayoutValid = false;
    Invalidate();
    const bool onLink = index >= 0 && index < FLinkItems.Count();
    const bool wasOnLink = old >= 0;
    if (onLink) {
        TRdHtmLabelLink& link = FLinkItems[index];
        if (!FCursorSaved) {
            FSavedCursor = Cursor();
            FCursorSaved = true;
        }
        SetCursor(link.Cursor() != crDefault ? link.Cursor() : FSavedCursor);
        std::string hint = link.Hint();
        if (hint.empty())
            for (const THtmlLinkArea& area : FLayout.Links)
                if (area.Index == index) hint = area.Title;
        if (hint.empty() && link.AutoShowHint() && link.FoundTextEllipsis()) hint = link.Caption();
        FLinkHint = hint;
    } else if (wasOnLink) {
        if (FCursorSaved) SetCursor(FSavedCursor);
        FCursorSaved = false;
        FLinkHint.clear();
    }
    // The hint shows again for what is under the mouse now.
    if (onLink || wasOnLink)
        if (TCustomForm* form = Form())
            if (TApplication* app = form->Application()) app->HintChanged(this);
}

std::string TRdHtmLabel::ActiveHint() const { return FHoverLink >= 0 ? FLinkHint : Hint(); }

void TRdHtmLabel::MouseMove(TShiftState shift, int x, int y) {
    const bool moved = !FHasMouse || FLastMouse.X != x || FLastMouse.Y != y;
    FHasMouse = true;
    FLastMouse = TPoint{x, y};
    if (moved) SetHover(LinkAt(x, y));
    TRdLabel::MouseMove(shift, x, y);
}

void TRdHtmLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) FPressedLink = LinkAt(x, y);
    TRdLabel::MouseDown(button, shift, x, y);
}

void TRdHtmLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button != mbLeft) {
        TRdLabel::MouseUp(button, shift, x, y);
        return;
    }
    FReleasedLink = LinkAt(x, y);
    const int pressed = FPressedLink, released = FReleasedLink;
    FPressedLink = FReleasedLink = -1;
    TRdLabel::MouseUp(button, shift, x, y);
    if (pressed >= 0 && pressed == released && pressed < FLinkItems.Count()) {
        TRdHtmLabelLink& link = FLinkItems[pressed];
        if (link.OnClick) {
            // Through a copy: the handler may replace it.
            const auto handler = link.OnClick;
            handler(&link);
        }
    }
}

void TRdHtmLabel::MouseLeave() {
    FHasMouse = false;
    FLastMouse = TPoint{-1, -1};
    FPressedLink = FReleasedLink = -1;
    SetHover(-2);
    TRdLabel::MouseLeave();
}

void TRdHtmLabel::PublishProperties(TPropertyTable& t) {
    TRdLabel::PublishProperties(t);
    t.AddStrings("Lines", [this] { return FLines; }, [this](const std::vector<std::string>& v) { SetLines(v); });
    t.AddInt("LineSpacing", [this] { return FLineSpacing; }, [this](int v) { SetLineSpacing(v); });
}
