#include "public/rdcontrol/framework/Application.h"

#include <algorithm>

#include "public/rdcontrol/base/RdTimer.h"
#include "public/rdcontrol/framework/HintWindow.h"
#include "public/rdcontrol/framework/SkinHintWindow.h"

TApplication::TApplication(EventLoop& loop, std::unique_ptr<TApplicationPlatform> platform)
    : FLoop(loop), FPlatform(std::move(platform)) {
    // The library's timers (animations, fades) tick on the application's loop.
    if (!TRdTimer::DefaultLoop()) {
        TRdTimer::SetDefaultLoop(&loop);
        FOwnsTimerLoop = true;
    }
}

TApplication::~TApplication() {
    BeginDestroy();
    CancelHint();
    DestroyComponents();
    if (FOwnsTimerLoop) TRdTimer::SetDefaultLoop(nullptr);
}

std::vector<TCustomForm*> TApplication::Forms() const {
    std::vector<TCustomForm*> forms;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* f = dynamic_cast<TCustomForm*>(Component(i))) forms.push_back(f);
    return forms;
}

void TApplication::SetTitle(const std::string& title) {
    FTitle = title;
    FPlatform->SetTitle(title);
}

void TApplication::Run() {
    if (FShowMainForm && FMainForm && !FMainForm->Visible()) FMainForm->Show();
    RunNestedUntil([] { return false; });
}

void TApplication::RunNestedUntil(const std::function<bool()>& done) {
    while (!FTerminated && !done()) FLoop.RunOnce(std::chrono::milliseconds(1000));
}

void TApplication::Minimize() {
    CancelHint();
    if (FMainForm) FMainForm->Minimize();
    FMinimized = true;
    if (OnMinimize) OnMinimize();
}

void TApplication::Restore() {
    if (FMainForm) FMainForm->Restore();
    FMinimized = false;
    if (OnRestore) OnRestore();
}

void TApplication::FormDestroyed(TCustomForm* form) {
    if (form == FMainForm) FMainForm = nullptr;
    if (form == FHintWindow) FHintWindow = nullptr;
    if (form == FPlainHintWindow) FPlainHintWindow = nullptr;
    if (form == FSkinHintWindow) FSkinHintWindow = nullptr;
    if (FHintControl && FHintControl->Form() == form) CancelHint();
}

void TApplication::ControlGone(TControl* control) {
    for (const TControl* c = FHintControl; c; c = c->Parent())
        if (c == control) {
            CancelHint();
            return;
        }
}

void TApplication::SetShowHint(bool v) {
    FShowHint = v;
    if (!v) CancelHint();
}

void TApplication::HintMouseMove(TControl* control, TPoint screen) {
    FHintPos = screen;
    if (!FShowHint) return;
    TControl* target = HintTarget(control);
    // Within the same control the hint holds while the mouse stays in its area.
    if (target == FHintControl && (FHintArea.IsEmpty() || FHintArea.Contains(screen.X, screen.Y))) return;
    RestartHint(target);
}

void TApplication::RestartHint(TControl* target) {
    const bool wasShowing = !FHintText.empty();
    CancelHint();
    FHintControl = target;
    // Moving from one hint to the next shows the next one at once.
    if (target) StartHintTimer(wasShowing ? std::chrono::milliseconds(50) : HintPause, true);
}

TControl* TApplication::HintTarget(TControl* control) {
    // The one under the mouse or its nearest parent with a hint.
    TControl* target = control;
    while (target && target->ActiveHint().empty()) target = target->Parent();
    if (target && !target->EffectiveShowHint()) target = nullptr;
    return target;
}

void TApplication::HintChanged(TControl* control) {
    if (!FShowHint || !control) return;
    TCustomForm* form = control->Form();
    if (!form || form->MouseControl() != control) return;
    RestartHint(HintTarget(control));
}

void TApplication::StartHintTimer(std::chrono::milliseconds wait, bool show) {
    if (FHintTimer) FLoop.StopTimer(FHintTimer);
    FHintTimer = FLoop.StartTimer(wait, false, [this, show] {
        FHintTimer = 0;
        if (show) {
            ShowHintNow();
        } else {
            TControl* keep = FHintControl;
            const TRect area = FHintArea;
            CancelHint();
            // No new hint until the mouse moves to another control or out of the area.
            FHintControl = keep;
            FHintArea = area;
        }
    });
}

void TApplication::ShowHintNow() {
    if (!FHintControl) return;
    std::string text = FHintControl->ActiveHint();
    if (OnShowHint && !OnShowHint(FHintControl, text)) return;
    if (text.empty()) return;
    FHintText = text;
    if (TCustomForm* form = FHintControl->Form()) {
        const TPoint origin = FHintControl->FormOrigin();
        FHintArea = FHintControl->ActiveHintArea().Offset(form->ScreenOrigin().X + origin.X,
                                                          form->ScreenOrigin().Y + origin.Y);
    }
    THintWindow& window = HintWindowFor(*FHintControl);
    if (FHintWindow && FHintWindow != &window && FHintWindow->Visible()) FHintWindow->Hide();
    FHintWindow = &window;
    const TPoint at{FHintPos.X, FHintPos.Y + 20};
    FHintWindow->ActivateHint(text, at, FPlatform->WorkArea(at));
    StartHintTimer(HintHidePause, false);
}

THintWindow& TApplication::HintWindowFor(TControl& control) {
    const TCustomForm* form = control.Form();
    const auto* style = form ? dynamic_cast<const TRdHintStyle*>(form->FindComponent(kSkinHintStyleName)) : nullptr;
    if (style && style->Enabled()) {
        if (!FSkinHintWindow) {
            FSkinHintWindow = new TRdSkinHintWindow(this);
            FSkinHintWindow->DoCreate();
        }
        FSkinHintWindow->ApplyStyle(*style);
        return *FSkinHintWindow;
    }
    if (!FPlainHintWindow) {
        FPlainHintWindow = new THintWindow(this);
        FPlainHintWindow->DoCreate();
    }
    return *FPlainHintWindow;
}

void TApplication::CancelHint() {
    if (FHintTimer) {
        FLoop.StopTimer(FHintTimer);
        FHintTimer = 0;
    }
    FHintControl = nullptr;
    FHintText.clear();
    FHintArea = TRect{};
    if (FHintWindow && FHintWindow->Visible()) FHintWindow->Hide();
}
