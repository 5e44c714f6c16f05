#pragma once
// TCustomForm: a borderless top-level window and the root of a control tree.
//
// The form paints its whole tree into a 32-bit premultiplied ARGB back buffer the
// size of its client area, only where something was invalidated, and its
// platform window (TFormWindow) shows that buffer: opaque, at a constant alpha, or
// as a per-pixel-alpha layered window (the skinned forms' shadows and round
// corners). It routes the window's mouse and key input to its controls: hit testing
// (controls with HitTest false let the mouse through), capture from button down to
// button up, enter/leave, clicks and double clicks, the focused control's keys.
//
// Life: create (owned by the application or another form), DoCreate (OnCreate),
// Show / ShowModal, Close (OnCloseQuery, OnClose with its action), free (OnDestroy).
// The window is made on first show through the application's window factory (or
// one given with SetWindow, as tests do).
//
// UI thread only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "public/rdcontrol/framework/FormWindow.h"
#include "public/rdcontrol/framework/WinControl.h"

class TApplication;

enum class TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum class TPosition : std::uint8_t { poDesigned, poScreenCenter, poMainFormCenter, poOwnerFormCenter };
enum class TFormStyle : std::uint8_t { fsNormal, fsStayOnTop };
// What the window's non-client hit test answers for a point of the client area.
enum class TWindowHitArea : std::uint8_t { Client, Transparent, Caption };

// Something that follows a form's platform window (a skin that hooks its
// messages, a shadow that follows it): told after a window was attached, before it
// goes, and after the window's constant alpha was applied (fading a form fades
// what follows it). Listeners remove themselves before they go.
class TFormWindowListener {
public:
    virtual void FormWindowAttached(TCustomForm& /*form*/) {}
    virtual void FormWindowDetaching(TCustomForm& /*form*/) {}
    virtual void FormAlphaApplied(TCustomForm& /*form*/, std::uint8_t /*alpha*/) {}

protected:
    ~TFormWindowListener() = default;
};

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                              mrYes = 6, mrNo = 7, mrClose = 8;

class TCustomForm : public TWinControl {
public:
    using TCloseQueryEvent = std::function<void(TControl* sender, bool& canClose)>;
    using TCloseEvent = std::function<void(TControl* sender, TCloseAction& action)>;
    using TPaintEvent = std::function<void(TControl* sender, TRdCanvas& canvas)>;

    // owner: the application, or another form (which then also owns the window
    // order: an owned form stays above its owner).
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    // The application this form belongs to (through its owners), or nullptr.
    TApplication* Application() const;

    // Runs OnCreate; the application's CreateForm calls it once the form is built.
    void DoCreate();

    // Screen position of the client area's top-left.
    TPoint ScreenOrigin() const { return TPoint{Left(), Top()}; }
    void SetBounds(int left, int top, int width, int height) override;

