#pragma once
// TRdSkinClass: the skin binding of one control (its AllSkin property), and
// TRdSkinClassDraw, its drawing options.
//
// A skin class is bound to a style (or, with none, to whichever style is the
// process's main style at the time) and to the property table of its owner. When
// SkinClass is set, and whenever the style reloads, it looks up the class's values
// (with its parents, see RdSkinStyle.h), keeps them in SkinValues, and applies each
// to the owner's table, except names listed in IgnoreValues (without regard to
// case):
//  - a value the owner does not publish is skipped silently: one skin class styles
//    many kinds of control;
//  - a value that does not parse, or that the property refuses, is reported through
//    the style's OnLog ("skin class <class>: <name>: <error>") and the property
//    keeps its value; an identifier a property refuses is tried once more as a
//    colour of the style's color_setting.ini, so "Font.Color = title_text" works;
//  - a class whose "class" key names another control class than the owner's table
//    is not applied at all (logged).
// CurrentValues records "name=value" for each value applied, the value as the
// property's getter reports it afterwards (as written in the skin when there is no
// getter). Then OnApplied fires, so the owner can repaint. Values cannot be
// un-applied: clearing SkinClass leaves the properties as they are.
//
// Pictures. A control's picture properties ("ImageNormal.Text") are applied like
// any other value, by the control's picture source (controls/SkinPictures.h), which
// listens to each pass (TSkinApplyListener) and decides between the control's own
// picture and the skin's:
//  - by default a picture the control holds of its own (not put there by the skin)
//    stays; the skin fills the pictures the control leaves empty, and replaces
//    pictures an earlier skin pass put there;
//  - ForceUseSkinPic: the skin's picture replaces the control's own as well;
//  - ClearOwnerPic: after a pass that applied the class, every picture the class
//    does not supply (and IgnoreValues does not protect) is cleared, so the control
//    shows the skin's pictures only. A pass that finds no class clears nothing: a
//    missing skin leaves the control as it was.
// Pictures of the class are read with ReadFile: the class's "SkinRcc" package
// first, then the style's packages.
//
// Draw holds the drawing options. DrawAlpha, DrawGray and DrawScale take effect
// where the control paints its pictures (TControl::PaintTo sets them on the canvas,
// DrawPicture applies them); DrawBkgBlur, DrawBlur, SmoothFilter and MergeBkg are
// kept and published but nothing draws by them yet.
//
// One thread (the UI thread). Not copyable; the owner keeps it as a member. The
// property provider is called during Apply only, and must return a table that
// lives at least until it returns.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/drawing/RasterOps.h"
#include "public/rdcontrol/skin/RdSkinStyle.h"
#include "public/rdcontrol/skin/SkinProperties.h"

using TPngSmoothFilter = TPixelStretchFilter;

// How a skinned control's pictures are drawn. Values are kept in range: DrawAlpha
// 0..255 (opacity), DrawScale at least 1 (percent), the blurs at least 0.
// DrawAlpha multiplies the opacity of every picture the control draws (text keeps
// the font's Alpha). DrawScale shrinks or grows every picture the control draws
// about the centre of the control: pieces laid out together (a progress bar's
// groove and fill) stay together, and a picture that fills the control stays
// centred where it was; text, layout and hit testing are not scaled. DrawGray
// draws the pictures in grey. DrawBkgBlur, DrawBlur, SmoothFilter and MergeBkg
// are kept only; their effect is left open.
// OnChange runs after a property takes a different value.
class TRdSkinClassDraw {
public:
    int DrawAlpha() const { return FDrawAlpha; }
    void SetDrawAlpha(int value) { Set(FDrawAlpha, value < 0 ? 0 : value > 255 ? 255 : value); }
    int DrawScale() const { return FDrawScale; }
    void SetDrawScale(int value) { Set(FDrawScale, value < 1 ? 1 : value); }
    int DrawBkgBlur() const { return FDrawBkgBlur; }
    void SetDrawBkgBlur(int value) { Set(FDrawBkgBlur, value < 0 ? 0 : value); }
    int DrawBlur() const { return FDrawBlur; }
    void SetDrawBlur(int value) { Set(FDrawBlur, value < 0 ? 0 : value); }
    bool DrawGray() const { return FDrawGray; }
    void SetDrawGray(bool value) { Set(FDrawGray, value); }
    TPngSmoothFilter SmoothFilter() const { return FSmoothFilter; }
    void SetSmoothFilter(TPngSmoothFilter value) { Set(FSmoothFilter, value); }
    bool MergeBkg() const { return FMergeBkg; }
    void SetMergeBkg(bool value) { Set(FMergeBkg, value); }

