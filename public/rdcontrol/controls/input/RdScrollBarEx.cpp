#include "public/rdcontrol/controls/input/RdScrollBarEx.h"

#include <algorithm>
#include <array>

#include "public/rdcontrol/controls/common/PictureDraw.h"

namespace {
constexpr unsigned kRepeatInterval = 50;
}

// --- TRdScrollBarImages ---------------------------------------------------------------

TRdScrollBarImages::TRdScrollBarImages() {
    for (TPicture* p : {&BtnLeft, &BtnLeftHot, &BtnRight, &BtnRightHot, &ScrollBgTop, &ScrollBg, &ScrollBgBottom,
                        &TrackTop, &TrackTopHot, &TrackCenter, &TrackCenterHot, &TrackBottom, &TrackBottomHot})
        p->OnChange = [this](TPicture*) { Changed(); };
    ScrollBg_Option.OnChange = [this] { Changed(); };
    Track_Option.OnChange = [this] { Changed(); };
}

TRdScrollBarImages::~TRdScrollBarImages() {
    OnChange = nullptr;
    for (TPicture* p : {&BtnLeft, &BtnLeftHot, &BtnRight, &BtnRightHot, &ScrollBgTop, &ScrollBg, &ScrollBgBottom,
                        &TrackTop, &TrackTopHot, &TrackCenter, &TrackCenterHot, &TrackBottom, &TrackBottomHot})
        p->OnChange = nullptr;
    ScrollBg_Option.OnChange = nullptr;
    Track_Option.OnChange = nullptr;
}

// --- TRdScrollBarEx -------------------------------------------------------------------

TRdScrollBarEx::TRdScrollBarEx(TComponent* owner) : TRdGraphicControl(owner) {
    SetColor(clNone);
    SetBounds(0, 0, 17, 121);
    FImages.OnChange = [this] {
        UpdateVisibility();
        Invalidate();
    };
}

TRdScrollBarEx::~TRdScrollBarEx() {
    BeginDestroy();
    FImages.OnChange = nullptr;
    FRepeat.reset();
}

void TRdScrollBarEx::SetKind(TScrollBarKind v) {
    if (v == FKind) return;
    FKind = v;
    Invalidate();
}

void TRdScrollBarEx::SetOwnerDraw(bool v) {
    if (v == FOwnerDraw) return;
    FOwnerDraw = v;
    Invalidate();
}

void TRdScrollBarEx::SetParams(int min, int max, int page, int position) {
    const int newMin = min;
    const int newMax = std::max(max, newMin);
    const int newPage = std::max(page, 0);
    int newPos = position;
    if (newPage > 0) newPos = std::min(newPos, newMax - newPage + 1);
    // Never outside the range, with a page or without one.
    newPos = std::clamp(newPos, newMin, newMax);
    if (newMin == FMin && newMax == FMax && newPage == FPageSize && newPos == FPosition) return;
    FMin = newMin;
    FMax = newMax;
    FPageSize = newPage;
    FPosition = newPos;
    UpdateVisibility();
    Invalidate();
}

bool TRdScrollBarEx::Scrollable() const {
    const long long span = static_cast<long long>(FMax) - FMin + 1;
    return FPageSize > 0 ? span > FPageSize : FMax > FMin;
}

void TRdScrollBarEx::UpdateVisibility() {
    if (FImages.AutoHide() && FAutoHideTarget) FAutoHideTarget->SetVisible(Scrollable());
}

int TRdScrollBarEx::ArrowLength(const TPicture& p) const {
    if (!FImages.AllowArrow()) return 0;
    if (!p.Empty()) return LengthOf(p);
    return FImages.AutoArrow() ? Thickness() : 0;
}

TScrollBarMetrics TRdScrollBarEx::Metrics() const {
    TScrollBarMetrics m;
    m.Length = FKind == sbVertical ? Height() : Width();
    m.ArrowStart = ArrowLength(FImages.BtnLeft);
    m.ArrowEnd = ArrowLength(FImages.BtnRight);
    m.MinThumb = LengthOf(FImages.TrackTop) + LengthOf(FImages.TrackCenter) + LengthOf(FImages.TrackBottom);
    if (m.MinThumb == 0) m.MinThumb = std::min(kStandardThumb, 21);
    m.Min = FMin;
    m.Max = FMax;
    m.PageSize = FPageSize;
    m.Position = FPosition;
    m.Enabled = Enabled();
    return m;
}

