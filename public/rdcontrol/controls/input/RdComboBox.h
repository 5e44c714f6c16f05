#pragma once
// TRdComboBox: a drop-down list (the installer's language selector). The combo
// itself is invisible and lets the mouse through; what the user sees and touches
// is its face (TRdComboBoxPanel, on the combo's parent, at the bottom of the
// combo's bounds, ComboGeometry.h) and, while open, the pop-up list window
// (TRdComboboxListForm "ListForm" holding TRdComboBoxList "ListBox" and the
// right-aligned TRdScrollBar "VScroll", with the shadow TRdFormSkin "Bg").
//
// Face: the first present of BackgroundClick (list open), BackgroundFocus (focus
// flag), BackgroundHot (pointer over it), else Background; BackgroundDisable
// when disabled (else Background); all by the nine-slice rule of
// BackgroundOption. The text is Text in the combo's font (FontDisableColor when
// disabled), or while ItemIndex < 0 the prompt TextHint in FontHintColor, on one
// line, vertically centred, cut with "..." in the face's text rectangle. When the
// face shows hints and has none of its own, a text too wide for it becomes its
// hint.
//
// Opening (a left press on the face, or SetDroppedDown(true)): the list window
// takes the face's width, OnDropDown fires, the list gets the items, the selection
// as its highlight and top row, the window is realised at alpha 0, placed (below
// the face, above it when it fits there but not below within the form, pushed
// inside the screen area), the scroll bar takes the list's scroll information,
// OnDropDownShow fires, the window is painted whole and made opaque, the
// application hook is set and the list takes the focus. Nothing opens without a
// parent form.
//
// While open: moving over the list highlights the row under the pointer (the
// combo's selection does not change); a click or a keyboard move chooses: Text and
// ItemIndex take the row, then OnClick, then OnSelect (OnChange when OnSelect is
// not set). Releasing the left button over the list, Enter and Escape close it
// (Escape keeps what was chosen). The hook (every message of the application)
// closes the list on a press anywhere but the face, the list window or a dragged
// scroll bar, or once the combo is no longer showing; a wheel turn anywhere
// scrolls the list while its scroll bar shows, otherwise closes it (over the face
// at once, elsewhere by the press rule). The list window losing activation and
// the list losing the focus apply the press rule too.
//
// Closing: OnCloseUp, the hook is released, the window hidden, the face repainted.
// Hiding or disabling the combo closes the list.
//
// UI thread only.
#include <functional>
#include <string>
#include <vector>

