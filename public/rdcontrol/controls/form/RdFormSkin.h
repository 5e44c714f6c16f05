#pragma once
// TRdFormSkin: a non-visual component that gives a borderless form (or any control
// on one) the look of a floating window without touching the form's own drawing:
// - a soft drop shadow drawn from PicShadow by the nine-slice rule into a separate
//   click-through window (TRdFormShadowBg) that follows the form and lies directly
//   above it in the z-order (transparent to the mouse and, with sdmFrame, empty in
//   the middle, so the form shows through and stays usable);
// - rounded or chamfered corners by a window region (EllipseSize);
// - an optional border line around the form, drawn into the shadow window
//   (BorderLines);
// - FixFlashBlack: a newly shown form stays fully transparent for 50 ms so that it
//   never flashes black, then returns to its designed AlphaBlendValue;
// - behaviour on moves, minimise and restore, activation, hiding and fades: the
//   shadow takes every constant alpha applied to the form's window.
//
// One skin per control: creating a second one for the same control (or pointing
// OwnerForm at a control that has one) throws ERdFormSkin with the text
// "can not create 2rd TRdFormSkin, exists: <name of the existing one>", and the new
// skin stays unattached.
//
// Attaching: the owner (a TControl) is skinned at creation, OwnerForm re-attaches.
// When the skinned control is a form, the skin hooks the form window's messages
// itself as soon as the window exists; a control on a form instead registers with
// its form's TRdFormWndList (one hook per top-level window for all the skins inside
// it) and follows the form's activation, moves, showing and restoring. Place such a
// control on its form before attaching the skin. Detaching (owner freed, OwnerForm
// changed, skin freed) unhooks the window procedure, gives the form its OnShow
// handler back and destroys the shadow window.
//
// Shadow placement (UpdateShadow), when the owner's window exists:
// - visible when the owner is at least 1 x 1, not force-hidden, showing, its form
//   neither minimised nor maximised, ShadowFrame.Enabled, and (unless force-shown)
//   FixFlashBlack is not running, the window is visible and not minimised;
// - while visible (or a restore from minimised is pending) the shadow is topmost
//   exactly when the owner's top-level window is;
// - bounds: the owner's screen rectangle grown by ShadowFrame's four sides;
// - z-order: given an insert-after window the shadow goes right below it; given the
//   owner itself, the pair is reordered (shadow below owner, then owner below
//   shadow) unless the shadow already lies directly above the owner. Before
//   Windows 8 (version 6.2) the owner is the insert-after window whenever none is
//   given.
//
// Window region (forms only; applied when the window exists, on a real size change
// and when EllipseSize changes): none unless EllipseSize is active and the form is
// in its normal state; Ellipse gives a rounded rectangle (0, 0, w + 1, h + 1) with
// corner ellipses Width x Height, otherwise an octagon with corners cut by Width
// horizontally and Height vertically.
//
// UI thread only: the hook's messages, the 50 ms FixFlashBlack timer and the 200 ms
// re-order timer all arrive there.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "public/rdcontrol/base/RdTimer.h"
#include "public/rdcontrol/framework/SkinPictures.h"
#include "public/rdcontrol/controls/form/FormSkinOptions.h"
#include "public/rdcontrol/controls/form/FormSkinPlatform.h"
#include "public/rdcontrol/controls/form/RdFormShadowBg.h"
#include "public/rdcontrol/framework/Form.h"
#include "public/rdcontrol/pictures/Picture.h"
#include "public/rdcontrol/skin/RdSkinClass.h"

class ERdFormSkin : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRdFormSkin : public TComponent, private TFormWindowListener {
public:
    using TShadowPaintEvent = std::function<void(TRdFormSkin* sender, TRdCanvas& canvas)>;
    static constexpr unsigned FixFlashBlackMs = 50;
    static constexpr unsigned ReorderIntervalMs = 200;
    static constexpr int ReorderTicks = 5;

    // Attaches to owner when it is a control (throws ERdFormSkin, see above).
    explicit TRdFormSkin(TComponent* owner);
    ~TRdFormSkin() override;

