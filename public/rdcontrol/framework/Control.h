#pragma once
// TControl: a visible element of a form. Placed in a parent (a TWinControl) at
// Left/Top relative to the parent's client area, painted into the form's 32-bit
// premultiplied ARGB back buffer (windowless), laid out by Align/Anchors/Margins,
// and given mouse events by the form's routing (hit testing, capture, enter/leave,
// double clicks).
//
// Events are std::function members called with the sender first. A control is
// never freed inside one of its own events.
//
// UI thread only.
#include <functional>
#include <memory>
#include <string>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/drawing/Color.h"
#include "public/rdcontrol/drawing/RdFont.h"
#include "public/rdcontrol/framework/Component.h"
#include "public/rdcontrol/skin/SkinProperties.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TRdAutoAlign;
class TRdSkinClass;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;
inline constexpr TAnchors kDefaultAnchors = akLeft | akTop;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = unsigned;

// Cursor identifiers as the platform numbers them (crDefault = the parent's / arrow).
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crIBeam = -4;

struct TMargins {
    int Left = 3, Top = 3, Right = 3, Bottom = 3;
    bool operator==(const TMargins&) const = default;
};

// Size limits of a control; 0 sets no limit. A maximum below its minimum gives way
// to the minimum.
struct TSizeConstraints {
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
    bool operator==(const TSizeConstraints&) const = default;
    int ClampWidth(int width) const { return Clamp(width, MinWidth, MaxWidth); }
    int ClampHeight(int height) const { return Clamp(height, MinHeight, MaxHeight); }

private:
    static int Clamp(int v, int lo, int hi) {
        if (hi > 0 && v > hi) v = hi;
        if (lo > 0 && v < lo) v = lo;
        return v;
    }
};

class TControl : public TComponent {
public:
    using TNotifyEvent = std::function<void(TControl* sender)>;
    using TMouseEvent = std::function<void(TControl* sender, TMouseButton button, TShiftState shift, int x, int y)>;
    using TMouseMoveEvent = std::function<void(TControl* sender, TShiftState shift, int x, int y)>;
    using TMouseWheelEvent = std::function<void(TControl* sender, TShiftState shift, int delta, int x, int y,
                                                bool& handled)>;

    explicit TControl(TComponent* owner);
    ~TControl() override;