#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/controls/form/RdFormSkin.h"
#include "public/rdcontrol/controls/input/ComboHook.h"
#include "public/rdcontrol/controls/input/RdComboBoxList.h"
#include "public/rdcontrol/controls/input/RdComboBoxPanel.h"
#include "public/rdcontrol/controls/input/RdComboboxListForm.h"
#include "public/rdcontrol/controls/input/RdScrollBar.h"
#include "public/rdcontrol/drawing/DesignRect.h"

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TRdComboBox : public TWinControl {
public:
    using TDrawItemEvent = TRdComboBoxList::TDrawItemEvent;

    explicit TRdComboBox(TComponent* owner);
    ~TRdComboBox() override;

    // --- The list ---------------------------------------------------------------
    const std::vector<std::string>& Items() const { return FItems; }
    void SetItems(std::vector<std::string> items);
    int ItemIndex() const { return FItemIndex; }
    // By program: Text follows, no events.
    void SetItemIndex(int index);
    const std::string& Text() const { return FText; }
    // Selects the item of that text when there is one (else none) and shows text.
    void SetText(const std::string& text);
    const std::string& TextHint() const { return FTextHint; }
    void SetTextHint(const std::string& v);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v) { FDropDownCount = v; }
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle v) { FStyle = v; }

    // --- The face -------------------------------------------------------------------
    int ComboboxHeight() const { return FComboboxHeight; }
    void SetComboboxHeight(int v);
    TPicture& Background() { return FBackground; }
    TPicture& BackgroundHot() { return FBackgroundHot; }
    TPicture& BackgroundFocus() { return FBackgroundFocus; }
    TPicture& BackgroundClick() { return FBackgroundClick; }
    TPicture& BackgroundDisable() { return FBackgroundDisable; }
    // Margins of all face pictures; Right is also the arrow's room. Setting Empty to
    // false on an empty option takes margins of a third of Background's size.
    TDesignRect& BackgroundOption() { return FBackgroundOption; }
    void SetBackgroundOptionEmpty(bool empty);
    int TextOffX() const { return FTextOffX; }
    void SetTextOffX(int v);
    TColor FontDisableColor() const { return FFontDisableColor; }
    void SetFontDisableColor(TColor v);
    TColor FontHintColor() const { return FFontHintColor; }
    void SetFontHintColor(TColor v);
    // The face's height and rectangle (in the parent's coordinates) by the rules.
    int FaceHeight() const;
    TRect FaceBounds() const;
    // The text rectangle in face coordinates.
    TRect FaceTextRect() const;

    // --- The list window ----------------------------------------------------------
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TColor ItemColor() const { return FItemColor; }
    void SetItemColor(TColor v) { FItemColor = v; }
    TColor ItemHotColor() const { return FItemHotColor; }
    void SetItemHotColor(TColor v) { FItemHotColor = v; }
    TColor ItemHotBgColor() const { return FItemHotBgColor; }
    void SetItemHotBgColor(TColor v) { FItemHotBgColor = v; }

    TRdComboBoxPanel& Face() { return *FFace; }
    TRdComboboxListForm& ListForm() { return *FListForm; }
    TRdComboBoxList& ListBox() { return *FList; }
    TRdScrollBar& VScrollBar() { return *FVScroll; }
    // The list window's shadow and look (a TRdFormSkin "Bg" on the list window; no
    // shadow until its ShadowFrame is enabled and PicShadow set).
    TRdFormSkin& ListFormShadow() { return *FListFormShadow; }

    // --- Open and closed ----------------------------------------------------------
    bool DroppedDown() const;
    void SetDroppedDown(bool v);
    int HotIndex() const { return FHotIndex; }
    int PrevHotIndex() const { return FPrevHotIndex; }
    bool HookInstalled() const { return FHookActive; }
    // The hook's rules for one message; true when the message is used up.
    bool HookMessage(const TComboHookMessage& message);
    // The outside-press rule at a screen point.
    void OutsidePress(TPoint screen);
    // The face's rectangle on the screen.
    TRect FaceScreenRect() const;

    // --- Called by the face ---------------------------------------------------------
    void PaintFace(TRdCanvas& canvas);
    void FaceEntered(bool entered);

    void SetBounds(int left, int top, int width, int height) override;
    void SetParent(TWinControl* parent) override;

    TNotifyEvent OnChange, OnSelect, OnDropDown, OnCloseUp, OnDropDownShow;
    TDrawItemEvent OnDrawItem;

protected:
    void VisibleChanged() override;
    void EnabledChanged() override;
    void FontChanged() override;
    void DoEnter() override;
    void DoExit() override;
    void PublishProperties(TPropertyTable& table) override;

private:
    void PlaceFace();
    void DropDown();
    void CloseUp();
    void InstallHook();
    void RemoveHook();
    void SyncScrollBar();
    void DrawItem(TControl* sender, TRdCanvas& canvas, int index, const TRect& rect, bool selected);
    void ListMouseMove(int x, int y);
    void ListChosen();
    void ClearAutoHint();
    TPicture& FaceImage();

    std::vector<std::string> FItems;
    int FItemIndex = -1;
    std::string FText, FTextHint;
    int FItemHeight = 16;
    int FDropDownCount = 8;
    TComboBoxStyle FStyle = csOwnerDrawFixed;
    int FComboboxHeight = 0;
    TPicture FBackground, FBackgroundHot, FBackgroundFocus, FBackgroundClick, FBackgroundDisable;
    TSkinPictureSource FSkinPictures{AllSkin()};
    TDesignRect FBackgroundOption;
    int FTextOffX = 5;
    TColor FFontDisableColor = static_cast<TColor>(0xFF000011);
    TColor FFontHintColor = 0x808080;
    TColor FBorderColor = 0x333333;
    TColor FItemColor = clDefault;
    TColor FItemHotColor = 0xFFFFFF;
    TColor FItemHotBgColor = 0x00782B;

    TRdComboBoxPanel* FFace = nullptr;
    TRdComboboxListForm* FListForm = nullptr;
    TRdComboBoxList* FList = nullptr;
    TRdScrollBar* FVScroll = nullptr;
    TRdFormSkin* FListFormShadow = nullptr;

    int FHotIndex = -1, FPrevHotIndex = -1;
    bool FScrollDriving = false;
    bool FHookActive = false;
    std::shared_ptr<TRdComboBox*> FHookTarget;  // what the application's hook calls
    std::string FLastPaintedText;
    std::string FAutoHint;
};
