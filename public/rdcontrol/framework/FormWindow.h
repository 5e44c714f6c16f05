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
#include <functional>
#include <string>
#include <vector>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/framework/Control.h"

class TCustomForm;

// A native control of the platform living inside a form's window, for what the
// library does not draw itself: text editing (caret, selection, clipboard, input
// methods) and native lists.
enum class TNativeKind : std::uint8_t { Edit, ListBox };

// What a native child reports back; called on the UI thread from the window's
// message handling.
struct TNativeChildEvents {
    std::function<void()> OnChange;  // edit: the text changed; list: the selection changed
    std::function<void()> OnFocus;   // the child took the keyboard focus (a click into it)
    // The child's look may have changed without a change of content (caret moved,
    // selection, scrolling): a form that shows it through snapshots takes a new one.
    std::function<void()> OnRepaint;
    // The pointer came over the child / left it (the form's window does not see
    // the pointer while it is over a child).
    std::function<void(bool inside)> OnHover;
    // Edit: a character typed into the child, before the child takes it; false
    // discards it.
    std::function<bool(char32_t ch)> OnChar;
};

// How an edit child looks and behaves beyond the plain native edit.
struct TNativeEditOptions {
    // Skinned: no frame of its own, and the text is drawn over the pixels the form
    // shows beneath the child (its back buffer there), in TextColor, instead of
    // over the platform's window colour.
    bool Skinned = false;
    TColor TextColor = clWindowText;
    char32_t PasswordChar = 0;  // 0: the text is shown
    int CharCase = 0;           // 0 as typed, 1 upper case, 2 lower case
    int Alignment = 0;          // 0 left, 1 right, 2 centre
    // The mouse passes through the child to what lies below it.
    bool HitTransparent = false;
    bool operator==(const TNativeEditOptions&) const = default;
};

class TNativeChildWindow {
public:
    virtual ~TNativeChildWindow() = default;
    // Form client coordinates.
    virtual void SetBounds(const TRect& formRect) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetFocus() = 0;
    // Gives the keyboard focus back to the form's window when the child has it.
    virtual void ReleaseFocus() = 0;
    // Asks the child to repaint itself on the screen (a form window that shows it
    // directly); snapshots are taken fresh anyway.
    virtual void Redraw() = 0;
    virtual void SetEditOptions(const TNativeEditOptions& options) = 0;
    virtual void SetFont(const TFontSpec& font) = 0;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& utf8) = 0;
    // Edit: selects the whole text.
    virtual void SelectAll() {}
    // Lists.
    virtual void SetItems(const std::vector<std::string>& items) = 0;
    virtual int ItemIndex() const = 0;
    virtual void SetItemIndex(int index) = 0;
    // The child's pixels now, the size of its bounds, with its caret while it has
    // the focus: a per-pixel-alpha window shows only the image the form hands over,
    // so the form paints native children into it from here. A plain child is
    // opaque; a skinned edit is the form's back buffer under it with the text (and
    // selection and caret) drawn in, every other pixel as it was.
    virtual TArgbSurface Snapshot() = 0;
    // The platform's handle (HWND on Windows), for tests and platform code.
    virtual void* PlatformHandle() const = 0;
};

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

    // A native control inside this window, hidden until shown; freed with its owner
    // control (before the window).
    virtual std::unique_ptr<TNativeChildWindow> CreateNativeChild(TNativeKind kind, TNativeChildEvents events) = 0;
    // The platform's handle (HWND on Windows), for tests and platform code.
    virtual void* PlatformHandle() const = 0;
};
