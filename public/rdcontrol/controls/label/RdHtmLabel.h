#pragma once
// TRdHtmLabel: a label whose text is the small HTML-like markup of HtmlMarkup.h
// with clickable links (the licence line "... agree to its <a>EULA</a> & <a>Privacy
// Policy</a>"). Lines hold the markup, one entry per rendered line (they are
// joined with "<BR>"); setting Caption replaces Lines by the caption split at its
// line breaks. Layout and painting follow HtmlLayout.h inside the text area (the
// client area reduced by TextBorder), with the label's font and state colour
// (TRdCustomLabel::TextColor) as the base style.
//
// Links: the n-th <a> of the text (from 0) takes entry n of LinkItems for its look
// (Font, FontHover while the mouse is over it, ColorBg, MaxLine, LineSpace,
// FixedWidth), its cursor, its hint and its OnClick; each layout fills the entry's
// Caption (and FoundTextEllipsis). <a> elements beyond LinkItems are plain text
// and not clickable. A link is clicked when the left button goes down and up on
// the same link; pressing on one link and releasing on another clicks nothing.
// While the mouse is over a link the label shows that link's cursor (crDefault:
// the label's own) and hint (ActiveHint: the link's Hint, else its TITLE
// attribute, else - with the link's AutoShowHint and a cut link - its caption);
// leaving the links restores the label's own cursor and hint (Hint).
//
// Pictures: "IDX:n" is entry n of Images(); "SSYS:n"/"LSYS:n" (and any source
// OnGetImage answers) come from OnGetImage, which is asked first.
//
// Defaults differ from TRdLabel: AutoSize off, WordWrap on, WrapChar off. With
// AutoSize the height follows the text (and, without WordWrap, the width), so a
// longer caption makes a wrapped label taller, never wider.
//
// UI thread only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "public/rdcontrol/controls/label/HtmlLayout.h"
#include "public/rdcontrol/controls/label/RdLabel.h"

class TRdHtmLabel;

class TRdHtmLabelLink {
public:
    using TLinkEvent = std::function<void(TRdHtmLabelLink* sender)>;

    TRdHtmLabelLink(TRdHtmLabel& label, int index);
    ~TRdHtmLabelLink();
    TRdHtmLabelLink(const TRdHtmLabelLink&) = delete;
    TRdHtmLabelLink& operator=(const TRdHtmLabelLink&) = delete;

    TRdHtmLabel& Label() const { return FLabel; }
    int Index() const { return FIndex; }

    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    // The link's text, filled from the markup on each layout.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    TRdFont& Font() { return FFont; }
    TRdFont& FontHover() { return FFontHover; }
    const TRdFont& Font() const { return FFont; }
    const TRdFont& FontHover() const { return FFontHover; }
    TColor ColorBg() const { return FColorBg; }
    void SetColorBg(TColor v);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v) { FCursor = v; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    bool AutoShowHint() const { return FAutoShowHint; }
    void SetAutoShowHint(bool v) { FAutoShowHint = v; }
    int MaxLine() const { return FMaxLine; }
    void SetMaxLine(int v);
    int LineSpace() const { return FLineSpace; }
    void SetLineSpace(int v);
    bool FixedWidth() const { return FFixedWidth; }
    void SetFixedWidth(bool v);
    bool FoundTextEllipsis() const { return FFoundTextEllipsis; }

    TLinkEvent OnClick;

private:
    friend class TRdHtmLabel;
    friend class TRdHtmLabelLinks;
    void Changed();

    TRdHtmLabel& FLabel;
    int FIndex;
    std::string FName, FCaption, FHint;
    TRdFont FFont, FFontHover;
    TColor FColorBg = clNone;
    TCursor FCursor = crDefault;
    bool FAutoShowHint = false;
    int FMaxLine = -1;
    int FLineSpace = kHtmlLinkLineSpaceDefault;
    bool FFixedWidth = false;
    bool FFoundTextEllipsis = false;
};

