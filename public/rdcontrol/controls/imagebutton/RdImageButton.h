#pragma once
// TRdImageButton: the workhorse control of every skinned window: push buttons,
// image-only buttons and check boxes with their own box pictures. A windowless
// control that paints a state picture scaled by ImageOption's nine-slice rule, an
// optional icon beside the text, an optional check box picture and a caption with
// rich layout. It never takes the keyboard focus; all interaction is by mouse.
//
// Background picture (the first non-empty one of): ImageDown while pressed with
// the mouse inside; ImageOver with the mouse inside (enabled, not selected);
// ImageDisabled; ImageSelected; ExpandImage when Expand; ImageNormal.
//
// Button states: normal -> down (left press not consumed by the box or icon);
// down -> normal (release, mouse leave); any -> disabled (remembering the state,
// which enabling brings back); selected only by SetSelected. The mouse-inside flag
// is independent of the state but never set while selected. A press that leaves
// the button shows it normal from then on (it does not go down again on
// re-entering); releasing inside still clicks, releasing outside does not.
//
// Mouse events in order: press: (check box: CheckBoxBeforeClick, toggle,
// CheckBoxOnClick), OnDblClick for the second press of a double click, OnMouseDown;
// release: OnClick (or IconOnClick on the icon) when released inside and the press
// was not consumed, then OnMouseUp. With CheckBoxFullClick (default) a press
// anywhere toggles the box and the release clicks as well; without, a press on the
// box only toggles and a press beside it only clicks. A half-checked box becomes
// checked on the next toggle.
//
// Hover effect (HoverEffect not ibeNone; only enabled, non-check-box, non-Expand
// buttons with both ImageNormal and ImageOver): entering fades from the normal to
// the over picture, leaving back; a 10 ms TRdTimer steps s = 90, 100 ... 210 and
// ends at the 14th tick (s reaching 220). While it runs the target picture is drawn
// at 255 (ibeSingle) or s (ibeDouble) and the source over it at 255 - s.
//
// Caption: the text rectangle is the client area less TextOffset on the aligned
// side, the four margins, and the icon (with TextOffset between); single-line text
// is not clipped, too wide it ends with "..."; WordWrap breaks at words, at most
// TextMaxLine lines (0: any) and, with EllipsisByHeight, only the lines that fit,
// the last cut one ending with "..."; lines are aligned by TextWarpAlign inside
// the block, the block by ButtonCaptionAlignment and TextAlignY, then moved down by
// TextTopOffset. With ShowAccelChar "&x" underlines x ("&&" is "&").
// SubCaption is drawn with SubCaptionFont SubCaptionOffset pixels below the top of
// the caption block, aligned like the caption; SubCaptionData with its own font
// on the same line, at the right end of the text rectangle.
//
// Icon (natural size, Dn* set, Up* while Expand; Disable when the control is
// disabled, else by its own state, falling back to Normal): IconAlign places it at
// IconOffset from the left or right edge or centred (IconAlignByText: beside the
// caption block instead), IconAlignY at IconOffsetY from the top or bottom or
// centred (IconAlignYByText: relative to the caption block).
//
// Check box (natural size, drawn after the caption): see the rules of
// CheckBoxRect() in the source; "by text" placements use the caption block.
//
// Keyboard: the button takes no focus; with ShowAccelChar its accelerator (Alt +
// the "&"-marked letter or digit) acts as a click: a check box toggles (with its
// box events), then OnClick.
//
// Hit test: inside the bounds and, with a non-empty ImageRange, only where its
// mask has alpha and is not pure black (drawn with ImageOption at the control's
// size when that is set, else unscaled).
//
// Hints: over the box with a CheckBoxHint, that text, holding while the mouse stays
// in the box's rectangle; over the icon with an IconHint, that, within the icon's
// rectangle; else with AutoShowHint the caption when it was cut (Hint when set),
// nothing when it was not; else Hint. OnShowHint may change the text last.
//
// UI thread only. Events are called with the sender first; never free the button
// from inside its own event.
#include <functional>
#include <memory>
#include <string>

#include "public/rdcontrol/base/RdTimer.h"
#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/drawing/TextLayout.h"
#include "public/rdcontrol/framework/RdControls.h"

enum TAniEffect : std::uint8_t { ibeNone, ibeSingle, ibeDouble };
enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