    // --- Placement -------------------------------------------------------------
    TWinControl* Parent() const { return FParent; }
    // Moves the control into parent's children (on top); nullptr takes it out.
    virtual void SetParent(TWinControl* parent);
    // The form this control is on (itself for a form), or nullptr.
    TCustomForm* Form() const;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TRect BoundsRect() const { return TRect::FromSize(FLeft, FTop, FWidth, FHeight); }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    // Negative sizes count as 0; the size is kept within Constraints. Repaints old
    // and new areas, realigns the parent when this control is aligned, runs
    // OnResize when the size changed.
    virtual void SetBounds(int left, int top, int width, int height);
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }

    // Client area in the control's own coordinates (0, 0, Width, Height).
    virtual TRect ClientRect() const { return TRect{0, 0, FWidth, FHeight}; }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }

    // The geometry properties of skinned controls.
    int Left_Right() const { return FLeft + FWidth; }
    void SetLeft_Right(int right) { SetLeft(right - FWidth); }
    int Top_Bottom() const { return FTop + FHeight; }
    void SetTop_Bottom(int bottom) { SetTop(bottom - FHeight); }
    // Distance from the parent's right / bottom client edge; 0 without a parent.
    int Left_Invert() const;
    void SetLeft_Invert(int value);
    int Top_Invert() const;
    void SetTop_Invert(int value);

    // Coordinates: the control's own (0, 0) in its form's client area.
    TPoint FormOrigin() const;
    // The control's rectangle in the form's client coordinates.
    TRect FormRect() const { return BoundsRect().Offset(FormOrigin().X - FLeft, FormOrigin().Y - FTop); }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors anchors) { FAnchors = anchors; }
    bool AlignWithMargins() const { return FAlignWithMargins; }
    void SetAlignWithMargins(bool v);
    const TMargins& Margins() const { return FMargins; }
    void SetMargins(const TMargins& m);
    // Setting constraints applies them to the current size at once.
    const TSizeConstraints& Constraints() const { return FConstraints; }
    void SetConstraints(const TSizeConstraints& c);

    // Follow another control (the skinned controls' AutoAlign).
    TRdAutoAlign& AutoAlign();
    // The skin binding: the class whose skin values style this control.
    TRdSkinClass& AllSkin();

    // --- State -----------------------------------------------------------------
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible here and in every parent up to the form.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool enabled);

    // When false the control is transparent to the mouse: hit tests fall through to
    // whatever lies below it.
    bool HitTest() const { return FHitTest; }
    void SetHitTest(bool v) { FHitTest = v; }
    // Whether point (control coordinates) hits this control. HitTest() false answers
    // no everywhere; controls with holes override.
    virtual bool HitTestAt(int x, int y) const;

    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool v);

    // The font. Changing it (or a parent's with ParentFont) repaints.
    TRdFont& Font() { return FFont; }
    const TRdFont& Font() const { return FFont; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor cursor);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& hint) { FHint = hint; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; FParentShowHint = false; }
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool v) { FParentShowHint = v; }
    // ShowHint taking ParentShowHint into account.
    bool EffectiveShowHint() const;
    // The hint to show now; "" shows none (the application then asks the parent).
    // Controls whose hint depends on where the mouse is over them or on their state
    // override it and call TApplication::HintChanged when it changes.
    virtual std::string ActiveHint() const { return FHint; }
    // Where ActiveHint holds (control coordinates): while the mouse stays inside,
    // the hint shown stays; once it leaves, the hint is looked up again. The whole
    // control by default; a control whose parts have hints of their own gives the
    // part's rectangle.
    virtual TRect ActiveHintArea() const { return ClientRect(); }

    const std::string& Caption() const { return FCaption; }
    virtual void SetCaption(const std::string& caption);

    // --- Properties by name (what a skin may set) ---------------------------------
    // Built on first use from PublishProperties.
    TPropertyTable& Properties();

    // --- Z-order ---------------------------------------------------------------
    void BringToFront();
    void SendToBack();

    // --- Painting --------------------------------------------------------------
    // Asks the form to repaint this control's area.
    void Invalidate();
    // Repaints now (the form paints the invalid area at once).
    void Repaint();
    // Paints this control (and children) with canvas's origin at the control's
    // (0, 0) and the clip already narrowed to its bounds.
    virtual void PaintTo(TRdCanvas& canvas);

    // --- Mouse (called by the form's routing; x, y in control coordinates) -------
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Click();
    virtual void DblClick();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual bool MouseWheel(TShiftState shift, int delta, int x, int y);
    // Alt + key (key a lower-case letter or a digit) that no focused control used,
    // offered by the form to its showing, enabled controls, topmost first: a control
    // whose accelerator it is acts and answers true.
    virtual bool DialogChar(char32_t /*key*/) { return false; }
    bool MouseInControl() const { return FMouseInControl; }

    // --- Context menu -------------------------------------------------------------
    // Shown at the pointer when the right button is released over the control,
    // after OnContextPopup has had the chance to handle the click (handled = true
    // shows nothing). A control without a menu shows its nearest parent's. The
    // control does not own the menu; a freed menu is forgotten.
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* menu);
    // The right button was released over the control at (x, y) (control
    // coordinates); called by the form. Returns true when a menu was shown or
    // OnContextPopup handled it.
    virtual bool ContextPopup(int x, int y);

    // --- Drag and drop ----------------------------------------------------------------
    // Starts dragging this control (typically from OnMouseDown): OnStartDrag runs,
    // then, until the button is released (drop) or Escape is pressed (cancel), every
    // mouse move asks the control under the pointer through OnDragOver whether it
    // accepts this source. On release over an accepting control its OnDragDrop runs;
    // OnEndDrag of the source always ends the drag, with the target (nullptr when
    // nothing accepted or the drag was cancelled). A dragging source gets no mouse
    // up and no click for that release. x, y are in the receiving control's
    // coordinates. One drag per form at a time.
    void BeginDrag();
    // Ends a drag of this control now: dropped on the current target when drop.
    void EndDrag(bool drop);
    bool Dragging() const;
    // Called by the form while a drag is over this control; the defaults run the
    // events (a control without OnDragOver accepts nothing).
    virtual void DragOver(TControl* source, int x, int y, bool& accept);
    virtual void DragDrop(TControl* source, int x, int y);

    TNotifyEvent OnResize, OnClick, OnDblClick, OnMouseEnter, OnMouseLeave;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    // Runs when the mouse activates the form through this control.
    std::function<void(TControl* sender, bool& activate)> OnMouseActivate;
    // mousePos in control coordinates; set handled to show no menu.
    std::function<void(TControl* sender, TPoint mousePos, bool& handled)> OnContextPopup;
    std::function<void(TControl* sender)> OnStartDrag;
    std::function<void(TControl* sender, TControl* source, int x, int y, bool& accept)> OnDragOver;
    std::function<void(TControl* sender, TControl* source, int x, int y)> OnDragDrop;
    // target: where the source was dropped, nullptr when not.
    std::function<void(TControl* sender, TControl* target, int x, int y)> OnEndDrag;

protected:
    // Adds this class's properties; overrides call the base first.
    virtual void PublishProperties(TPropertyTable& table);
    // The control's own look, before children.
    virtual void Paint(TRdCanvas& canvas);
    // Paint under the skin's drawing options (AllSkin.Draw: DrawAlpha, DrawGray and
    // DrawScale about the control's centre, see PictureDraw.h); PaintTo calls it.
    void PaintOwn(TRdCanvas& canvas);
    // Puts this control's skin drawing options on canvas, DrawScale about the
    // centre of area (canvas coordinates); nothing without a skin binding. For a
    // child that paints its owner's pictures (a combo box's face). The caller
    // saves and restores the canvas's state.
    void ApplySkinDraw(TRdCanvas& canvas, const TRect& area) const;
    virtual void Resize();
    virtual void FontChanged();
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    virtual void EnabledChanged() { Invalidate(); }
    virtual void VisibleChanged() {}
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TWinControl;
    friend class TCustomForm;
    friend class TRdAutoAlign;
    void RequestParentAlign();

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    TAnchors FAnchors = kDefaultAnchors;
    bool FAlignWithMargins = false;
    TMargins FMargins;
    TSizeConstraints FConstraints;
    TPopupMenu* FPopupMenu = nullptr;
    std::unique_ptr<TRdAutoAlign> FAutoAlign;
    std::unique_ptr<TPropertyTable> FProperties;
    std::unique_ptr<TRdSkinClass> FAllSkin;
    bool FVisible = true;
    bool FEnabled = true;
    bool FHitTest = true;
    TColor FColor = clBtnFace;
    bool FParentColor = false;
    TRdFont FFont;
    bool FParentFont = true;
    bool FApplyingParent = false;  // taking the parent's font or colour, not the user's
    TCursor FCursor = crDefault;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    std::string FCaption;
    bool FMouseInControl = false;
    bool FClickPending = false;
};
