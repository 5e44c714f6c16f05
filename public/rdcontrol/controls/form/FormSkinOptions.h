#pragma once
// The option objects of a skinned form (TRdFormSkin): how the shadow picture is laid
// into the shadow window, the corner shape of the window region, the border line,
// the shadow's thickness per side, and the picture options reached through the
// skin binding. Plain values; OnChange runs after a property takes a different
// value, so the skin re-applies itself.
#include <cstdint>
#include <functional>

#include "public/rdcontrol/drawing/Color.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/skin/SkinProperties.h"

namespace form_skin_detail {
template <typename T>
bool Store(T& field, T value) {
    if (field == value) return false;
    field = value;
    return true;
}
}  // namespace form_skin_detail

// TDesignRect plus paddings: the shadow picture is laid into the shadow window's
// rectangle reduced by them.
class TRdFormSkinBkgOpt : public TDesignRect {
public:
    int PadLeft() const { return FPadLeft; }
    void SetPadLeft(int v) { Set(FPadLeft, v); }
    int PadTop() const { return FPadTop; }
    void SetPadTop(int v) { Set(FPadTop, v); }
    int PadRight() const { return FPadRight; }
    void SetPadRight(int v) { Set(FPadRight, v); }
    int PadBottom() const { return FPadBottom; }
    void SetPadBottom(int v) { Set(FPadBottom, v); }

private:
    void Set(int& field, int v) {
        if (form_skin_detail::Store(field, v) && OnChange) OnChange();
    }
    int FPadLeft = 0, FPadTop = 0, FPadRight = 0, FPadBottom = 0;
};

// Corner shape of the window region: rounded (Ellipse) or cut at 45 degrees.
class TEllipseSize {
public:
    bool Ellipse() const { return FEllipse; }
    void SetEllipse(bool v) { Set(FEllipse, v); }
    int Width() const { return FWidth; }
    void SetWidth(int v) { Set(FWidth, v); }
    int Height() const { return FHeight; }
    void SetHeight(int v) { Set(FHeight, v); }
    // The region is shaped only when a size is given.
    bool Active() const { return FWidth != 0 || FHeight != 0; }
    std::function<void()> OnChange;

private:
    template <typename T>
    void Set(T& field, T v) {
        if (form_skin_detail::Store(field, v) && OnChange) OnChange();
    }
    bool FEllipse = true;
    int FWidth = 0, FHeight = 0;
};

// A thin line around the window, drawn into the shadow window just outside it.
class TBorderLines {
public:
    static constexpr TColor DefaultColor = static_cast<TColor>(0xFF000006);  // the window-frame colour

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { Set(FEnabled, v); }
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { Set(FColor, v); }
    int Width() const { return FWidth; }
    void SetWidth(int v) { Set(FWidth, v); }
    bool Left() const { return FLeft; }
    void SetLeft(bool v) { Set(FLeft, v); }
    bool Right() const { return FRight; }
    void SetRight(bool v) { Set(FRight, v); }
    bool Top() const { return FTop; }
    void SetTop(bool v) { Set(FTop, v); }
    bool Bottom() const { return FBottom; }
    void SetBottom(bool v) { Set(FBottom, v); }
    // Whether anything is drawn.
    bool Active() const { return FEnabled && FWidth != 0 && (FLeft || FRight || FTop || FBottom) && FColor != clNone; }
    std::function<void()> OnChange;

private:
    template <typename T>
    void Set(T& field, T v) {
        if (form_skin_detail::Store(field, v) && OnChange) OnChange();
    }
    bool FEnabled = false;
    TColor FColor = DefaultColor;
    int FWidth = 1;
    bool FLeft = true, FRight = true, FTop = true, FBottom = true;
};

// The shadow's thickness on each side of the window, and its switch.
class TShadowFrame {
public:
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { Set(FEnabled, v); }
    int Left() const { return FLeft; }
    void SetLeft(int v) { Set(FLeft, v); }
    int Right() const { return FRight; }
    void SetRight(int v) { Set(FRight, v); }
    int Top() const { return FTop; }
    void SetTop(int v) { Set(FTop, v); }
    int Bottom() const { return FBottom; }
    void SetBottom(int v) { Set(FBottom, v); }
    int Width() const { return FLeft + FRight; }
    int Height() const { return FTop + FBottom; }
    std::function<void()> OnChange;

private:
    template <typename T>
    void Set(T& field, T v) {
        if (form_skin_detail::Store(field, v) && OnChange) OnChange();
    }
    bool FEnabled = false;
    int FLeft = 0, FRight = 0, FTop = 0, FBottom = 0;
};

// Picture options reached only through the skin binding; kept, not drawn.
class TPicOption {
public:
    std::uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(std::uint8_t v) { Set(FOpacity, v); }
    int PadLeft() const { return FPadLeft; }
    void SetPadLeft(int v) { Set(FPadLeft, v); }
    int PadTop() const { return FPadTop; }
    void SetPadTop(int v) { Set(FPadTop, v); }
    int PadRight() const { return FPadRight; }
    void SetPadRight(int v) { Set(FPadRight, v); }
    int PadBottom() const { return FPadBottom; }
    void SetPadBottom(int v) { Set(FPadBottom, v); }
    std::function<void()> OnChange;

private:
    template <typename T>
    void Set(T& field, T v) {
        if (form_skin_detail::Store(field, v) && OnChange) OnChange();
    }
    std::uint8_t FOpacity = 255;
    int FPadLeft = 1, FPadTop = 1, FPadRight = 1, FPadBottom = 1;
};