    void Assign(const TRdSkinClassDraw& source);
    // The names above, for a control to publish under "AllSkin.Draw" or the like.
    TPropertyTable Properties();

    std::function<void()> OnChange;

private:
    template <typename T>
    void Set(T& field, T value) {
        if (field == value) return;
        field = value;
        if (OnChange) OnChange();
    }

    int FDrawAlpha = 255;
    int FDrawScale = 100;
    int FDrawBkgBlur = 0;
    int FDrawBlur = 0;
    bool FDrawGray = false;
    TPngSmoothFilter FSmoothFilter = psfFastSmooth;
    bool FMergeBkg = false;
};

class TRdSkinClass;

// Told of each pass over a class's values: Started before the first value is
// applied, Ended after the last (before OnApplied). `applied` is true when the class
// was found and its values went to the owner's table (false: no style, no class
// name, no such class, or a class for another kind of control).
class TSkinApplyListener {
public:
    virtual ~TSkinApplyListener() = default;
    virtual void SkinApplyStarted(TRdSkinClass& sender) = 0;
    virtual void SkinApplyEnded(TRdSkinClass& sender, bool applied) = 0;
};

class TRdSkinClass {
public:
    using PropertyProvider = std::function<TPropertyTable&()>;

    // `style` nullptr: follow the main style.
    explicit TRdSkinClass(PropertyProvider provider = {}, TRdSkinStyle* style = nullptr);
    TRdSkinClass(const TRdSkinClass&) = delete;
    TRdSkinClass& operator=(const TRdSkinClass&) = delete;

    const std::string& SkinClass() const { return FSkinClass; }
    // Applies the class's values when the name changes (also to "").
    void SetSkinClass(std::string name);

    const std::vector<std::string>& IgnoreValues() const { return FIgnoreValues; }
    void SetIgnoreValues(std::vector<std::string> names) { FIgnoreValues = std::move(names); }
    bool IsIgnored(std::string_view name) const;

    // "name=value" lines found in the skin for SkinClass (with inherited values).
    const std::vector<std::string>& SkinValues() const { return FSkinValues; }
    // "name=value" lines applied at the last Apply.
    const std::vector<std::string>& CurrentValues() const { return FCurrentValues; }

    bool ClearOwnerPic() const { return FClearOwnerPic; }
    void SetClearOwnerPic(bool value) { FClearOwnerPic = value; }
    // Flags for the owner's pictures (see above); they act at the next Apply.
    bool ForceUseSkinPic() const { return FForceUseSkinPic; }
    void SetForceUseSkinPic(bool value) { FForceUseSkinPic = value; }

    TRdSkinClassDraw& Draw() { return FDraw; }
    const TRdSkinClassDraw& Draw() const { return FDraw; }

    // The style set, or nullptr when following the main style.
    TRdSkinStyle* Style() const { return FStyle; }
    // The style in force: the one set, else the main style (may be nullptr).
    TRdSkinStyle* CurrentStyle() const { return FStyle ? FStyle : TRdSkinStyle::MainStyle(); }
    // Binds to another style (nullptr: the main style) and applies its values.
    void SetStyle(TRdSkinStyle* style);
    void SetPropertyProvider(PropertyProvider provider) { FProvider = std::move(provider); }

    // Looks the class up again and applies it now.
    void Apply();

    // A file of the skin for this control's pictures; nullopt when there is no style
    // or no such file.
    std::optional<std::string> ReadFile(std::string_view path) const;

    // After each Apply (also one that found nothing).
    std::function<void(TRdSkinClass& sender)> OnApplied;

    // Not owned; a listener removes itself before it goes.
    void AddApplyListener(TSkinApplyListener* listener);
    void RemoveApplyListener(TSkinApplyListener* listener);

private:
    void Subscribe();
    void OnStyleEvent(TSkinStyleEvent event);
    void ApplyOnce();

    PropertyProvider FProvider;
    TRdSkinStyle* FStyle = nullptr;
    std::string FSkinClass;
    std::string FSkinRcc;
    std::vector<std::string> FIgnoreValues;
    std::vector<std::string> FSkinValues;
    std::vector<std::string> FCurrentValues;
    bool FClearOwnerPic = false;
    bool FForceUseSkinPic = false;
    TRdSkinClassDraw FDraw;
    std::vector<TSkinApplyListener*> FListeners;
    bool FApplying = false;
    bool FApplyAgain = false;
    // Last member: ended first on destruction, so no callback reaches a half-destroyed object.
    TSkinSubscription FSubscription;
};
