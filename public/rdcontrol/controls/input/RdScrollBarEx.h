#pragma once
// TRdScrollBarEx: a windowless scroll bar drawn from images (TRdScrollBarImages),
// with the geometry of ScrollBarGeometry.h. TRdScrollBar (RdScrollBar.h) is the same
// bar as a container control, as the combo box's list uses it.
//
// Images, along the bar (first = top or left): BtnLeft/BtnRight are the two arrows
// (with hot variants), ScrollBgTop/ScrollBg/ScrollBgBottom the background (start
// piece, middle by the nine-slice rule of ScrollBg_Option - stretched when that is
// empty -, end piece; nothing without ScrollBg), TrackTop/TrackCenter/TrackBottom
// the thumb (middle by Track_Option) with hot variants used while the pointer is
// over the thumb or it is pressed (a missing hot piece falls back to its normal
// one). With AutoCenter (and, for the thumb, AutoSize) pieces narrower than the
// bar are centred across it. Without a TrackCenter image the thumb is a plain
// rectangle in system colours. An arrow without an image is the platform's plain
// arrow, one bar thickness long, while AutoArrow is on; with AutoArrow off an
// arrow without image takes no room. AllowArrow off removes the arrows.
//
// Pointer: a left press on an arrow steps by SmallChange, on the track before or
// after the thumb by LargeChange; holding repeats the step after WaitInterval ms,
// then every 50 ms, while the pointer stays on the pressed part. Dragging the
// thumb moves it with the pointer and sets Position from it. Every change of
// Position made through the bar fires OnScroll (scTrack while dragging), then
// OnChange; releasing fires OnTrackEnd when Position differs from its value at
// the press. AutoHide hides the bar while there is nothing to scroll.
//
// Drawing a part: OnDrawControl runs first with drawDefault false; only when the
// handler sets it does the default drawing follow; with OwnerDraw OnDrawControl
// runs again afterwards. OnPaintEnd runs after the whole bar.
//
// UI thread only; the repeat uses TRdTimer.
#include <functional>
#include <memory>

#include "public/rdcontrol/base/RdTimer.h"
#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/controls/input/ScrollBarGeometry.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/framework/RdControls.h"

enum TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };
enum TScrollCode : std::uint8_t {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll
};
enum class TScrollBarPart : std::uint8_t { None, ArrowStart, ArrowEnd, TrackBefore, TrackAfter, Thumb, Background };
enum class TScrollPartState : std::uint8_t { Normal, Hot, Pressed, Disabled };

// The scroll information of a window as the platform keeps it (minimum, maximum,
// page, position), and whether its own bar shows.
struct TScrollInfo {
    int Min = 0, Max = 0, Page = 0, Pos = 0;
    bool Visible = false;
};

// Something with a standard scroll bar whose information a skinned bar can adopt.
class TScrollInfoSource {
public:
    virtual ~TScrollInfoSource() = default;
    virtual TScrollInfo ScrollInfo(TScrollBarKind kind) const = 0;
};

class TRdScrollBarImages {
public:
    TRdScrollBarImages();
    ~TRdScrollBarImages();
    TRdScrollBarImages(const TRdScrollBarImages&) = delete;
    TRdScrollBarImages& operator=(const TRdScrollBarImages&) = delete;

    TPicture BtnLeft, BtnLeftHot, BtnRight, BtnRightHot;
    TPicture ScrollBgTop, ScrollBg, ScrollBgBottom;
    TPicture TrackTop, TrackTopHot, TrackCenter, TrackCenterHot, TrackBottom, TrackBottomHot;
    TDesignRect ScrollBg_Option, Track_Option;

    bool AutoArrow() const { return FAutoArrow; }
    void SetAutoArrow(bool v) { Set(FAutoArrow, v); }
    bool AllowArrow() const { return FAllowArrow; }
    void SetAllowArrow(bool v) { Set(FAllowArrow, v); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { Set(FAutoSize, v); }
    bool AutoHide() const { return FAutoHide; }
    void SetAutoHide(bool v) { Set(FAutoHide, v); }
    bool AutoCenter() const { return FAutoCenter; }
    void SetAutoCenter(bool v) { Set(FAutoCenter, v); }

    // After any picture, option or flag changed.
    std::function<void()> OnChange;

private:
    void Set(bool& field, bool v) {
        if (field == v) return;
        field = v;
        Changed();
    }
    void Changed() {
        if (OnChange) OnChange();
    }
    bool FAutoArrow = true, FAllowArrow = true, FAutoSize = true, FAutoHide = false, FAutoCenter = true;
};

class TRdScrollBarEx : public TRdGraphicControl {
public:
    using TScrollEvent = std::function<void(TControl* sender, TScrollCode code, int& position)>;
    using TDrawEvent = std::function<void(TControl* sender, TRdCanvas& canvas, TScrollBarPart part, const TRect& rect,
                                          TScrollPartState state, bool& drawDefault)>;
    using TPaintEvent = std::function<void(TControl* sender, TRdCanvas& canvas)>;