// The LinkItems collection: entry n belongs to the n-th <a>.
class TRdHtmLabelLinks {
public:
    explicit TRdHtmLabelLinks(TRdHtmLabel& label) : FLabel(label) {}
    int Count() const { return static_cast<int>(FItems.size()); }
    TRdHtmLabelLink& Items(int index) const { return *FItems[static_cast<std::size_t>(index)]; }
    TRdHtmLabelLink& operator[](int index) const { return Items(index); }
    // A new last entry; its fonts start as the label's font, blue (hover: red) and
    // underlined, and its cursor is the hand.
    TRdHtmLabelLink& Add();
    void Delete(int index);
    void Clear();
    // The entry named name (case-sensitive), or nullptr.
    TRdHtmLabelLink* Find(const std::string& name) const;

private:
    TRdHtmLabel& FLabel;
    std::vector<std::unique_ptr<TRdHtmLabelLink>> FItems;
};

class TRdHtmLabel : public TRdLabel {
public:
    using TImageEvent =
        std::function<std::shared_ptr<TRdGraphic>(TControl* sender, const THtmlImageSource& source)>;

    explicit TRdHtmLabel(TComponent* owner);
    ~TRdHtmLabel() override;

    void SetCaption(const std::string& caption) override;
    const std::vector<std::string>& Lines() const { return FLines; }
    void SetLines(std::vector<std::string> lines);
    // The markup that is rendered: Lines joined with "<BR>".
    std::string Markup() const;
    int LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(int v);
    TRdHtmLabelLinks& LinkItems() { return FLinkItems; }

    // The text of the last layout without markup; whether it did not fit.
    const std::string& PlainText() const { return FPlainText; }
    bool FoundTextOutOfRect() const { return FFoundTextOutOfRect; }

    // Pictures for "IDX:n".
    std::vector<std::shared_ptr<TRdGraphic>>& Images() { return FImages; }
    void ImagesChanged() { LayoutChanged(); }
    TImageEvent OnGetImage;

    // The hovered link: an index, -1 for none, -2 while the mouse is outside.
    int HoverLink() const { return FHoverLink; }
    // The hovered link's hint while the mouse is over a link, else Hint.
    std::string ActiveHint() const override;
    // The link under point (control coordinates), -1 for none. Lays out first if needed.
    int LinkAt(int x, int y);
    // Text-area boxes of link index from the current layout (control coordinates).
    std::vector<TRect> LinkRects(int index);
    // The current layout (made now if anything changed since the last).
    const THtmlLayoutResult& CurrentLayout();

    // Something that changes the layout changed (the links call it).
    void LayoutChanged();

protected:
    void PaintText(TRdCanvas& canvas) override;
    TPoint MeasureText() override;
    void Resize() override;
    void FontChanged() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void PublishProperties(TPropertyTable& table) override;

private:
    THtmlLayoutInput Input(int width, int height, bool measuring);
    void ApplyLayout(const THtmlLayoutResult& layout);
    void SetHover(int index);

    std::vector<std::string> FLines;
    int FLineSpacing = 0;
    TRdHtmLabelLinks FLinkItems;
    std::vector<std::shared_ptr<TRdGraphic>> FImages;
    std::vector<THtmlToken> FTokens;
    bool FTokensValid = false;
    THtmlLayoutResult FLayout;
    bool FLayoutValid = false;
    TColor FLayoutColor = clDefault;
    std::vector<THtmlLinkLook> FLooks;
    std::string FPlainText;
    bool FFoundTextOutOfRect = false;
    int FHoverLink = -2;
    int FPressedLink = -1, FReleasedLink = -1;
    TPoint FLastMouse{-1, -1};
    bool FHasMouse = false;
    bool FCursorSaved = false;
    TCursor FSavedCursor = crDefault;
    std::string FLinkHint;
};
