#include "public/rdcontrol/framework/RdControls.h"

TRdGraphicControl::TRdGraphicControl(TComponent* owner) : TGraphicControl(owner) {}

TRdCustomControl::TRdCustomControl(TComponent* owner) : TWinControl(owner) {}

TRdImage::TRdImage(TComponent* owner) : TImage(owner) {}

void TRdImage::Paint(TRdCanvas& canvas) {
    if (OnPaint) OnPaint(this, canvas);
    TImage::Paint(canvas);
    if (OnPaintEnd) OnPaintEnd(this, canvas);
}

void TRdImage::PublishProperties(TPropertyTable& table) {
    TImage::PublishProperties(table);
    AddPictureProperty(table, "Picture", Picture(), FSkinPictures);
    table.AddBool("Stretch", [this] { return Stretch(); }, [this](bool v) { SetStretch(v); });
    table.AddBool("Center", [this] { return Center(); }, [this](bool v) { SetCenter(v); });
    table.AddBool("Proportional", [this] { return Proportional(); }, [this](bool v) { SetProportional(v); });
}

TRdPaintBox::TRdPaintBox(TComponent* owner) : TPaintBox(owner) {}

TRdPanel::TRdPanel(TComponent* owner) : TPanel(owner) { SetBevelOuter(bvNone); }

void TRdPanel::SetColorTo(TColor v) {
    if (v == FColorTo) return;
    FColorTo = v;
    Invalidate();
}

void TRdPanel::SetColorToVert(bool v) {
    if (v == FColorToVert) return;
    FColorToVert = v;
    Invalidate();
}

void TRdPanel::Paint(TRdCanvas& canvas) {
    if (Color() != clNone) {
        if (FColorTo != clDefault && FColorTo != Color())
            canvas.GradientFill(ClientRect(), Color(), FColorTo, FColorToVert);
        else
            canvas.FillRect(ClientRect(), Color());
    }
    PaintBevel(canvas);
    PaintCaption(canvas);
}

void TRdPanel::PaintAfterChildren(TRdCanvas& canvas) {
    if (OnPaint) OnPaint(this, canvas);
}

void TRdPanel::PublishProperties(TPropertyTable& table) {
    TPanel::PublishProperties(table);
    table.AddColor("ColorTo", [this] { return FColorTo; }, [this](TColor v) { SetColorTo(v); });
    table.AddBool("ColorToVert", [this] { return FColorToVert; }, [this](bool v) { SetColorToVert(v); });
}

TRdLayerForm::TRdLayerForm(TComponent* owner) : TCustomForm(owner) { SetPerPixelAlpha(true); }
