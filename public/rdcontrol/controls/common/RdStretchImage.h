#pragma once
// TRdStretchImage: a paint box that fills its bounds with pictures by the
// nine-slice rule: Picture_Bg, then Picture, each laid over the client area by
// StretchOption; then OnPaint. It fills nothing itself (Color is clNone unless
// set). Default size 105 x 105.
//
// UI thread only.
#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/framework/RdControls.h"

class TRdStretchImage : public TRdPaintBox {
public:
    explicit TRdStretchImage(TComponent* owner);
    ~TRdStretchImage() override;

    TPicture& Picture() { return FPicture; }
    TPicture& Picture_Bg() { return FPictureBg; }
    TDesignRect& StretchOption() { return FStretchOption; }

protected:
    void Paint(TRdCanvas& canvas) override;
    void PublishProperties(TPropertyTable& table) override;

private:
    TPicture FPicture, FPictureBg;
    TDesignRect FStretchOption;
    TSkinPictureSource FSkinPictures{AllSkin()};
};