class TRdImageButton : public TRdGraphicControl {
public:
    enum class TButtonState : std::uint8_t { Normal, Down, Disabled, Selected };
    enum class TIconState : std::uint8_t { Normal, Down, Hover, Disabled, Selected };
    enum class THoverPhase : std::uint8_t { None, FadingIn, FadingOut };

    using TShowHintEvent = std::function<void(TControl* sender, std::string& hint)>;
    using TPaintEvent = std::function<void(TControl* sender, TRdCanvas& canvas)>;

    static constexpr unsigned HoverIntervalMs = 10;

    explicit TRdImageButton(TComponent* owner);
    ~TRdImageButton() override;

    // --- Background pictures ----------------------------------------------------------
    TPicture& ImageNormal() { return FImageNormal; }
    TPicture& ImageOver() { return FImageOver; }
    TPicture& ImageDown() { return FImageDown; }
    TPicture& ImageDisabled() { return FImageDisabled; }
    TPicture& ImageSelected() { return FImageSelected; }
    TPicture& ExpandImage() { return FExpandImage; }
    TPicture& ImageRange() { return FImageRange; }
    bool Expand() const { return FExpand; }
    void SetExpand(bool v);
    TDesignRect& ImageOption() { return FImageOption; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool AutoSizeByText() const { return FAutoSizeByText; }
    void SetAutoSizeByText(bool v);
    TAniEffect HoverEffect() const { return FHoverEffect; }
    void SetHoverEffect(TAniEffect v);

    // --- Caption ------------------------------------------------------------------------
    void SetCaption(const std::string& caption) override;
    TColor FontHoverColor() const { return FFontHoverColor; }
    void SetFontHoverColor(TColor v) { SetRepaint(FFontHoverColor, v); }
    TColor FontDownColor() const { return FFontDownColor; }
    void SetFontDownColor(TColor v) { SetRepaint(FFontDownColor, v); }
    TColor FontDisabledColor() const { return FFontDisabledColor; }
    void SetFontDisabledColor(TColor v) { SetRepaint(FFontDisabledColor, v); }
    TColor FontSelectedColor() const { return FFontSelectedColor; }
    void SetFontSelectedColor(TColor v) { SetRepaint(FFontSelectedColor, v); }
    TColor FontCheckedColor() const { return FFontCheckedColor; }
    void SetFontCheckedColor(TColor v) { SetRepaint(FFontCheckedColor, v); }
    bool FontAntialiased() const { return Font().Antialiased(); }
    void SetFontAntialiased(bool v) { Font().SetAntialiased(v); }
    TAlignment ButtonCaptionAlignment() const { return FCaptionAlignment; }
    void SetButtonCaptionAlignment(TAlignment v) { SetLayout(FCaptionAlignment, v); }
    TVerticalAlignment TextAlignY() const { return FTextAlignY; }
    void SetTextAlignY(TVerticalAlignment v) { SetLayout(FTextAlignY, v); }
    int TextOffset() const { return FTextOffset; }
    void SetTextOffset(int v) { SetLayout(FTextOffset, v); }
    int TextLeftMargin() const { return FTextLeftMargin; }
    void SetTextLeftMargin(int v) { SetLayout(FTextLeftMargin, v); }
    int TextRightMargin() const { return FTextRightMargin; }
    void SetTextRightMargin(int v) { SetLayout(FTextRightMargin, v); }
    int TextTopMargin() const { return FTextTopMargin; }
    void SetTextTopMargin(int v) { SetLayout(FTextTopMargin, v); }
    int TextBottomMargin() const { return FTextBottomMargin; }
    void SetTextBottomMargin(int v) { SetLayout(FTextBottomMargin, v); }
    int TextTopOffset() const { return FTextTopOffset; }
    void SetTextTopOffset(int v) { SetLayout(FTextTopOffset, v); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { SetLayout(FWordWrap, v); }
    int TextMaxLine() const { return FTextMaxLine; }
    void SetTextMaxLine(int v) { SetLayout(FTextMaxLine, v); }
    TAlignment TextWarpAlign() const { return FTextWarpAlign; }
    void SetTextWarpAlign(TAlignment v) { SetLayout(FTextWarpAlign, v); }
    bool EllipsisByHeight() const { return FEllipsisByHeight; }
    void SetEllipsisByHeight(bool v) { SetLayout(FEllipsisByHeight, v); }
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v) { SetLayout(FShowAccelChar, v); }
    bool AutoShowHint() const { return FAutoShowHint; }
    void SetAutoShowHint(bool v) { FAutoShowHint = v; }
    const std::string& SubCaption() const { return FSubCaption; }
    void SetSubCaption(const std::string& v) { SetRepaint(FSubCaption, v); }
    int SubCaptionOffset() const { return FSubCaptionOffset; }
    void SetSubCaptionOffset(int v) { SetRepaint(FSubCaptionOffset, v); }
    TRdFont& SubCaptionFont() { return FSubCaptionFont; }
    const std::string& SubCaptionData() const { return FSubCaptionData; }
    void SetSubCaptionData(const std::string& v) { SetRepaint(FSubCaptionData, v); }
    TRdFont& SubCaptionDataFont() { return FSubCaptionDataFont; }
    // Results of the last layout: the caption was cut; it wrapped; lines drawn.
    bool FoundTextEllipsis() const;
    bool FoundTextWordBreak() const;
    int FoundTextDrawLine() const;

    // --- Icon -----------------------------------------------------------------------------
    bool IconVisible() const { return FIconVisible; }
    void SetIconVisible(bool v) { SetLayout(FIconVisible, v); }
    TPicture& DnNormalIcon() { return FIcons[0][0]; }
    TPicture& DnHoverIcon() { return FIcons[0][1]; }
    TPicture& DnDownIcon() { return FIcons[0][2]; }
    TPicture& DnSelectedIcon() { return FIcons[0][3]; }
    TPicture& DnDisableIcon() { return FIcons[0][4]; }
    TPicture& UpNormalIcon() { return FIcons[1][0]; }
    TPicture& UpHoverIcon() { return FIcons[1][1]; }
    TPicture& UpDownIcon() { return FIcons[1][2]; }
    TPicture& UpSelectedIcon() { return FIcons[1][3]; }
    TPicture& UpDisableIcon() { return FIcons[1][4]; }
    TAlignment IconAlign() const { return FIconAlign; }
    void SetIconAlign(TAlignment v) { SetLayout(FIconAlign, v); }
    TVerticalAlignment IconAlignY() const { return FIconAlignY; }
    void SetIconAlignY(TVerticalAlignment v) { SetLayout(FIconAlignY, v); }
    bool IconAlignByText() const { return FIconAlignByText; }
    void SetIconAlignByText(bool v) { SetLayout(FIconAlignByText, v); }
    bool IconAlignYByText() const { return FIconAlignYByText; }
    void SetIconAlignYByText(bool v) { SetLayout(FIconAlignYByText, v); }
    int IconOffset() const { return FIconOffset; }
    void SetIconOffset(int v) { SetLayout(FIconOffset, v); }
    int IconOffsetY() const { return FIconOffsetY; }
    void SetIconOffsetY(int v) { SetLayout(FIconOffsetY, v); }
    bool IconFullClick() const { return FIconFullClick; }
    void SetIconFullClick(bool v) { FIconFullClick = v; }
    bool IconLockBySelected() const { return FIconLockBySelected; }
    void SetIconLockBySelected(bool v) { FIconLockBySelected = v; }
    TCursor IconCursor() const { return FIconCursor; }
    void SetIconCursor(TCursor v) { FIconCursor = v; }
    const std::string& IconHint() const { return FIconHint; }
    void SetIconHint(const std::string& v) { FIconHint = v; }
    TNotifyEvent IconOnClick;

    // --- Check box ------------------------------------------------------------------------------
    bool ShowCheckBox() const { return FShowCheckBox; }
    void SetShowCheckBox(bool v);
    TCheckBoxState CheckState() const { return FCheckState; }
    void SetCheckState(TCheckBoxState v);
    bool Checked() const { return FCheckState == cbChecked; }
    void SetChecked(bool v) { SetCheckState(v ? cbChecked : cbUnchecked); }
    TPicture& CheckBoxNormalImage() { return FBoxImages[0][0]; }
    TPicture& CheckBoxUnCheckedHoverImage() { return FBoxImages[0][1]; }
    TPicture& CheckBoxGrayedImage() { return FBoxImages[0][2]; }
    TPicture& CheckBoxCheckedImage() { return FBoxImages[1][0]; }
    TPicture& CheckBoxCheckedHoverImage() { return FBoxImages[1][1]; }
    TPicture& CheckBoxCheckedGrayedImage() { return FBoxImages[1][2]; }
    TPicture& CheckBoxHalfCheckedImage() { return FBoxImages[2][0]; }
    TPicture& CheckBoxHalfCheckedHoverImage() { return FBoxImages[2][1]; }
    TPicture& CheckBoxHalfCheckedGrayedImage() { return FBoxImages[2][2]; }
    bool CheckBoxFullClick() const { return FCheckBoxFullClick; }
    void SetCheckBoxFullClick(bool v) { FCheckBoxFullClick = v; }
    TAlignment CheckBoxAlignX() const { return FBoxAlignX; }
    void SetCheckBoxAlignX(TAlignment v) { SetLayout(FBoxAlignX, v); }
    bool CheckBoxAlignXByText() const { return FBoxAlignXByText; }
    void SetCheckBoxAlignXByText(bool v) { SetLayout(FBoxAlignXByText, v); }
    TVerticalAlignment CheckBoxAlignY() const { return FBoxAlignY; }
    void SetCheckBoxAlignY(TVerticalAlignment v) { SetLayout(FBoxAlignY, v); }
    bool CheckBoxAlignYByFont() const { return FBoxAlignYByFont; }
    void SetCheckBoxAlignYByFont(bool v) { SetLayout(FBoxAlignYByFont, v); }
    TTextLayout CheckBoxAlignYByFontLine() const { return FBoxAlignYByFontLine; }
    void SetCheckBoxAlignYByFontLine(TTextLayout v) { SetLayout(FBoxAlignYByFontLine, v); }
    int CheckBoxOffset() const { return FBoxOffset; }
    void SetCheckBoxOffset(int v) { SetLayout(FBoxOffset, v); }
    int CheckBoxOffsetY() const { return FBoxOffsetY; }
    void SetCheckBoxOffsetY(int v) { SetLayout(FBoxOffsetY, v); }
    TCursor CheckBoxCursor() const { return FBoxCursor; }
    void SetCheckBoxCursor(TCursor v) { FBoxCursor = v; }
    const std::string& CheckBoxHint() const { return FBoxHint; }
    void SetCheckBoxHint(const std::string& v) { FBoxHint = v; }
    TNotifyEvent CheckBoxBeforeClick, CheckBoxOnClick;

    // --- State ----------------------------------------------------------------------------------
    // Entered and left only by code (for example a group of buttons acting as tabs).
    bool Selected() const { return FState == TButtonState::Selected; }
    void SetSelected(bool selected);
    TButtonState ButtonState() const { return FState; }
    TIconState IconState() const { return FIconState; }
    bool MouseInside() const { return FMouseInside; }
    bool OverCheckBox() const { return FOverBox; }
    bool OverIcon() const { return FOverIcon; }
    THoverPhase HoverPhase() const { return FHoverPhase; }
    int HoverStep() const { return FHoverStep; }

    // --- Geometry (control coordinates; empty when there is nothing) -----------------------------
    TRect TextRect();        // where the caption may go
    TRect TextBlockRect();   // where it went: the lines' bounds
    TRect IconRect();
    TRect CheckBoxRect();
    // The background, icon and box pictures the rules choose now (nullptr: none).
    TPicture* CurrentImage();
    TPicture* CurrentIcon();
    TPicture* CurrentCheckBoxImage();
    TColor CurrentTextColor() const;

    bool HitTestAt(int x, int y) const override;
    std::string ActiveHint() const override;
    // The box's rectangle while its CheckBoxHint shows, the icon's while its
    // IconHint shows, else the whole button.
    TRect ActiveHintArea() const override;
    bool DialogChar(char32_t key) override;

    TNotifyEvent OnCheckedChanged, OnCaptionChanged;
    TShowHintEvent OnShowHint;
    TPaintEvent OnPaintImage, OnPaintEnd;
    // A second name for OnMouseLeave.
    TNotifyEvent& OnMouseExit() { return OnMouseLeave; }

protected:
    void Paint(TRdCanvas& canvas) override;
    void PublishProperties(TPropertyTable& table) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;
    void DblClick() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void FontChanged() override;
    void Resize() override;

private:
    struct TLayoutCache;

    template <typename T>
    void SetRepaint(T& field, const T& v) {
        if (field == v) return;
        field = v;
        Invalidate();
    }
    template <typename T>
    void SetLayout(T& field, const T& v) {
        if (field == v) return;
        field = v;
        LayoutChanged();
    }
    void LayoutChanged();
    void PictureChanged(TPicture* picture);
    const TLayoutCache& Layout();
    void ComputeLayout(TLayoutCache& cache);
    bool HoverApplies() const;
    void StartHover(THoverPhase phase);
    void HoverTick();
    void UpdateOverFlags(int x, int y);
    void ApplyCursor();
    void DoAutoSizeByText();
    void PaintBackground(TRdCanvas& canvas);
    void PaintCaption(TRdCanvas& canvas);
    void HintMaybeChanged();
    bool HasIcon();
    bool OnIcon(int x, int y);

    TPicture FImageNormal, FImageOver, FImageDown, FImageDisabled, FImageSelected, FExpandImage, FImageRange;
    TPicture FIcons[2][5];     // [Dn, Up][Normal, Hover, Down, Selected, Disable]
    TPicture FBoxImages[3][3]; // [unchecked, checked, half][normal, hover, grayed]
    TDesignRect FImageOption;
    TSkinPictureSource FSkinPictures{AllSkin()};
    bool FExpand = false, FAutoSize = false, FAutoSizeByText = false;
    TAniEffect FHoverEffect = ibeNone;

    TColor FFontHoverColor = clDefault, FFontDownColor = clDefault, FFontDisabledColor = cl3DDkShadow,
           FFontSelectedColor = clDefault, FFontCheckedColor = clDefault;
    TAlignment FCaptionAlignment = taCenter;
    TVerticalAlignment FTextAlignY = taVerticalCenter;
    int FTextOffset = 20, FTextLeftMargin = 0, FTextRightMargin = 0, FTextTopMargin = 0, FTextBottomMargin = 0,
        FTextTopOffset = 0;
    bool FWordWrap = false;
    int FTextMaxLine = 0;
    TAlignment FTextWarpAlign = taLeftJustify;
    bool FEllipsisByHeight = true, FShowAccelChar = false, FAutoShowHint = false;
    std::string FSubCaption, FSubCaptionData;
    int FSubCaptionOffset = 50;
    TRdFont FSubCaptionFont, FSubCaptionDataFont;

    bool FIconVisible = true;
    TAlignment FIconAlign = taRightJustify;
    TVerticalAlignment FIconAlignY = taVerticalCenter;
    bool FIconAlignByText = false, FIconAlignYByText = false;
    int FIconOffset = 10, FIconOffsetY = 0;
    bool FIconFullClick = false, FIconLockBySelected = true;
    TCursor FIconCursor = 0;
    std::string FIconHint;

    bool FShowCheckBox = false;
    TCheckBoxState FCheckState = cbUnchecked;
    bool FCheckBoxFullClick = true;
    TAlignment FBoxAlignX = taLeftJustify;
    bool FBoxAlignXByText = false;
    TVerticalAlignment FBoxAlignY = taVerticalCenter;
    bool FBoxAlignYByFont = false;
    TTextLayout FBoxAlignYByFontLine = tlBottom;
    int FBoxOffset = 10, FBoxOffsetY = 0;
    TCursor FBoxCursor = 0;
    std::string FBoxHint;

    TButtonState FState = TButtonState::Normal;
    TButtonState FStateBeforeDisable = TButtonState::Normal;
    TIconState FIconState = TIconState::Normal;
    bool FMouseInside = false, FOverBox = false, FOverIcon = false;
    bool FPressConsumed = false;
    bool FLastPressDouble = false;
    bool FSuppressClick = false, FSuppressDblClick = false;
    bool FCursorChanged = false;
    TCursor FSavedCursor = 0;

    THoverPhase FHoverPhase = THoverPhase::None;
    int FHoverStep = 0;
    TRdTimer FHoverTimer;

    std::unique_ptr<TLayoutCache> FLayout;
    mutable TArgbSurface FRangeMask;  // ImageRange drawn with ImageOption at the control's size
    mutable bool FRangeMaskValid = false;
    bool FAutoSizing = false;
};
