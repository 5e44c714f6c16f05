#pragma once
// The base classes of the skinned controls. Every control of the framework
// already has what the skinned ones publish (Font as a TRdFont, AllSkin, AutoAlign,
// HitTest, the geometry properties, OnResize, OnMouseActivate); these classes add
// what is their own:
// - TRdGraphicControl: a windowless skinned control;
// - TRdCustomControl: a container painted through the form's off-screen buffer
//   (every control here is), the base of skinned containers;
// - TRdImage: an image with OnPaint before and OnPaintEnd after its picture, which
//   a skin sets as "Picture.Text" (SkinPictures.h), with Stretch, Center and
//   Proportional;
// - TRdPaintBox: a paint box;
// - TRdPanel: a panel with a gradient background (ColorTo, ColorToVert), no bevel
//   by default, OnPaint after its children;
// - TRdLayerForm: a form that is always a borderless per-pixel-alpha layered window.
//
// UI thread only.
#include "public/rdcontrol/framework/Form.h"
#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/framework/StdControls.h"

class TRdGraphicControl : public TGraphicControl {
public:
    explicit TRdGraphicControl(TComponent* owner);
};

class TRdCustomControl : public TWinControl {
public:
    explicit TRdCustomControl(TComponent* owner);
};

class TRdImage : public TImage {
public:
    using TPaintEvent = std::function<void(TControl* sender, TRdCanvas& canvas)>;
    explicit TRdImage(TComponent* owner);
    TPaintEvent OnPaint, OnPaintEnd;

protected:
    void Paint(TRdCanvas& canvas) override;
    void PublishProperties(TPropertyTable& table) override;

private:
    TSkinPictureSource FSkinPictures{AllSkin()};
};

class TRdPaintBox : public TPaintBox {
public:
    explicit TRdPaintBox(TComponent* owner);
};

class TRdPanel : public TPanel {
public:
    using TPaintEvent = std::function<void(TControl* sender, TRdCanvas& canvas)>;
    explicit TRdPanel(TComponent* owner);

    // The gradient's end colour; clDefault (or the same as Color) paints solid.
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    // Top to bottom when true, left to right when false.
    bool ColorToVert() const { return FColorToVert; }
    void SetColorToVert(bool v);
    TPaintEvent OnPaint;

protected:
    void Paint(TRdCanvas& canvas) override;
    void PaintAfterChildren(TRdCanvas& canvas) override;
    void PublishProperties(TPropertyTable& table) override;

private:
    TColor FColorTo = clDefault;
    bool FColorToVert = false;
};

class TRdLayerForm : public TCustomForm {
public:
    explicit TRdLayerForm(TComponent* owner);
};
