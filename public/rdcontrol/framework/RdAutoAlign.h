#pragma once
// TRdAutoAlign: makes a control follow another one (its Source): sit on one side of
// it (Align) and keep following when the source moves or is resized, along the
// edges given by Anchors. A label with AlignWithMargins and Margins.Top = 4 whose
// source is a title label stays 4 pixels below the title whenever the title's
// height changes (a translated caption that wraps).
//
// Setting Align sets Anchors from a table (alTop -> left+bottom, alBottom ->
// left+top, alLeft -> top+right, alRight -> left+top, alClient -> all, alNone and
// alCustom -> left+top); Anchors may be changed afterwards. A source that would make
// a cycle (its own chain of sources reaches this control) or the control itself is
// refused: the old source stays.
//
// Part of every control (TControl::AutoAlign); not a component of its own.
// UI thread only.
#include <vector>

#include "public/rdcontrol/framework/Control.h"

class TRdAutoAlign {
public:
    explicit TRdAutoAlign(TControl& control) : FControl(control) {}
    ~TRdAutoAlign();
    TRdAutoAlign(const TRdAutoAlign&) = delete;
    TRdAutoAlign& operator=(const TRdAutoAlign&) = delete;

    TControl* Source() const { return FSource; }
    // Refused (no change, returns false) for a cycle or the control itself.
    bool SetSource(TControl* source);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors anchors) { FAnchors = anchors; }
    // Controls whose AutoAlign.Source is this control.
    const std::vector<TControl*>& Childs() const { return FChilds; }

    // The source moved or changed size from oldBounds to its current bounds.
    void SourceChanged(const TRect& oldBounds);
    // Places the control from scratch.
    void Realign();

private:
    friend class TControl;
    void Place(const TRect& oldSource, const TRect& newSource, bool full);
    TRect SourceRectInParent() const;
    void SourceGone();

    TControl& FControl;
    TControl* FSource = nullptr;
    TAlign FAlign = alBottom;
    TAnchors FAnchors = akLeft | akTop;
    std::vector<TControl*> FChilds;
    bool FPlacing = false;
};
