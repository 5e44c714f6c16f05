#pragma once
// TRdProgressBar: the image-based progress bar (a windowless paint box). It draws
// ImgBackground over the whole client area, ImgBar over the filled part, and
// optionally a small highlight (ImgBooster) that slides along the fill while
// progress is under way.
//
// Fill: with W the client width, f = ceil(W * (Position - Min) / (Max - Min)),
// at least ImgBarOption.Left + Right (so both end caps of the fill picture stay
// whole), cut to the client area; nothing while Position <= Min or Max <= Min.
// Examples: W 400, Position 1 of 0..100: f = 4, 8 with caps of 4 + 4; 33 of 100 on
// 100, 200 and 101 pixels: 33, 66, 34.
//
// Position is kept within Min..Max when set (raised to Min first, then lowered to
// Max); changing Min or Max later does not move it (the fill is then cut to the
// client width).
//
// Highlight: a TRdTimer (ImgInterval ms, default 30) exists while ImgBooster holds a
// picture and runs while Position > Min. Each tick, with R the fill's right edge:
// the offset grows by 4 while the highlight still fits before R; otherwise it
// restarts at R - W (0 at a full bar, negative otherwise: the highlight stays hidden
// for (W - R) / 4 ticks before it shows again at the left). It is drawn unscaled at
// (offset, ImgBoosterY) when Min < Position < Max, offset > 0 and it ends before R.
//
// ShowInTaskbar (our addition, off by default) mirrors the bar on the taskbar
// button of its form's window (TTaskbarList): normal progress with Position - Min
// of Max - Min while Position > Min, no progress otherwise.
//
// UI thread only.
#include <memory>

#include "public/rdcontrol/base/RdTimer.h"
#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/controls/progress/TaskbarList.h"
#include "public/rdcontrol/framework/RdControls.h"

class TRdProgressBar : public TRdPaintBox {
public:
    static constexpr int BoosterStep = 4;
    using TCanResizeEvent = std::function<void(TControl* sender, int& newWidth, int& newHeight, bool& resize)>;

    explicit TRdProgressBar(TComponent* owner);
    ~TRdProgressBar() override;

    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);

    TPicture& ImgBackground() { return FImgBackground; }
    TDesignRect& ImgBackgroundOption() { return FImgBackgroundOption; }
    TPicture& ImgBar() { return FImgBar; }
    TDesignRect& ImgBarOption() { return FImgBarOption; }
    TPicture& ImgBooster() { return FImgBooster; }
    int ImgBoosterY() const { return FImgBoosterY; }
    void SetImgBoosterY(int v);
    int ImgInterval() const { return FImgInterval; }
    void SetImgInterval(int v);

    bool ShowInTaskbar() const { return FShowInTaskbar; }
    void SetShowInTaskbar(bool v);

    // The filled part now (client coordinates; empty when nothing is filled).
    TRect FillRect() const;
    // The highlight's offset, and whether its timer exists and runs.
    int BoosterOffset() const { return FBoosterOffset; }
    bool BoosterTimerExists() const { return FBoosterTimer != nullptr; }
    bool BoosterRunning() const { return FBoosterTimer && FBoosterTimer->Enabled(); }
    // One highlight step, as the timer makes it.
    void StepBooster();

    void SetBounds(int left, int top, int width, int height) override;
    TCanResizeEvent OnCanResize;

protected:
    void Paint(TRdCanvas& canvas) override;
    void PublishProperties(TPropertyTable& table) override;

private:
    void BoosterChanged();
    void UpdateTimer();
    void UpdateTaskbar();

    int FMin = 0, FMax = 100, FPosition = 0;
    TPicture FImgBackground, FImgBar, FImgBooster;
    TDesignRect FImgBackgroundOption, FImgBarOption;
    TSkinPictureSource FSkinPictures{AllSkin()};
    int FImgBoosterY = 0;
    int FImgInterval = 30;
    int FBoosterOffset = 0;
    std::unique_ptr<TRdTimer> FBoosterTimer;
    bool FShowInTaskbar = false;
};