TScrollBarGeometry TRdScrollBarEx::Geometry() const { return ComputeScrollBarGeometry(Metrics()); }

TRect TRdScrollBarEx::Span(int start, int length) const {
    if (length <= 0) return TRect{};
    return FKind == sbVertical ? TRect::FromSize(0, start, Width(), length) : TRect::FromSize(start, 0, length, Height());
}

TRect TRdScrollBarEx::PartRect(TScrollBarPart part) const {
    const TScrollBarMetrics m = Metrics();
    const TScrollBarGeometry g = ComputeScrollBarGeometry(m);
    switch (part) {
        case TScrollBarPart::ArrowStart: return Span(0, m.ArrowStart);
        case TScrollBarPart::ArrowEnd: return Span(m.Length - m.ArrowEnd, m.ArrowEnd);
        case TScrollBarPart::Thumb: return g.ThumbVisible ? Span(g.ThumbStart, g.ThumbLength) : TRect{};
        case TScrollBarPart::TrackBefore:
            return g.ThumbVisible ? Span(g.TrackStart, g.ThumbStart - g.TrackStart) : TRect{};
        case TScrollBarPart::TrackAfter:
            return g.ThumbVisible ? Span(g.ThumbStart + g.ThumbLength, g.TrackEnd - g.ThumbStart - g.ThumbLength)
                                  : TRect{};
        case TScrollBarPart::Background: return Span(g.TrackStart, g.TrackLength());
        case TScrollBarPart::None: break;
    }
    return TRect{};
}

TScrollBarPart TRdScrollBarEx::PartAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return TScrollBarPart::None;
    for (TScrollBarPart part : {TScrollBarPart::ArrowStart, TScrollBarPart::ArrowEnd, TScrollBarPart::Thumb,
                                TScrollBarPart::TrackBefore, TScrollBarPart::TrackAfter})
        if (PartRect(part).Contains(x, y)) return part;
    return TScrollBarPart::None;
}

void TRdScrollBarEx::SetPositionByUser(int position, TScrollCode code) {
    const int top = ScrollMaxPosition(FMin, FMax, FPageSize);
    position = std::clamp(position, FMin, std::max(FMin, top));
    if (position == FPosition) return;
    FPosition = position;
    Invalidate();
    int reported = position;
    if (OnScroll) OnScroll(this, code, reported);
    if (OnChange) OnChange(this);
}

void TRdScrollBarEx::ScrollBy(int delta, TScrollCode code) { SetPositionByUser(FPosition + delta, code); }

void TRdScrollBarEx::StepPressed() {
    switch (FPressed) {
        case TScrollBarPart::ArrowStart: ScrollBy(-FSmallChange, scLineUp); break;
        case TScrollBarPart::ArrowEnd: ScrollBy(FSmallChange, scLineDown); break;
        case TScrollBarPart::TrackBefore: ScrollBy(-FLargeChange, scPageUp); break;
        case TScrollBarPart::TrackAfter: ScrollBy(FLargeChange, scPageDown); break;
        default: break;
    }
}

void TRdScrollBarEx::StartRepeat() {
    if (!TRdTimer::DefaultLoop()) return;  // nothing to tick on (a bare test)
    if (!FRepeat) FRepeat = std::make_unique<TRdTimer>();
    FRepeat->SetEnabled(false);
    FRepeat->SetInterval(std::max(1u, FWaitInterval));
    FRepeat->SetOnTimer([this](TRdTimer* timer) {
        // After the first wait, the steps come every 50 ms.
        timer->SetInterval(kRepeatInterval);
        if (FPressed == TScrollBarPart::None || FPressed == TScrollBarPart::Thumb) {
            timer->SetEnabled(false);
            return;
        }
        // Only while the pointer stays on the pressed part (which moves as the
        // thumb does, for the page areas).
        if (FPointerInside && PartAt(FLastPointer.X, FLastPointer.Y) == FPressed) StepPressed();
    });
    FRepeat->SetEnabled(true);
}

