#pragma once
// Skinned hints. A form that wants its controls' hints in its own look holds a
// TRdHintStyle named "RdUseSkinHint" (kSkinHintStyleName); while that style is
// Enabled, the application shows those hints in a TRdSkinHintWindow painted with
// the style's colours and font. The installer's forms hold no such component, so
// they keep the plain THintWindow.
//
// The window copies the style's values each time it shows a hint: it keeps no
// pointer to the style, which its form may free at any time.
//
// UI thread only; the application owns the window, a form owns its style.
#include "public/rdcontrol/framework/HintWindow.h"

inline constexpr const char* kSkinHintStyleName = "RdUseSkinHint";

class TRdHintStyle : public TComponent {
public:
    explicit TRdHintStyle(TComponent* owner) : TComponent(owner) { FFont.SetColor(clBlack); }

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { FEnabled = v; }
    // The hint's background, its one-pixel border and its text.
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; }
    TRdFont& Font() { return FFont; }
    const TRdFont& Font() const { return FFont; }

private:
    bool FEnabled = true;
    TColor FColor = RGB(255, 255, 225);
    TColor FBorderColor = clGray;
    TRdFont FFont;
};

class TRdSkinHintWindow : public THintWindow {
public:
    explicit TRdSkinHintWindow(TComponent* owner) : THintWindow(owner) {}
    // Takes the style's look for the next hint.
    void ApplyStyle(const TRdHintStyle& style);
    TColor BorderColor() const { return FBorderColor; }

protected:
    void Paint(TRdCanvas& canvas) override;

private:
    TColor FBorderColor = clGray;
};
