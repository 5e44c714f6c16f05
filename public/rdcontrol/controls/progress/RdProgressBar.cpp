#include "public/rdcontrol/controls/progress/RdProgressBar.h"

#include <algorithm>

#include "public/rdcontrol/controls/common/PictureDraw.h"
#include "public/rdcontrol/framework/Form.h"

TRdProgressBar::TRdProgressBar(TComponent* owner) : TRdPaintBox(owner) {
    SetBounds(0, 0, 150, 17);
    FImgBackground.OnChange = [this](TPicture*) { Invalidate(); };
    FImgBar.OnChange = [this](TPicture*) { Invalidate(); };
    FImgBooster.OnChange = [this](TPicture*) { BoosterChanged(); };
    FImgBackgroundOption.OnChange = [this] { Invalidate(); };
    FImgBarOption.OnChange = [this] { Invalidate(); };
}

TRdProgressBar::~TRdProgressBar() {
    BeginDestroy();
    FBoosterTimer.reset();
    FImgBackground.OnChange = nullptr;
    FImgBar.OnChange = nullptr;
    FImgBooster.OnChange = nullptr;
}

void TRdProgressBar::SetMin(int v) {
    if (v == FMin) return;
    FMin = v;
    UpdateTaskbar();
    Invalidate();
}

void TRdProgressBar::SetMax(int v) {
    if (v == FMax) return;
    FMax = v;
    UpdateTaskbar();
    Invalidate();
}

void TRdProgressBar::SetPosition(int v) {
    v = std::max(v, FMin);
    v = std::min(v, FMax);
    if (v == FPosition) return;
    FPosition = v;
    UpdateTimer();
    UpdateTaskbar();
    Invalidate();
}

void TRdProgressBar::SetImgBoosterY(int v) {
    if (v == FImgBoosterY) return;
    FImgBoosterY = v;
    Invalidate();
}

void TRdProgressBar::SetImgInterval(int v) {
    FImgInterval = std::max(v, 0);
    if (FBoosterTimer) FBoosterTimer->SetInterval(static_cast<unsigned>(FImgInterval));
}

void TRdProgressBar::BoosterChanged() {
    if (Destroying()) return;
    if (FImgBooster.Empty()) {
        FBoosterTimer.reset();
        FBoosterOffset = 0;
    } else if (!FBoosterTimer) {
        FBoosterTimer = std::make_unique<TRdTimer>();
        FBoosterTimer->SetEnabled(false);
        FBoosterTimer->SetInterval(static_cast<unsigned>(FImgInterval));
        FBoosterTimer->SetOnTimer([this](TRdTimer*) { StepBooster(); });
        UpdateTimer();
    }
    Invalidate();
}

void TRdProgressBar::UpdateTimer() {
    if (FBoosterTimer) FBoosterTimer->SetEnabled(FPosition > FMin);
}

void TRdProgressBar::SetShowInTaskbar(bool v) {
    if (v == FShowInTaskbar) return;
    FShowInTaskbar = v;
    if (!v) {
        if (TCustomForm* form = Form(); form && form->Window())
            CurrentTaskbarList().SetProgressState(form->Window()->PlatformHandle(), TTaskbarProgressState::NoProgress);
        return;
    }
    UpdateTaskbar();
}

void TRdProgressBar::UpdateTaskbar() {
    if (!FShowInTaskbar) return;
    TCustomForm* form = Form();
    if (!form || !form->Window()) return;
    const TWindowHandle window = form->Window()->PlatformHandle();
    if (FPosition > FMin && FMax > FMin) {
        CurrentTaskbarList().SetProgressState(window, TTaskbarProgressState::Normal);
        CurrentTaskbarList().SetProgressValue(window, static_cast<std::uint64_t>(static_cast<std::int64_t>(FPosition) - FMin),
                                       static_cast<std::uint64_t>(static_cast<std::int64_t>(FMax) - FMin));
    } else {
        CurrentTaskbarList().SetProgressState(window, TTaskbarProgressState::NoProgress);
    }
}

void TRdProgressBar::SetBounds(int left, int top, int width, int height) {
    if (OnCanResize && (width != Width() || height != Height())) {
        bool resize = true;
        OnCanResize(this, width, height, resize);
        if (!resize) {
            width = Width();
            height = Height();
        }
    }
    TRdPaintBox::SetBounds(left, top, width, height);
}

TRect TRdProgressBar::FillRect() const {
    const TRect c = ClientRect();
    if (FPosition <= FMin || FMax <= FMin) return TRect{c.Left, c.Top, c.Left, c.Bottom};
    // Rounded up: any progress at all shows.
    const std::int64_t num = static_cast<std::int64_t>(c.Width()) * (static_cast<std::int64_t>(FPosition) - FMin);
    const std::int64_t den = static_cast<std::int64_t>(FMax) - FMin;
    std::int64_t f = num / den + (num % den != 0 ? 1 : 0);
    f = std::max<std::int64_t>(f, FImgBarOption.Left() + FImgBarOption.Right());
    return TRect{c.Left, c.Top, static_cast<int>(std::min<std::int64_t>(c.Left + f, c.Right)), c.Bottom};
}

void TRdProgressBar::StepBooster() {
    if (FImgBooster.Empty() || !Showing() || FPosition <= FMin || FMax <= FMin) return;
    const TRect c = ClientRect();
    const int right = FillRect().Right;
    if (right > c.Left + FBoosterOffset + FImgBooster.Width())
        FBoosterOffset += BoosterStep;
    else
        FBoosterOffset = right - c.Width();
    Invalidate();
}

void TRdProgressBar::Paint(TRdCanvas& canvas) {
    UpdateTimer();
    const TRect c = ClientRect();
    DrawPicture(canvas, FImgBackground, FImgBackgroundOption, c);
    if (FPosition > FMin && FMax > FMin) {
        const TRect fill = FillRect();
        DrawPicture(canvas, FImgBar, FImgBarOption, fill);
        const int bw = FImgBooster.Width();
        if (!FImgBooster.Empty() && FPosition < FMax && FBoosterOffset > 0 &&
            c.Left + FBoosterOffset + bw < fill.Right)
            DrawPicture(canvas, FImgBooster, TDesignRect{},
                        TRect::FromSize(c.Left + FBoosterOffset, FImgBoosterY, bw, FImgBooster.Height()));
    }
    TRdPaintBox::Paint(canvas);
}

void TRdProgressBar::PublishProperties(TPropertyTable& t) {
    TRdPaintBox::PublishProperties(t);
    t.SetClassName("TRdProgressBar");
    t.AddInt("Min", [this] { return FMin; }, [this](int v) { SetMin(v); });
    t.AddInt("Max", [this] { return FMax; }, [this](int v) { SetMax(v); });
    t.AddInt("Position", [this] { return FPosition; }, [this](int v) { SetPosition(v); });
    t.AddInt("ImgBoosterY", [this] { return FImgBoosterY; }, [this](int v) { SetImgBoosterY(v); });
    t.AddInt("ImgInterval", [this] { return FImgInterval; }, [this](int v) { SetImgInterval(v); });
    AddPictureProperty(t, "ImgBackground", FImgBackground, FSkinPictures);
    AddPictureProperty(t, "ImgBar", FImgBar, FSkinPictures);
    AddPictureProperty(t, "ImgBooster", FImgBooster, FSkinPictures);
    t.AddObject("ImgBackgroundOption", DesignRectProperties(FImgBackgroundOption));
    t.AddObject("ImgBarOption", DesignRectProperties(FImgBarOption));
}
