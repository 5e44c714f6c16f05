#pragma once
// TRdEdit: a single-line text edit whose frame and background are drawn from state
// images (EditState.h: normal, over, selected = focused, disabled, error, empty),
// with one font per state, an error mode and a grey prompt while it is empty.
// Editing, caret, selection and the clipboard are the framework's native edit's
// (TNativeEdit); this class paints around and under it and keeps its state.
//
// Painting: Color (clNone: nothing, the parent shows) under the state image laid
// over the whole control by ImageOption, the prompt, then the native text. The
// native window covers only the text area (TextArea): the control less
// TextLeftMargin and TextRightMargin, its top (Height - th) div 2 - BorderWidth
// down, th being the height of the sample "`g_f" in the current font, which
// centres one line. It has no frame of its own and draws its text over the
// pixels painted here, in the current font's colour, so the edit looks exactly
// like its images: on a per-pixel-alpha form every pixel but the ink is the
// skin's own.
//
// Fonts: FontError and FontDisabled follow FontNormal in everything not set on
// them (at creation only their colours are: red and grey). The working Font is
// FontDisabled when disabled, else FontError in ErrorMode, else FontNormal, and
// changes at once when the state or the state's font changes.
//
// Flags: focus entered sets focused and clears empty (the prompt and ImageEmpty go
// at once); focus left runs OnExit, clears focused and sets empty when the text is
// empty; a text change while not focused recomputes empty. Hover follows the
// pointer over the control and its native window; it repaints only when that can
// change the look (enabled, not focused, ImageOver present). A disabled edit
// refuses the focus (its form moves the focus on when it is disabled while
// focused) and lets the mouse through; its native window stays enabled so that
// the library alone draws the disabled look.
//
// UI thread only.
#include <string>

#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/controls/input/EditState.h"
#include "public/rdcontrol/controls/input/RdFontLink.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/framework/NativeControl.h"
#include "public/rdcontrol/framework/StdControls.h"

enum TEditCharCase : std::uint8_t { ecNormal, ecUpperCase, ecLowerCase };

class TRdEdit : public TNativeEdit {
public:
    explicit TRdEdit(TComponent* owner);
    ~TRdEdit() override;

    // Replaces the text (OnChange fires, as for typing).
    void SetText(const std::string& utf8);

    TRdFont& FontNormal() { return FFontNormal; }
    TRdFont& FontError() { return FFontError; }
    TRdFont& FontDisabled() { return FFontDisabled; }
    TColor FontEmptyColor() const { return FFontEmptyColor; }
    void SetFontEmptyColor(TColor v);
    bool ErrorMode() const { return FErrorMode; }
    void SetErrorMode(bool v);

    TPicture& ImageNormal() { return FImageNormal; }
    TPicture& ImageOver() { return FImageOver; }
    TPicture& ImageSelected() { return FImageSelected; }
    TPicture& ImageDisabled() { return FImageDisabled; }
    TPicture& ImageError() { return FImageError; }
    TPicture& ImageEmpty() { return FImageEmpty; }
    TDesignRect& ImageOption() { return FImageOption; }
    // Setting Empty to false on an empty option takes margins of a third of
    // ImageNormal's size.
    void SetImageOptionEmpty(bool empty);

    int TextLeftMargin() const { return FTextLeftMargin; }
    void SetTextLeftMargin(int v);
    int TextRightMargin() const { return FTextRightMargin; }
    void SetTextRightMargin(int v);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);

    const std::string& TextHint() const { return FTextHint; }
    void SetTextHint(const std::string& v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    char32_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t v);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase v);
    // Limits on the text, however it comes (typed, pasted or set): at most MaxLength
    // characters (0: no limit) and, with NumbersOnly, the digits 0-9 only. Refused
    // characters are dropped and the rest kept.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    bool NumbersOnly() const { return FNumbersOnly; }
    void SetNumbersOnly(bool v);

    // The state and what it selects now.
    TEditState State() const;
    bool Hover() const { return FHoverFrame || FHoverNative; }
    bool FocusedFlag() const { return FFocused; }
    bool EmptyFlag() const { return FEmpty; }
    TEditImage CurrentImage() const;
    TPicture& Image(TEditImage image);
    // The native text area, in control coordinates.
    TRect TextArea() const;

protected:
    void Paint(TRdCanvas& canvas) override;
    TRect NativeRect() const override;
    bool NativeEnabled() const override { return true; }
    void NativeCreated() override;
    void NativeChanged() override;
    void NativeHover(bool inside) override;
    void DoEnter() override;
    void DoExit() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void Resize() override;
    void PublishProperties(TPropertyTable& table) override;

private:
    void ApplyStateFont();
    void ApplyOptions();
    void RecomputeEmpty();
    void HoverChanged(bool before);
    TRdFont& StateFont();

    TRdFont FFontNormal, FFontError, FFontDisabled;
    TRdFontLink FErrorLink, FDisabledLink;
    TColor FFontEmptyColor = 0x808080;
    bool FErrorMode = false;
    TPicture FImageNormal, FImageOver, FImageSelected, FImageDisabled, FImageError, FImageEmpty;
    TSkinPictureSource FSkinPictures{AllSkin()};
    TDesignRect FImageOption;
    int FTextLeftMargin = 0, FTextRightMargin = 0, FBorderWidth = 0;
    int FMaxLength = 0;
    bool FNumbersOnly = false;
    // `text` within MaxLength and NumbersOnly.
    std::string AllowedText(const std::string& text) const;
    std::string FTextHint;
    TAlignment FAlignment = taLeftJustify;
    char32_t FPasswordChar = 0;
    TEditCharCase FCharCase = ecNormal;
    bool FFocused = false;
    bool FEmpty = true;
    bool FHoverFrame = false, FHoverNative = false;
    bool FSwitchingFont = false;
};