void TRdScrollBarEx::StopRepeat() {
    if (FRepeat) FRepeat->SetEnabled(false);
}

void TRdScrollBarEx::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TRdGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled()) return;
    FLastPointer = TPoint{x, y};
    FPointerInside = true;
    FPressed = PartAt(x, y);
    FPositionAtPress = FPosition;
    if (FPressed == TScrollBarPart::None) return;
    if (FPressed == TScrollBarPart::Thumb) {
        FDragPointer = Along(x, y);
        FDragThumb = Geometry().ThumbStart;
        Invalidate();
        return;
    }
    StepPressed();
    StartRepeat();
    Invalidate();
}

void TRdScrollBarEx::MouseMove(TShiftState shift, int x, int y) {
    FLastPointer = TPoint{x, y};
    FPointerInside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (FPressed == TScrollBarPart::Thumb) {
        const TScrollBarMetrics m = Metrics();
        const TScrollBarGeometry g = ComputeScrollBarGeometry(m);
        const int start = std::clamp(FDragThumb + Along(x, y) - FDragPointer, g.TrackStart,
                                     std::max(g.TrackStart, g.TrackEnd - g.ThumbLength));
        SetPositionByUser(ScrollPositionFromThumb(m, g, start), scTrack);
    } else {
        const TScrollBarPart hot = FPressed == TScrollBarPart::None ? PartAt(x, y) : TScrollBarPart::None;
        if (hot != FHot) {
            FHot = hot;
            Invalidate();
        }
    }
    TRdGraphicControl::MouseMove(shift, x, y);
}

void TRdScrollBarEx::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && FPressed != TScrollBarPart::None) {
        StopRepeat();
        FPressed = TScrollBarPart::None;
        FHot = PartAt(x, y);
        Invalidate();
        if (FPosition != FPositionAtPress && OnTrackEnd) OnTrackEnd(this);
    }
    TRdGraphicControl::MouseUp(button, shift, x, y);
}

void TRdScrollBarEx::MouseLeave() {
    FPointerInside = false;
    if (FHot != TScrollBarPart::None) {
        FHot = TScrollBarPart::None;
        Invalidate();
    }
    TRdGraphicControl::MouseLeave();
}

void TRdScrollBarEx::EnabledChanged() {
    if (!Enabled()) {
        StopRepeat();
        FPressed = FHot = TScrollBarPart::None;
    }
    TRdGraphicControl::EnabledChanged();
    if (OnEnabledChange) OnEnabledChange(this);
}

void TRdScrollBarEx::Resize() {
    TRdGraphicControl::Resize();
    Invalidate();
}

TScrollPartState TRdScrollBarEx::StateOf(TScrollBarPart part) const {
    if (!Enabled()) return TScrollPartState::Disabled;
    if (FPressed == part) {
        // Arrows look pressed only while the pointer is still on them.
        const bool arrow = part == TScrollBarPart::ArrowStart || part == TScrollBarPart::ArrowEnd;
        if (!arrow || (FPointerInside && PartAt(FLastPointer.X, FLastPointer.Y) == part)) return TScrollPartState::Pressed;
        return TScrollPartState::Normal;
    }
    if (FPressed == TScrollBarPart::None && FHot == part) return TScrollPartState::Hot;
    return TScrollPartState::Normal;
}

void TRdScrollBarEx::DrawPiece(TRdCanvas& canvas, TPicture& picture, const TDesignRect* option, TRect rect,
                               bool center) {
    if (picture.Empty() || rect.IsEmpty()) return;
    const int across = FKind == sbVertical ? picture.Width() : picture.Height();
    if (center && across < Thickness()) {
        const int offset = (Thickness() - across) / 2;
        if (FKind == sbVertical)
            rect = TRect{rect.Left + offset, rect.Top, rect.Left + offset + across, rect.Bottom};
        else
            rect = TRect{rect.Left, rect.Top + offset, rect.Right, rect.Top + offset + across};
    }
    static const TDesignRect kStretch;
    DrawPicture(canvas, picture, option && !option->Empty() ? *option : kStretch, rect);
}