    // The platform's standard thumb length (the limit the rule gives it).
    static constexpr int kStandardThumb = 17;

    explicit TRdScrollBarEx(TComponent* owner);
    ~TRdScrollBarEx() override;

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind v);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int PageSize() const { return FPageSize; }
    int Position() const { return FPosition; }
    void SetMin(int v) { SetParams(v, FMax, FPageSize, FPosition); }
    void SetMax(int v) { SetParams(FMin, v, FPageSize, FPosition); }
    void SetPageSize(int v) { SetParams(FMin, FMax, v, FPosition); }
    void SetPosition(int v) { SetParams(FMin, FMax, FPageSize, v); }
    // Adopts minimum, maximum, page and position by the platform's rules (Max at
    // least Min, page at least 0, position inside the scrollable range); lays out,
    // hides or shows with AutoHide and repaints only when something changed.
    void SetParams(int min, int max, int page, int position);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int v) { FSmallChange = v; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int v) { FLargeChange = v; }
    unsigned WaitInterval() const { return FWaitInterval; }
    void SetWaitInterval(unsigned v) { FWaitInterval = v; }
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool v);

    TRdScrollBarImages& AllSkinImage() { return FImages; }
    bool AutoHide() const { return FImages.AutoHide(); }
    void SetAutoHide(bool v) { FImages.SetAutoHide(v); }

    // Whether there is anything to scroll (a thumb can move).
    bool Scrollable() const;
    TScrollBarGeometry Geometry() const;
    TScrollBarMetrics Metrics() const;
    // The rectangle of a part (control coordinates); empty when it is not there.
    TRect PartRect(TScrollBarPart part) const;
    TScrollBarPart PartAt(int x, int y) const;
    TScrollBarPart HotPart() const { return FHot; }
    TScrollBarPart PressedPart() const { return FPressed; }
    bool Dragging() const { return FPressed == TScrollBarPart::Thumb; }
    // Moves Position as the user would (OnScroll, OnChange).
    void ScrollBy(int delta, TScrollCode code);
    // The control AutoHide shows and hides (this bar by default; the windowed
    // TRdScrollBar hands itself, so that its whole box goes).
    void SetAutoHideTarget(TControl* target) { FAutoHideTarget = target; }

    TScrollEvent OnScroll;
    TNotifyEvent OnChange, OnTrackEnd, OnEnabledChange;
    TDrawEvent OnDrawControl;
    TPaintEvent OnPaintEnd;

protected:
    void Paint(TRdCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void Resize() override;
    void PublishProperties(TPropertyTable& table) override;

private:
    int Along(int x, int y) const { return FKind == sbVertical ? y : x; }
    int Thickness() const { return FKind == sbVertical ? Width() : Height(); }
    int LengthOf(const TPicture& p) const { return FKind == sbVertical ? p.Height() : p.Width(); }
    int ArrowLength(const TPicture& p) const;
    // The span [start, start + length) along the bar as a rectangle.
    TRect Span(int start, int length) const;
    void SetPositionByUser(int position, TScrollCode code);
    void StepPressed();
    void StartRepeat();
    void StopRepeat();
    void UpdateVisibility();
    TScrollPartState StateOf(TScrollBarPart part) const;
    void DrawPart(TRdCanvas& canvas, TScrollBarPart part, const TRect& rect);
    void DrawDefault(TRdCanvas& canvas, TScrollBarPart part, const TRect& rect, TScrollPartState state);
    void DrawPiece(TRdCanvas& canvas, TPicture& picture, const TDesignRect* option, TRect rect, bool center);
    void DrawArrow(TRdCanvas& canvas, const TRect& rect, bool first, bool hot);

    TScrollBarKind FKind = sbVertical;
    int FMin = 0, FMax = 100, FPageSize = 0, FPosition = 0;
    int FSmallChange = 1, FLargeChange = 1;
    unsigned FWaitInterval = 500;
    bool FOwnerDraw = false;
    TRdScrollBarImages FImages;
    TSkinPictureSource FSkinPictures{AllSkin()};
    TScrollBarPart FHot = TScrollBarPart::None;
    TScrollBarPart FPressed = TScrollBarPart::None;
    int FPositionAtPress = 0;
    int FDragPointer = 0, FDragThumb = 0;
    TPoint FLastPointer{-1, -1};
    bool FPointerInside = false;
    std::unique_ptr<TRdTimer> FRepeat;
    TControl* FAutoHideTarget = this;
};
