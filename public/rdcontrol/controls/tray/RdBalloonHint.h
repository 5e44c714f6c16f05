#pragma once
// TRdBalloonHint: the library's balloon-shaped hint window for notifications next
// to the notification area or a control: a title, a description and an optional
// image in a rounded balloon whose stem points at the target. A per-pixel-alpha
// form that never takes the activation and stays on top.
//
// Showing and hiding fade the window's opacity in AnimationSteps steps (default 10)
// AnimationStepTime ms apart (default 20; values below 1 mean 10); with Animated
// off there is one step. The steps run on a TRdTimer on the UI thread (no thread of
// its own, nothing shared across threads). HideAfter > 0 hides the balloon that
// many ms after it is fully shown. A click on the balloon raises OnBalloonClick and
// hides it.
//
// Placement: the stem's tip at the target point, the balloon below it, or above
// when there is no room below in the work area; moved sideways to stay inside.
//
// A skin sets Title, Description, the timing and the Image (as "Image.Text",
// SkinPictures.h).
//
// UI thread only.
#include <string>

#include "public/rdcontrol/base/RdTimer.h"
#include "public/rdcontrol/framework/Form.h"
#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/pictures/Picture.h"

class TRdBalloonHint : public TCustomForm {
public:
    static constexpr int StemHeight = 12, StemWidth = 16, StemInset = 20, Padding = 10, MaxTextWidth = 280;

    explicit TRdBalloonHint(TComponent* owner);
    ~TRdBalloonHint() override;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v);
    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& v);
    TPicture& Image() { return FImage; }
    int HideAfter() const { return FHideAfter; }
    void SetHideAfter(int ms) { FHideAfter = ms; }
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool v) { FAnimated = v; }
    int AnimationSteps() const { return FAnimationSteps; }
    void SetAnimationSteps(int v) { FAnimationSteps = v; }
    int AnimationStepTime() const { return FAnimationStepTime; }
    void SetAnimationStepTime(int v) { FAnimationStepTime = v; }

    // Shows the balloon pointing at screen point at, or at the middle of control's
    // bottom edge.
    void ShowHint(TPoint at);
    void ShowHint(TControl* control);
    void HideHint();
    // The steps in force and the opacity now.
    int Steps() const { return FAnimated ? std::max(FAnimationSteps, 1) : 1; }
    unsigned StepTime() const { return FAnimationStepTime < 1 ? 10u : static_cast<unsigned>(FAnimationStepTime); }
    bool StemUp() const { return FStemUp; }
    bool Fading() const { return FFadeTimer.Enabled(); }

    TNotifyEvent OnBalloonClick, OnHidden;

protected:
    void Paint(TRdCanvas& canvas) override;
    void Click() override;
    void PublishProperties(TPropertyTable& table) override;

private:
    TRect ContentSize();
    void FadeStep();

    std::string FTitle, FDescription;
    TPicture FImage;
    int FHideAfter = 0;
    bool FAnimated = true;
    int FAnimationSteps = 10, FAnimationStepTime = 20;
    bool FStemUp = true;
    int FStemX = StemInset;
    int FStep = 0;
    bool FShowing = false;  // fading in (else out)
    TRdTimer FFadeTimer, FHideTimer;
    TSkinPictureSource FSkinPictures{AllSkin()};
};
