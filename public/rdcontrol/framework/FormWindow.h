#pragma once
// The seam between a form and the platform's window. The form (portable) owns its
// controls, layout, painting and event routing; a TFormWindow shows it: a
// borderless top-level window that hands mouse, keyboard and activation input to
// the form (TCustomForm::Handle... calls) and displays the form's back buffer.
//
// The Windows implementation is FormWindow_win.cpp; tests use a fake that records
// what the form asked for and paints on demand.
//
// UI thread only. A window never outlives its form (the form frees it).
#include <cstdint>
#include <memory>
#include <string>

#include "public/rdcontrol/ArgbSurface.h"
#include "public/rdcontrol/Canvas.h"
#include "public/rdcontrol/framework/Control.h"

class TCustomForm;

// How the window shows the form's pixels.
enum class TFormLayering : std::uint8_t {
    Opaque,         // an ordinary window: pixels are drawn opaque
    ConstantAlpha,  // layered, the whole window at one opacity
    PerPixelAlpha   // layered with the back buffer's own alpha (and a constant alpha)
};

class TFormWindow {
public:
    virtual ~TFormWindow() = default;

    // Screen rectangle of the window (its client area: forms have no frame).
    virtual void SetBounds(const TRect& screenRect) = 0;
    virtual void SetVisible(bool visible, bool activate) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetLayering(TFormLayering layering, std::uint8_t alpha) = 0;
    virtual void SetStayOnTop(bool stayOnTop) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetOwnerWindow(TFormWindow* owner) = 0;
    virtual void Activate() = 0;
    virtual void Minimize() = 0;
    virtual void Restore() = 0;
    virtual bool Minimized() const = 0;

    // The form's pixels changed in rect (client coordinates): repaint it soon. The
    // window later calls TCustomForm::PaintInvalid and shows the back buffer.
    virtual void Invalidate(const TRect& rect) = 0;
    // Paint what is invalid now (Repaint).
    virtual void Update() = 0;

    virtual void SetMouseCapture(bool capture) = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    // Ask to be told (HandleMouseLeave) when the mouse leaves the window.
    virtual void TrackMouseLeave() = 0;
};
