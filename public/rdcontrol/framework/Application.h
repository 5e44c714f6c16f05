#pragma once
// TApplication: the program's UI root. It owns the forms (they are its
// components), runs the one event loop of the process (on Windows the thread's
// message loop, so window messages, timers and downloads share it), runs nested
// loops for modal forms and long waits (ProcessMessages), knows the main form
// (closing it ends the run), minimises and restores the program, and shows hints:
// when the mouse rests over a control whose ShowHint is on, its Hint appears in a
// small hint form after HintPause and goes after HintHidePause or when the mouse
// moves to another control or out of the control's hint area (ActiveHintArea).
// A form holding an enabled TRdHintStyle named "RdUseSkinHint" (SkinHintWindow.h)
// has its controls' hints shown in a TRdSkinHintWindow styled by it; other forms
// use the plain THintWindow.
//
// Platform services come in through TApplicationPlatform (the Windows one is made
// by MakeWin32ApplicationPlatform in Application_win.cpp); tests give a fake.
//
// UI thread only. One application per process is the normal case, but nothing
// here is global: tests make as many as they like.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/framework/Form.h"

class THintWindow;
class TRdSkinHintWindow;

class TApplicationPlatform {
public:
    virtual ~TApplicationPlatform() = default;
    virtual std::unique_ptr<TFormWindow> MakeWindow(TCustomForm& form) = 0;
    // The work area of the screen the point is on (screen coordinates).
    virtual TRect WorkArea(TPoint point) const = 0;
    virtual TPoint CursorPos() const = 0;
    // The program's title in the taskbar.
    virtual void SetTitle(const std::string& title) = 0;
    // Shows a context menu of captions ("-" a separator; enabled per item) at the
    // screen point and tracks it until the user chooses or dismisses it. Returns
    // the chosen index, -1 for none. A platform without menus shows none.
    virtual int TrackMenu(const std::vector<std::string>& /*captions*/, const std::vector<bool>& /*enabled*/,
                          TPoint /*screen*/) {
        return -1;
    }
};

class TApplication : public TComponent {
public:
    TApplication(EventLoop& loop, std::unique_ptr<TApplicationPlatform> platform);
    ~TApplication() override;

    EventLoop& Loop() { return FLoop; }
    TApplicationPlatform& Platform() { return *FPlatform; }

    // Builds a form owned by the application and runs its OnCreate. The first form
    // created becomes the main form.
    template <typename TForm, typename... Args>
    TForm* CreateForm(Args&&... args) {
        auto* form = new TForm(this, std::forward<Args>(args)...);
        if (!FMainForm) FMainForm = form;
        form->DoCreate();
        return form;
    }
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* form) { FMainForm = form; }
    // Forms of this application, in creation order.
    std::vector<TCustomForm*> Forms() const;

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title);
    // When set, the main form's window (its taskbar button) shows Title instead of
    // the form's caption, as a program whose taskbar button is the application's.
    // Read when the main form's window is made.
    bool MainFormShowsTitle() const { return FMainFormShowsTitle; }
    void SetMainFormShowsTitle(bool v) { FMainFormShowsTitle = v; }

    // Runs the loop until Terminate (or the main form closes), first showing the
    // main form unless ShowMainForm was cleared (a program that starts in the
    // notification area).
    void Run();
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool v) { FShowMainForm = v; }
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    // Handles what is waiting and returns (for long waits and nested loops).
    void ProcessMessages() { FLoop.ProcessMessages(); }
    // Runs the loop until done() (or Terminated()); the modal loops use it.
    void RunNestedUntil(const std::function<bool()>& done);

    void Minimize();
    void Restore();
    bool Minimized() const { return FMinimized; }
    std::function<void()> OnMinimize, OnRestore;

    // --- Hints --------------------------------------------------------------------
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    std::chrono::milliseconds HintPause{500};
    std::chrono::milliseconds HintHidePause{2500};
    // May change the text or cancel (return false) before a hint shows.
    std::function<bool(TControl* control, std::string& hint)> OnShowHint;
    // Forms tell the application where the mouse is (screen coordinates).
    void HintMouseMove(TControl* control, TPoint screen);
    // The hint of control (ActiveHint) changed while the mouse may be over it: the
    // hint is looked up again and, if one was showing, replaced at once.
    void HintChanged(TControl* control);
    void CancelHint();
    // The hint shown now ("" when none); for tests and for the hint window.
    const std::string& CurrentHint() const { return FHintText; }
    // Where the hint shown last holds, in screen coordinates (empty: none).
    const TRect& CurrentHintArea() const { return FHintArea; }
    // The window that showed the hint last (nullptr before the first hint).
    THintWindow* HintWindow() const { return FHintWindow; }

    // The application-wide message hook (Windows: every message taken from the
    // queue passes here first; return true to swallow it). Platform-specific data
    // travels as an opaque pointer to the platform's message structure.
    std::function<bool(void* platformMessage)> OnMessage;

    // Called by forms: a form is being freed; a control is going away.
    void FormDestroyed(TCustomForm* form);
    void ControlGone(TControl* control);

private:
    void StartHintTimer(std::chrono::milliseconds wait, bool show);
    // The control that has something to say for control: itself or its nearest
    // parent with a hint, if hints are on for it.
    static TControl* HintTarget(TControl* control);
    void ShowHintNow();
    // The window for a hint of control: skinned when its form asks for it.
    THintWindow& HintWindowFor(TControl& control);
    void RestartHint(TControl* target);

    EventLoop& FLoop;
    std::unique_ptr<TApplicationPlatform> FPlatform;
    TCustomForm* FMainForm = nullptr;
    std::string FTitle;
    bool FMainFormShowsTitle = false;
    bool FTerminated = false;
    bool FMinimized = false;
    bool FShowMainForm = true;
    bool FShowHint = true;
    TControl* FHintControl = nullptr;
    TPoint FHintPos;
    std::string FHintText;
    TRect FHintArea;
    EventLoop::TimerId FHintTimer = 0;
    THintWindow* FHintWindow = nullptr;  // the plain or the skinned one, as used last
    THintWindow* FPlainHintWindow = nullptr;
    TRdSkinHintWindow* FSkinHintWindow = nullptr;
    bool FOwnsTimerLoop = false;
};
