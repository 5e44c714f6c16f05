#include "public/rdcontrol/controls/common/RdStretchImage.h"

#include "public/rdcontrol/controls/common/PictureDraw.h"

TRdStretchImage::TRdStretchImage(TComponent* owner) : TRdPaintBox(owner) {
    SetBounds(0, 0, 105, 105);
    SetColor(clNone);
    SetParentColor(false);
    FPicture.OnChange = [this](TPicture*) { Invalidate(); };
    FPictureBg.OnChange = [this](TPicture*) { Invalidate(); };
    FStretchOption.OnChange = [this] { Invalidate(); };
}

TRdStretchImage::~TRdStretchImage() {
    FPicture.OnChange = nullptr;
    FPictureBg.OnChange = nullptr;
    FStretchOption.OnChange = nullptr;
}

void TRdStretchImage::Paint(TRdCanvas& canvas) {
    if (Color() != clNone) canvas.FillRect(ClientRect(), Color());
    DrawPicture(canvas, FPictureBg, FStretchOption, ClientRect());
    DrawPicture(canvas, FPicture, FStretchOption, ClientRect());
    TRdPaintBox::Paint(canvas);  // OnPaint
}

void TRdStretchImage::PublishProperties(TPropertyTable& table) {
    TRdPaintBox::PublishProperties(table);
    table.AddObject("StretchOption", DesignRectProperties(FStretchOption));
    AddPictureProperty(table, "Picture", FPicture, FSkinPictures);
    AddPictureProperty(table, "Picture_Bg", FPictureBg, FSkinPictures);
}