void TRdScrollBarEx::DrawArrow(TRdCanvas& canvas, const TRect& rect, bool first, bool hot) {
    canvas.FillRect(rect, hot ? clSilver : clBtnFace);
    const int cx = (rect.Left + rect.Right) / 2, cy = (rect.Top + rect.Bottom) / 2;
    const int s = std::max(2, std::min(rect.Width(), rect.Height()) / 4);
    const TColor ink = Enabled() ? clBlack : clGray;
    for (int i = 0; i < s; ++i) {
        // A small solid triangle pointing towards the bar's end.
        const int half = s - 1 - i;
        if (FKind == sbVertical) {
            const int y = first ? cy - s / 2 + i : cy + s / 2 - i;
            canvas.FillRect(TRect{cx - half, y, cx + half + 1, y + 1}, ink);
        } else {
            const int x = first ? cx - s / 2 + i : cx + s / 2 - i;
            canvas.FillRect(TRect{x, cy - half, x + 1, cy + half + 1}, ink);
        }
    }
}

void TRdScrollBarEx::DrawDefault(TRdCanvas& canvas, TScrollBarPart part, const TRect& rect, TScrollPartState state) {
    const bool hot = state == TScrollPartState::Hot || state == TScrollPartState::Pressed;
    const bool center = FImages.AutoCenter();
    switch (part) {
        case TScrollBarPart::ArrowStart:
        case TScrollBarPart::ArrowEnd: {
            const bool first = part == TScrollBarPart::ArrowStart;
            TPicture& normal = first ? FImages.BtnLeft : FImages.BtnRight;
            TPicture& hotPic = first ? FImages.BtnLeftHot : FImages.BtnRightHot;
            if (normal.Empty())
                DrawArrow(canvas, rect, first, hot);
            else
                DrawPiece(canvas, hot && !hotPic.Empty() ? hotPic : normal, nullptr, rect, center);
            break;
        }
        case TScrollBarPart::Background: {
            if (FImages.ScrollBg.Empty()) break;
            const int topLen = LengthOf(FImages.ScrollBgTop), bottomLen = LengthOf(FImages.ScrollBgBottom);
            const int start = FKind == sbVertical ? rect.Top : rect.Left;
            const int end = FKind == sbVertical ? rect.Bottom : rect.Right;
            DrawPiece(canvas, FImages.ScrollBgTop, nullptr, Span(start, topLen), center);
            DrawPiece(canvas, FImages.ScrollBgBottom, nullptr, Span(end - bottomLen, bottomLen), center);
            DrawPiece(canvas, FImages.ScrollBg, &FImages.ScrollBg_Option,
                      Span(start + topLen, end - bottomLen - start - topLen), center);
            break;
        }
        case TScrollBarPart::Thumb: {
            if (FImages.TrackCenter.Empty()) {
                canvas.FillRect(rect, hot ? clSilver : clBtnFace);
                canvas.FrameRect(rect, clGray);
                break;
            }
            auto pick = [&](TPicture& n, TPicture& h) -> TPicture& { return hot && !h.Empty() ? h : n; };
            TPicture& top = pick(FImages.TrackTop, FImages.TrackTopHot);
            TPicture& middle = pick(FImages.TrackCenter, FImages.TrackCenterHot);
            TPicture& bottom = pick(FImages.TrackBottom, FImages.TrackBottomHot);
            const bool centerThumb = FImages.AutoSize() || center;
            const int start = FKind == sbVertical ? rect.Top : rect.Left;
            const int end = FKind == sbVertical ? rect.Bottom : rect.Right;
            const int topLen = LengthOf(top), bottomLen = LengthOf(bottom);
            DrawPiece(canvas, top, nullptr, Span(start, topLen), centerThumb);
            DrawPiece(canvas, bottom, nullptr, Span(end - bottomLen, bottomLen), centerThumb);
            DrawPiece(canvas, middle, &FImages.Track_Option, Span(start + topLen, end - bottomLen - start - topLen),
                      centerThumb);
            break;
        }
        default: break;
    }
}

