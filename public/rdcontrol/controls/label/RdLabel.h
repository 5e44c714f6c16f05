#pragma once
// TRdCustomLabel / TRdLabel: the skinned text label. A windowless control that
// draws an optional background (a fill with Color when not Transparent, and the
// picture BkgNormal laid out by BkgOption), then its caption inside the client
// area reduced by TextBorder:
// - aligned by Alignment and Layout; wrapped at words with WordWrap;
// - EllipsisPosition: epEndEllipsis and epWordEllipsis limit the text to the whole
//   lines that fit (at least one) and end the last one with "..." (with WordWrap
//   cut anywhere when WrapChar is set, at words otherwise; a single line is cut
//   anywhere);
//   epPathEllipsis shortens a single line in the middle, keeping its start and the
//   last path component ("C:\Program Files\...\setup.exe");
// - with ShowAccelChar, "&x" underlines x and "&&" shows one "&" (a caption of
//   just "&" is drawn as it is);
// - the text colour follows the state: FontDisabledColor when disabled, else
//   FontDownColor while the left button is down on it, else FontHoverColor while
//   the mouse is over it (each only when set, i.e. not clDefault), else Font.Color;
// - GlowSize > 0 draws a soft light halo of that many pixels around the glyphs.
// After each paint FoundTextEllipsis (text cut), FoundTextWordBreak (a line was
// wrapped) and FoundTextDrawLine (drawn height div line height) tell what
// happened; with AutoShowHint the hint is the full caption while it is cut.
// AutoSize fits the control to its text (the width only without WordWrap; not
// across the parent's edge when aligned to it).
//
// UI thread only.
#include <functional>
#include <string>

#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/framework/RdControls.h"

enum TEllipsisPosition : std::uint8_t { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };

// The grey-text system colour, the default of FontDisabledColor.
inline constexpr TColor clGrayText = static_cast<TColor>(0xFF000011);

class TRdCustomLabel : public TRdGraphicControl {
public:
    using TPaintEvent = std::function<void(TControl* sender, TRdCanvas& canvas)>;
    using THintEvent = std::function<void(TControl* sender, std::string& hint)>;

    explicit TRdCustomLabel(TComponent* owner);
    ~TRdCustomLabel() override;

    void SetCaption(const std::string& caption) override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool WrapChar() const { return FWrapChar; }
    void SetWrapChar(bool v);
    TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
    void SetEllipsisPosition(TEllipsisPosition v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);

    TPicture& BkgNormal() { return FBkgNormal; }
    TDesignRect& BkgOption() { return FBkgOption; }
    // Inner margins of the text area.
    TDesignRect& TextBorder() { return FTextBorder; }
    const TDesignRect& TextBorder() const { return FTextBorder; }

    TColor FontHoverColor() const { return FFontHoverColor; }
    void SetFontHoverColor(TColor v);
    TColor FontDownColor() const { return FFontDownColor; }
    void SetFontDownColor(TColor v);
    TColor FontDisabledColor() const { return FFontDisabledColor; }
    void SetFontDisabledColor(TColor v);
    bool FontAntialiased() const { return Font().Antialiased(); }
    void SetFontAntialiased(bool v) { Font().SetAntialiased(v); }
    int GlowSize() const { return FGlowSize; }
    void SetGlowSize(int v);
    bool AutoShowHint() const { return FAutoShowHint; }
    void SetAutoShowHint(bool v) { FAutoShowHint = v; }
    // The control the caption's accelerator focuses: with ShowAccelChar, Alt + the
    // "&" letter (that no focused control used) moves the focus to it when it can
    // take it (the form offers the key through DialogChar).
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* control);

    bool FoundTextEllipsis() const { return FFoundTextEllipsis; }
    bool FoundTextWordBreak() const { return FFoundTextWordBreak; }
    int FoundTextDrawLine() const { return FFoundTextDrawLine; }

    // The colour the text is drawn in now (the state rule above).
    TColor TextColor() const;
    // The text area: the client area reduced by TextBorder.
    TRect TextRect() const;

    TPaintEvent OnPaintImage, OnPaintEnd;
    THintEvent OnShowHint;

protected:
    void Paint(TRdCanvas& canvas) override;
    // The background: fill, BkgNormal, OnPaintImage.
    void PaintBackground(TRdCanvas& canvas);
    virtual void PaintText(TRdCanvas& canvas);
    // Fits the bounds to the text when AutoSize is on.
    virtual void AdjustBounds();
    // The size of the text (without TextBorder) laid out for the current width.
    virtual TPoint MeasureText();
    void Resize() override;
    void FontChanged() override;
    void EnabledChanged() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool DialogChar(char32_t key) override;
    void Notification(TComponent* component, TOperation operation) override;
    void PublishProperties(TPropertyTable& table) override;
    // A property that changes the text's size changed.
    void TextChanged();
    bool LeftDown() const { return FLeftDown; }
    void SetFoundText(bool ellipsis, bool wordBreak, int lines);

private:
    unsigned Flags() const;

    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FWrapChar = true;
    TEllipsisPosition FEllipsisPosition = epNone;
    bool FShowAccelChar = false;
    bool FTransparent = true;
    TPicture FBkgNormal;
    TSkinPictureSource FSkinPictures{AllSkin()};
    TDesignRect FBkgOption;
    TDesignRect FTextBorder;
    TColor FFontHoverColor = clDefault;
    TColor FFontDownColor = clDefault;
    TColor FFontDisabledColor = clGrayText;
    int FGlowSize = 0;
    bool FAutoShowHint = false;
    TWinControl* FFocusControl = nullptr;
    bool FFoundTextEllipsis = false;
    bool FFoundTextWordBreak = false;
    int FFoundTextDrawLine = 0;
    bool FLeftDown = false;
    bool FAdjusting = false;
};

class TRdLabel : public TRdCustomLabel {
public:
    explicit TRdLabel(TComponent* owner) : TRdCustomLabel(owner) {}
};

// Helpers of the label's text rules, exposed for tests.
// The caption with accelerator marks resolved: "&&" -> "&", "&x" -> "x" with
// accelIndex the byte offset of x in the result (-1: none). A caption of just "&"
// stays as it is.
std::string StripAccelChars(const std::string& caption, int& accelIndex);
// text shortened in the middle to fit width: its start up to the first path
// separator, "...", and as much of its end (from a separator) as fits.
std::string PathEllipsis(TTextRenderer& renderer, const TFontSpec& font, const std::string& text, int width);
