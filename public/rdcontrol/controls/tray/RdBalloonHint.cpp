#include "public/rdcontrol/controls/tray/RdBalloonHint.h"

#include <algorithm>

#include "public/rdcontrol/framework/Application.h"

namespace {

TFontSpec Bold(TFontSpec spec) {
    spec.Style |= fsBold;
    return spec;
}

}  // namespace

TRdBalloonHint::TRdBalloonHint(TComponent* owner) : TCustomForm(owner) {
    SetPerPixelAlpha(true);
    SetShowNoActivate(true);
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetColor(RGB(255, 255, 231));
    Font().SetColor(RGB(30, 30, 30));
    Font().SetHeight(-12);
    SetBounds(0, 0, 200, 80);
    FImage.OnChange = [this](TPicture*) { Invalidate(); };
    FFadeTimer.SetEnabled(false);
    FFadeTimer.SetOnTimer([this](TRdTimer*) { FadeStep(); });
    FHideTimer.SetEnabled(false);
    FHideTimer.SetOnTimer([this](TRdTimer*) {
        FHideTimer.SetEnabled(false);
        HideHint();
    });
}

TRdBalloonHint::~TRdBalloonHint() {
    BeginDestroy();
    FImage.OnChange = nullptr;
}

void TRdBalloonHint::SetTitle(const std::string& v) {
    FTitle = v;
    Invalidate();
}

void TRdBalloonHint::SetDescription(const std::string& v) {
    FDescription = v;
    Invalidate();
}

TRect TRdBalloonHint::ContentSize() {
    TArgbSurface scratch(1, 1);
    TRdCanvas canvas(scratch);
    const int imageWidth = FImage.Empty() ? 0 : FImage.Width() + Padding;
    const TTextDrawResult title =
        canvas.DrawText(FTitle, TRect{0, 0, MaxTextWidth, 1000}, Bold(Font().Spec()), clBlack, tfWordBreak | tfCalcRect);
    const TTextDrawResult text =
        canvas.DrawText(FDescription, TRect{0, 0, MaxTextWidth, 1000}, Font().Spec(), clBlack, tfWordBreak | tfCalcRect);
    const int textWidth = std::max(title.Bounds.Width(), text.Bounds.Width());
    const int textHeight = title.Bounds.Height() + (FTitle.empty() ? 0 : 4) + text.Bounds.Height();
    const int w = 2 * Padding + imageWidth + textWidth;
    const int h = 2 * Padding + std::max(textHeight, FImage.Empty() ? 0 : FImage.Height());
    return TRect{0, 0, std::max(w, StemInset * 2 + StemWidth), h};
}

void TRdBalloonHint::ShowHint(TPoint at) {
    const TRect content = ContentSize();
    const int w = content.Width(), h = content.Height() + StemHeight;
    TRect work{0, 0, 1 << 16, 1 << 16};
    if (TApplication* app = Application()) work = app->Platform().WorkArea(at);
    FStemUp = at.Y + h <= work.Bottom;
    int left = at.X - StemInset - StemWidth / 2;
    left = std::clamp(left, work.Left, std::max(work.Left, work.Right - w));
    FStemX = std::clamp(at.X - left - StemWidth / 2, 4, std::max(4, w - StemWidth - 4));
    const int top = FStemUp ? at.Y : at.Y - h;
    SetBounds(left, top, w, h);
    FHideTimer.SetEnabled(false);
    FShowing = true;
    FStep = 0;
    SetAlphaBlendValue(0);
    InvalidateRect(ClientRect());
    Show();
    FFadeTimer.SetInterval(StepTime());
    FFadeTimer.SetEnabled(false);
    FFadeTimer.SetEnabled(true);
}

void TRdBalloonHint::ShowHint(TControl* control) {
    const TCustomForm* form = control ? control->Form() : nullptr;
    if (!form) return;
    const TRect r = control->FormRect();
    ShowHint(TPoint{form->Left() + r.Left + r.Width() / 2, form->Top() + r.Bottom});
}

