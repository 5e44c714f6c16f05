#pragma once
// The plain controls the installer and the skinned library build on: a windowless
// base (TGraphicControl), a label, an image with a picture container, a panel, a
// paint box. The library's timer is TRdTimer (public/rdcontrol/base/RdTimer.h).
//
// UI thread only.
#include <functional>
#include <string>

#include "public/rdcontrol/pictures/Picture.h"
#include "public/rdcontrol/framework/WinControl.h"

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };
enum TVerticalAlignment : std::uint8_t { taAlignTop, taAlignBottom, taVerticalCenter };
enum TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

// A control without a window of its own: it paints into its form's back buffer.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
};

// A text label. Created transparent: it paints only its text (set Transparent to
// false to fill its Color first). A label whose Tag is 10086 switches its font to
// anti-aliased quality at its first paint, once.
class TLabel : public TGraphicControl {
public:
    static constexpr long long kAntialiasTag = 10086;
    explicit TLabel(TComponent* owner);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool EndEllipsis() const { return FEndEllipsis; }
    void SetEndEllipsis(bool v);
    // Resize to the text when the caption or font changes (width too unless WordWrap).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    void SetCaption(const std::string& caption) override;
    // After the last paint: whether the text was cut.
    bool TextCut() const { return FTextCut; }

protected:
    void Paint(TRdCanvas& canvas) override;
    void FontChanged() override;
    void PublishProperties(TPropertyTable& table) override;
    unsigned TextFlags() const;
    void AdjustSize();

private:
    bool FTransparent = true;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FEndEllipsis = false;
    bool FAutoSize = false;
    bool FTextCut = false;
    bool FAntialiasApplied = false;
};

// A picture in a rectangle: drawn at its size (optionally centred), or stretched
// (optionally keeping its proportions).
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    TPicture& Picture() { return FPicture; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    bool Center() const { return FCenter; }
    void SetCenter(bool v);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v);
    // Where the picture goes in the client area.
    TRect DestRect() const;

protected:
    void Paint(TRdCanvas& canvas) override;

private:
    TPicture FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
};

// A container with a background colour and an optional bevel and caption.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut v);

protected:
    void Paint(TRdCanvas& canvas) override;
    void PublishProperties(TPropertyTable& table) override;
    void PaintBevel(TRdCanvas& canvas);
    void PaintCaption(TRdCanvas& canvas);

private:
    TBevelCut FBevelOuter = bvRaised;
};

// Paints through OnPaint.
class TPaintBox : public TGraphicControl {
public:
    using TPaintEvent = std::function<void(TControl* sender, TRdCanvas& canvas)>;
    using TGraphicControl::TGraphicControl;
    TPaintEvent OnPaint;

protected:
    void Paint(TRdCanvas& canvas) override {
        if (OnPaint) OnPaint(this, canvas);
    }
};