void TRdScrollBarEx::DrawPart(TRdCanvas& canvas, TScrollBarPart part, const TRect& rect) {
    const TScrollPartState state = StateOf(part);
    bool drawDefault = !OnDrawControl;
    if (OnDrawControl) OnDrawControl(this, canvas, part, rect, state, drawDefault);
    if (!drawDefault) return;
    DrawDefault(canvas, part, rect, state);
    if (FOwnerDraw && OnDrawControl) {
        bool again = false;
        OnDrawControl(this, canvas, part, rect, state, again);
    }
}

void TRdScrollBarEx::Paint(TRdCanvas& canvas) {
    if (Color() != clNone) canvas.FillRect(ClientRect(), Color());
    DrawPart(canvas, TScrollBarPart::Background, PartRect(TScrollBarPart::Background));
    for (TScrollBarPart part : {TScrollBarPart::ArrowStart, TScrollBarPart::ArrowEnd, TScrollBarPart::Thumb}) {
        const TRect r = PartRect(part);
        if (!r.IsEmpty()) DrawPart(canvas, part, r);
    }
    if (OnPaintEnd) OnPaintEnd(this, canvas);
}

void TRdScrollBarEx::PublishProperties(TPropertyTable& t) {
    TRdGraphicControl::PublishProperties(t);
    t.AddEnum("Kind", {"sbHorizontal", "sbVertical"}, [this] { return int(FKind); },
              [this](int v) { SetKind(static_cast<TScrollBarKind>(v)); });
    t.AddInt("Min", [this] { return FMin; }, [this](int v) { SetMin(v); });
    t.AddInt("Max", [this] { return FMax; }, [this](int v) { SetMax(v); });
    t.AddInt("PageSize", [this] { return FPageSize; }, [this](int v) { SetPageSize(v); });
    t.AddInt("Position", [this] { return FPosition; }, [this](int v) { SetPosition(v); });
    t.AddInt("SmallChange", [this] { return FSmallChange; }, [this](int v) { SetSmallChange(v); });
    t.AddInt("LargeChange", [this] { return FLargeChange; }, [this](int v) { SetLargeChange(v); });
    t.AddInt("WaitInterval", [this] { return static_cast<int>(FWaitInterval); },
             [this](int v) { SetWaitInterval(static_cast<unsigned>(std::max(0, v))); });
    t.AddBool("OwnerDraw", [this] { return FOwnerDraw; }, [this](bool v) { SetOwnerDraw(v); });
    t.AddBool("AutoArrow", [this] { return FImages.AutoArrow(); }, [this](bool v) { FImages.SetAutoArrow(v); });
    t.AddBool("AllowArrow", [this] { return FImages.AllowArrow(); }, [this](bool v) { FImages.SetAllowArrow(v); });
    t.AddBool("AutoSize", [this] { return FImages.AutoSize(); }, [this](bool v) { FImages.SetAutoSize(v); });
    t.AddBool("AutoHide", [this] { return FImages.AutoHide(); }, [this](bool v) { FImages.SetAutoHide(v); });
    t.AddBool("AutoCenter", [this] { return FImages.AutoCenter(); }, [this](bool v) { FImages.SetAutoCenter(v); });
    TRdScrollBarImages& im = FImages;
    const std::pair<const char*, TPicture*> pictures[] = {
        {"BtnLeft", &im.BtnLeft},         {"BtnLeftHot", &im.BtnLeftHot},         {"BtnRight", &im.BtnRight},
        {"BtnRightHot", &im.BtnRightHot}, {"ScrollBgTop", &im.ScrollBgTop},       {"ScrollBg", &im.ScrollBg},
        {"ScrollBgBottom", &im.ScrollBgBottom}, {"TrackTop", &im.TrackTop},       {"TrackTopHot", &im.TrackTopHot},
        {"TrackCenter", &im.TrackCenter}, {"TrackCenterHot", &im.TrackCenterHot}, {"TrackBottom", &im.TrackBottom},
        {"TrackBottomHot", &im.TrackBottomHot},
    };
    for (const auto& [name, picture] : pictures)
        AddPictureProperty(t, std::string("AllSkinImage.") + name, *picture, FSkinPictures);
    t.AddObject("AllSkinImage.ScrollBg_Option", DesignRectProperties(FImages.ScrollBg_Option));
    t.AddObject("AllSkinImage.Track_Option", DesignRectProperties(FImages.Track_Option));
}