    void SetCaption(const std::string& caption) override;
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition p) { FPosition = p; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle style);

    // Layering: AlphaBlend with AlphaBlendValue gives a constant opacity;
    // PerPixelAlpha shows the back buffer's own alpha (transparent where nothing is
    // painted). Opaque forms fill with Color first.
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool v);
    std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(std::uint8_t v);
    bool PerPixelAlpha() const { return FPerPixelAlpha; }
    void SetPerPixelAlpha(bool v);
    TFormLayering Layering() const;

    // --- Showing and closing ----------------------------------------------------
    void SetVisible(bool visible) override;
    // Shows the form and runs a nested loop until ModalResult is set (Close sets
    // mrCancel); other forms of the application are disabled meanwhile. Returns
    // the result and hides the form.
    TModalResult ShowModal();
    bool Modal() const { return FModal; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult r) { FModalResult = r; }
    // OnCloseQuery, then OnClose with its action: caHide hides, caFree hides and
    // frees the form after the current event, caMinimize minimises, caNone keeps it.
    // Closing the main form ends the application.
    void Close();
    // Frees the form once the current event has returned.
    void Release();
    bool Active() const { return FActive; }
    // Shown without taking the activation (hint windows, pop-ups).
    bool ShowNoActivate() const { return FShowNoActivate; }
    void SetShowNoActivate(bool v) { FShowNoActivate = v; }
    // Whether the window has a button in the taskbar (pop-ups such as drop-down
    // lists have none). Read when the window is made.
    bool TaskbarButton() const { return FTaskbarButton; }
    void SetTaskbarButton(bool v) { FTaskbarButton = v; }
    void Minimize();
    void Restore();

    // --- Focus ------------------------------------------------------------------
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    // Moves the focus to the next (or previous) focusable control in tab order.
    void SelectNext(bool forward);

    // --- The platform window ------------------------------------------------------
    void SetWindow(std::unique_ptr<TFormWindow> window);
    TFormWindow* Window() const { return FWindow.get(); }
    // Makes the window when there is none yet (through the application).
    TFormWindow* HandleNeeded();
    // Listeners of the platform window (called in the order they were added).
    void AddWindowListener(TFormWindowListener* listener);
    void RemoveWindowListener(TFormWindowListener* listener);

    // --- Painting ------------------------------------------------------------------
    // Marks rect (client coordinates) for repainting.
    void InvalidateRect(const TRect& rect);
    const TRect& InvalidRect() const { return FInvalid; }
    // Paints the invalid area into the back buffer and returns the rectangle that
    // changed (empty when nothing was invalid). Called by the window.
    TRect PaintInvalid();
    const TArgbSurface& BackBuffer() const { return FBackBuffer; }
    // Paints the whole form into the back buffer now.
    void PaintAll();

    // --- Input from the window (client coordinates) -------------------------------
    void HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y, bool doubleClick);
    void HandleMouseMove(TShiftState shift, int x, int y);
    void HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void HandleMouseLeave();
    void HandleMouseWheel(TShiftState shift, int delta, int x, int y);
    // Return true when the key was used (the window then does not pass it on).
    bool HandleKeyDown(int key, TShiftState shift);
    bool HandleKeyUp(int key, TShiftState shift);
    bool HandleChar(char32_t ch);
    void HandleActivate(bool active);
    // The system asks the window to close (Alt+F4, the taskbar).
    void HandleCloseRequest();
    // The window was moved or sized by the system.
    void HandleWindowBounds(const TRect& screenRect);
    virtual TWindowHitArea WindowHitTest(int x, int y) const;
    // The control the mouse is over (nullptr: none or outside), and the one holding
    // the capture.
    TControl* MouseControl() const { return FMouseControl; }
    TControl* CaptureControl() const { return FCaptureControl; }
    void SetCaptureControl(TControl* control);
    // Drag and drop (TControl::BeginDrag): the control being dragged (nullptr: no
    // drag) and the control that accepts it where the pointer is now.
    TControl* DragControl() const { return FDragControl; }
    TControl* DragTarget() const { return FDragTarget; }
    void StartDrag(TControl* source);
    void FinishDrag(bool drop);
    // A native control (TNativeControl) is on this form: from now on every paint
    // first brings native windows in step with their controls.
    void NoteNativeControls() { FHasNativeControls = true; }
    // Makes missing native windows and moves, shows, hides and enables them as
    // their controls are now.
    void SyncNativeControls();
    // A control of this form is going away (freed or moved to another form): forget
    // every pointer to it.
    void ControlRemoved(TControl* control);

    TNotifyEvent OnCreate, OnShow, OnHide, OnActivate, OnDeactivate, OnDestroy;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;
    TPaintEvent OnPaint;

protected:
    void Paint(TRdCanvas& canvas) override;
    void PaintAfterChildren(TRdCanvas& canvas) override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoShow();
    virtual void DoHide();
    virtual bool CloseQuery();
    // Where the form goes when it is first shown (Position).
    void PlaceForShow();

private:
    void ApplyLayering();
    void UpdateMouseControl(int x, int y);
    // The pointer moved to (x, y) during a drag: asks the control there.
    void DragMove(int x, int y);
    TControl* RouteTarget(int x, int y) const;
    static TPoint ToControl(const TControl* control, int x, int y);

    void NotifyWindowListeners(void (TFormWindowListener::*event)(TCustomForm&));

    std::unique_ptr<TFormWindow> FWindow;
    std::vector<TFormWindowListener*> FWindowListeners;
    TArgbSurface FBackBuffer;
    TRect FInvalid;
    TPosition FPosition = TPosition::poDesigned;
    TFormStyle FFormStyle = TFormStyle::fsNormal;
    bool FAlphaBlend = false;
    std::uint8_t FAlphaBlendValue = 255;
    bool FPerPixelAlpha = false;
    bool FModal = false;
    TModalResult FModalResult = mrNone;
    bool FActive = false;
    bool FShowNoActivate = false;
    bool FTaskbarButton = true;
    bool FBoundsFromWindow = false;
    bool FHasNativeControls = false;
    // Lets a deferred Release know whether the form still exists.
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
    bool FPlaced = false;
    bool FCreated = false;
    TWinControl* FActiveControl = nullptr;
    TControl* FMouseControl = nullptr;
    TControl* FCaptureControl = nullptr;
    TControl* FPressedControl = nullptr;  // where the button went down (for Click)
    TControl* FDragControl = nullptr;
    TControl* FDragTarget = nullptr;
    TPoint FDragPos;  // the pointer during a drag, client coordinates
};
