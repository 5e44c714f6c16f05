#include "public/rdcontrol/framework/RdAutoAlign.h"

#include <algorithm>

#include "public/rdcontrol/framework/WinControl.h"

namespace {

TAnchors AnchorsFor(TAlign align) {
    switch (align) {
        case alTop: return akLeft | akBottom;
        case alLeft: return akTop | akRight;
        case alClient: return akLeft | akTop | akRight | akBottom;
        case alNone:
        case alBottom:
        case alRight:
        case alCustom: return akLeft | akTop;
    }
    return akLeft | akTop;
}

}  // namespace

TRdAutoAlign::~TRdAutoAlign() {
    // Followers lose their source; this control leaves its source's list.
    for (TControl* child : std::vector<TControl*>(FChilds)) child->AutoAlign().SourceGone();
    if (FSource) {
        std::erase(FSource->AutoAlign().FChilds, &FControl);
        FSource->RemoveFreeNotification(&FControl);
    }
}

bool TRdAutoAlign::SetSource(TControl* source) {
    if (source == FSource) return true;
    if (source == &FControl) return false;
    for (TControl* s = source; s; s = s->FAutoAlign ? s->FAutoAlign->FSource : nullptr)
        if (s == &FControl) return false;
    if (FSource) {
        std::erase(FSource->AutoAlign().FChilds, &FControl);
        FSource->RemoveFreeNotification(&FControl);
    }
    FSource = source;
    if (FSource) {
        FSource->AutoAlign().FChilds.push_back(&FControl);
        FSource->FreeNotification(&FControl);
        Realign();
    }
    return true;
}

void TRdAutoAlign::SetAlign(TAlign align) {
    if (align == FAlign) return;
    FAlign = align;
    FAnchors = AnchorsFor(align);
    Realign();
}

void TRdAutoAlign::SourceGone() {
    FSource = nullptr;
}

TRect TRdAutoAlign::SourceRectInParent() const {
    TRect s = FSource->BoundsRect();
    if (FSource->Parent() == FControl.Parent()) return s;
    // Different parents: compare in form coordinates.
    const TPoint so = FSource->FormOrigin();
    const TPoint po = FControl.FormOrigin();
    return TRect::FromSize(so.X - (po.X - FControl.Left()), so.Y - (po.Y - FControl.Top()), s.Width(), s.Height());
}

void TRdAutoAlign::Realign() {
    if (!FSource) return;
    const TRect s = SourceRectInParent();
    Place(s, s, true);
}

void TRdAutoAlign::SourceChanged(const TRect& oldBounds) {
    if (!FSource) return;
    const TRect now = SourceRectInParent();
    // oldBounds is in the source's parent; shift it the same way as now.
    const TRect cur = FSource->BoundsRect();
    const TRect old = oldBounds.Offset(now.Left - cur.Left, now.Top - cur.Top);
    Place(old, now, false);
}

void TRdAutoAlign::Place(const TRect& o, const TRect& s, bool full) {
    if (FPlacing) return;
    FPlacing = true;
    const bool m = FControl.AlignWithMargins();
    const TMargins mg = m ? FControl.Margins() : TMargins{0, 0, 0, 0};
    int left = FControl.Left(), top = FControl.Top(), width = FControl.Width(), height = FControl.Height();

    // Across the side: how the near edge, the size and the far edge follow.
    auto across = [&](int& pos, int& size, int oNear, int oSize, int sNear, int sSize, bool nearAnchor,
                      bool farAnchor) {
        if (nearAnchor) {
            pos = full ? sNear : pos + (sNear - oNear);
            if (farAnchor) size += sSize - oSize;
        } else if (farAnchor) {
            pos = full ? sNear + sSize - size : pos + ((sNear + sSize) - (oNear + oSize));
        }
    };
    const bool aL = FAnchors & akLeft, aT = FAnchors & akTop, aR = FAnchors & akRight, aB = FAnchors & akBottom;
    switch (FAlign) {
        case alTop:
            top = s.Top - height - mg.Bottom;
            across(left, width, o.Left, o.Width(), s.Left, s.Width(), aL, aR);
            break;
        case alBottom:
            top = s.Bottom + mg.Top;
            across(left, width, o.Left, o.Width(), s.Left, s.Width(), aL, aR);
            break;
        case alLeft:
            left = s.Left - width - mg.Right;
            across(top, height, o.Top, o.Height(), s.Top, s.Height(), aT, aB);
            break;
        case alRight:
            left = s.Right + mg.Left;
            across(top, height, o.Top, o.Height(), s.Top, s.Height(), aT, aB);
            break;
        case alClient:
            if (full) {
                left = s.Left + mg.Left;
                top = s.Top + mg.Top;
                width = s.Width() - mg.Left - mg.Right;
                height = s.Height() - mg.Top - mg.Bottom;
            } else {
                int right = left + width, bottom = top + height;
                const bool rightAtEdge = right == o.Right - mg.Right;
                const bool bottomAtEdge = bottom == o.Bottom - mg.Bottom;
                if (aL) left += s.Left - o.Left;
                if (aT) top += s.Top - o.Top;
                if (aR) right = rightAtEdge ? s.Right - mg.Right : right + (s.Right - o.Right);
                if (aB) bottom = bottomAtEdge ? s.Bottom - mg.Bottom : bottom + (s.Bottom - o.Bottom);
                if (!aR) right = left + width;
                if (!aB) bottom = top + height;
                width = right - left;
                height = bottom - top;
            }
            break;
        case alCustom:
            if (aL && aR) width += s.Width() - o.Width();
            if (aT && aB) height += s.Height() - o.Height();
            break;
        case alNone: break;
    }
    FControl.SetBounds(left, top, width, height);
    FPlacing = false;
}