void TRdBalloonHint::HideHint() {
    if (!Visible()) return;
    FHideTimer.SetEnabled(false);
    FShowing = false;
    FStep = 0;
    FFadeTimer.SetInterval(StepTime());
    FFadeTimer.SetEnabled(false);
    FFadeTimer.SetEnabled(true);
}

void TRdBalloonHint::FadeStep() {
    const int steps = Steps();
    ++FStep;
    const int alpha = 255 * std::min(FStep, steps) / steps;
    SetAlphaBlendValue(static_cast<std::uint8_t>(FShowing ? alpha : 255 - alpha));
    if (FStep < steps) return;
    FFadeTimer.SetEnabled(false);
    if (FShowing) {
        if (FHideAfter > 0) {
            FHideTimer.SetInterval(static_cast<unsigned>(FHideAfter));
            FHideTimer.SetEnabled(true);
        }
    } else {
        Hide();
        if (OnHidden) OnHidden(this);
    }
}

void TRdBalloonHint::Click() {
    if (OnBalloonClick) OnBalloonClick(this);
    HideHint();
    TCustomForm::Click();
}

void TRdBalloonHint::Paint(TRdCanvas& canvas) {
    const int w = Width(), h = Height();
    const TRect body = FStemUp ? TRect{0, StemHeight, w, h} : TRect{0, 0, w, h - StemHeight};
    const TColor fill = Color(), border = RGB(118, 118, 118);
    canvas.RoundRect(body, 8, 8, fill, border);
    // The stem: a triangle row by row, its base overlapping the body's border.
    for (int i = 0; i <= StemHeight; ++i) {
        const int half = StemWidth / 2 * i / StemHeight;
        const int y = FStemUp ? i : h - 1 - i;
        const int centre = FStemX + StemWidth / 2;
        canvas.FillRect(TRect{centre - half, y, centre + half + 1, y + 1}, fill);
        if (i < StemHeight) {
            canvas.FillRect(TRect{centre - half, y, centre - half + 1, y + 1}, border);
            canvas.FillRect(TRect{centre + half, y, centre + half + 1, y + 1}, border);
        }
    }
    int x = body.Left + Padding;
    const int y = body.Top + Padding;
    if (!FImage.Empty()) {
        FImage.Draw(canvas, TRect::FromSize(x, y, FImage.Width(), FImage.Height()));
        x += FImage.Width() + Padding;
    }
    const TColor ink = Font().Color();
    const TTextDrawResult title =
        canvas.DrawText(FTitle, TRect{x, y, x + MaxTextWidth, body.Bottom}, Bold(Font().Spec()), ink, tfWordBreak);
    const int textTop = FTitle.empty() ? y : title.Bounds.Bottom + 4;
    canvas.DrawText(FDescription, TRect{x, textTop, x + MaxTextWidth, body.Bottom}, Font().Spec(), ink, tfWordBreak);
}

void TRdBalloonHint::PublishProperties(TPropertyTable& table) {
    TCustomForm::PublishProperties(table);
    table.AddString("Title", [this] { return FTitle; }, [this](const std::string& v) { SetTitle(v); });
    table.AddString("Description", [this] { return FDescription; }, [this](const std::string& v) { SetDescription(v); });
    table.AddInt("HideAfter", [this] { return FHideAfter; }, [this](int v) { SetHideAfter(v); });
    table.AddBool("Animated", [this] { return FAnimated; }, [this](bool v) { SetAnimated(v); });
    table.AddInt("AnimationSteps", [this] { return FAnimationSteps; }, [this](int v) { SetAnimationSteps(v); });
    table.AddInt("AnimationStepTime", [this] { return FAnimationStepTime; }, [this](int v) { SetAnimationStepTime(v); });
    AddPictureProperty(table, "Image", FImage, FSkinPictures);
}