    // --- Properties -------------------------------------------------------------
    bool FixFlashBlack() const { return FFixFlashBlack; }
    void SetFixFlashBlack(bool value);
    // The owner's Color (clWindow while there is no owner).
    TColor FormColor() const;
    void SetFormColor(TColor color);
    TControl* OwnerForm() const { return FOwnerControl; }
    // Re-attaches to control (nullptr: detached). Throws ERdFormSkin when control
    // has a skin already; this skin then stays as it was.
    void SetOwnerForm(TControl* control);
    TPicture& PicShadow() { return FPicShadow; }
    TRdFormSkinBkgOpt& PicShadowOption() { return FPicShadowOption; }
    TEllipseSize& EllipseSize() { return FEllipseSize; }
    TBorderLines& BorderLines() { return FBorderLines; }
    TShadowFrame& ShadowFrame() { return FShadowFrame; }
    TPicOption& PicOption() { return FPicOption; }
    TRdSkinClass& AllSkin() { return FAllSkin; }
    TPropertyTable& Properties();
    // After the shadow's picture is composed, before it is shown.
    TShadowPaintEvent OnShadowPaintEnd;

    TRdFormShadowBg& ShadowBg() const { return *FShadow; }
    // The shadow surface's canvas while OnShadowPaintEnd runs, else nullptr.
    TRdCanvas* ShadowCanvas() const { return FShadowCanvas; }

    // --- The rules ----------------------------------------------------------------
    void UpdateShadow(bool forceHide = false, bool forceShow = false, TWindowHandle insertAfter = nullptr);
    // Where the shadow goes now (screen).
    TRect ShadowBounds() const;
    // The owner's screen rectangle.
    TRect OwnerScreenRect() const;
    // The region for a window of that size in the given state.
    TWindowRegion RegionFor(int width, int height, TWindowState state) const;
    // The owner's window (a control's: its form's), nullptr without one.
    TWindowHandle OwnerHandle() const;
    // FixFlashBlack is waiting for the first show / keeping the form transparent now.
    bool FixPending() const { return FFixPending; }
    bool FixRunning() const { return FFixRunning; }

    // A message of the owner window (fromTopLevel false) or, for a control on a
    // form, of the form's window (fromTopLevel true).
    void HandleMessage(TSkinMessage& message, bool fromTopLevel);

    // The skin attached to control, or nullptr.
    static TRdFormSkin* SkinOf(const TControl* control);

    // What the form's OnShow is while FixFlashBlack waits for the first show: a type
    // of its own, so that the skin can tell whether OnShow is still its hook.
    struct TShowHook {
        TRdFormSkin* Skin;
        void operator()(TControl* sender) const;
    };

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TRdFormShadowBg;

    void Attach(TControl* control);
    void Detach();
    TCustomForm* TopForm() const;
    bool OwnerIsForm() const;
    void ApplyRegion(bool force);
    void SettingsChanged();
    void InstallShowHook();
    void RemoveShowHook();
    void ShowHookCalled(TControl* sender);
    void StartFix();
    void EndFix();
    void StartReorderTimer();
    void Reorder();
    TFormSkinPlatform& Platform() const;

    // TFormWindowListener
    void FormWindowAttached(TCustomForm& form) override;
    void FormWindowDetaching(TCustomForm& form) override;
    void FormAlphaApplied(TCustomForm& form, std::uint8_t alpha) override;
    void WindowReady();

    TControl* FOwnerControl = nullptr;
    TCustomForm* FListenedForm = nullptr;
    std::unique_ptr<TWindowHook> FHook;
    bool FRegistered = false;  // with the form's TRdFormWndList
    std::unique_ptr<TRdFormShadowBg> FShadow;

    bool FFixFlashBlack = false;
    TPicture FPicShadow;
    TRdFormSkinBkgOpt FPicShadowOption;
    TEllipseSize FEllipseSize;
    TBorderLines FBorderLines;
    TShadowFrame FShadowFrame;
    TPicOption FPicOption;
    TRdSkinClass FAllSkin;
    TSkinPictureSource FSkinPictures{FAllSkin};
    std::unique_ptr<TPropertyTable> FProperties;
    TRdCanvas* FShadowCanvas = nullptr;

    // Region: the size it was last applied for (-1: never).
    int FRegionWidth = -1, FRegionHeight = -1;
    TWindowState FRegionState = TWindowState::wsNormal;
    // Child owners: where the owner was at the last update.
    TRect FLastOwnerRect;

    // FixFlashBlack.
    bool FFixPending = false, FFixRunning = false, FShowHooked = false;
    TControl::TNotifyEvent FSavedOnShow;
    std::uint8_t FSavedAlpha = 255;
    TRdTimer FFixTimer;

    bool FRecheckPending = false;
    bool FRestorePending = false;
    TRdTimer FReorderTimer;
    int FReorderTicks = 0;
};
