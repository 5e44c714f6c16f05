#pragma once
// A form window for tests: records what the form asks of the platform and paints
// the form's back buffer when asked, like the real window does on WM_PAINT.
#include <memory>
#include <vector>

#include "public/rdcontrol/framework/Application.h"

struct TFakeNativeChild;

struct TFakeWindowLog {
    TRect Bounds;
    bool Visible = false;
    bool Enabled = true;
    bool Capture = false;
    TCursor Cursor = crDefault;
    TFormLayering Layering = TFormLayering::Opaque;
    std::uint8_t Alpha = 255;
    int Invalidations = 0;
    std::string Caption;
    TFakeNativeChild* Native = nullptr;  // the last native child made
    bool NativeAlive = false;
};

// A native child that keeps its state where the test can see it, and lets the test
// act as the user (typing, selecting, clicking into it).
struct TFakeNativeChild final : TNativeChildWindow {
    TNativeKind Kind;
    TNativeChildEvents Events;
    TRect Bounds;
    bool Visible = false, Enabled = true, Focused = false;
    TNativeEditOptions Options;
    int Redraws = 0;
    std::string TextValue;
    std::vector<std::string> Items;
    int Index = -1;
    bool* Alive;

    TFakeNativeChild(TNativeKind kind, TNativeChildEvents events, bool* alive)
        : Kind(kind), Events(std::move(events)), Alive(alive) {
        *Alive = true;
    }
    ~TFakeNativeChild() override { *Alive = false; }
    void SetBounds(const TRect& r) override { Bounds = r; }
    void SetVisible(bool v) override { Visible = v; }
    void SetEnabled(bool v) override { Enabled = v; }
    void SetFocus() override { Focused = true; }
    void ReleaseFocus() override { Focused = false; }
    void Redraw() override { ++Redraws; }
    void SetEditOptions(const TNativeEditOptions& o) override { Options = o; }
    void SetFont(const TFontSpec&) override {}
    std::string Text() const override { return TextValue; }
    void SetText(const std::string& t) override {
        TextValue = t;
        if (Events.OnChange) Events.OnChange();
    }
    void SetItems(const std::vector<std::string>& items) override { Items = items; }
    int ItemIndex() const override { return Index; }
    void SetItemIndex(int i) override { Index = i; }
    // A plain child is opaque white; a skinned edit adds no ink of its own here (the
    // form's pixels under it stay as they are).
    TArgbSurface Snapshot() override {
        return TArgbSurface(Bounds.Width(), Bounds.Height(), Options.Skinned ? 0u : 0xFFFFFFFFu);
    }
    void* PlatformHandle() const override { return nullptr; }

    void UserTypes(const std::string& t) { SetText(TextValue + t); }
    void UserSelects(int i) {
        Index = i;
        if (Events.OnChange) Events.OnChange();
    }
    void UserClicksInto() {
        Focused = true;
        if (Events.OnFocus) Events.OnFocus();
    }
};

class TFakeFormWindow final : public TFormWindow {
public:
    TFakeFormWindow(TCustomForm& form, std::shared_ptr<TFakeWindowLog> log) : FForm(form), FLog(std::move(log)) {}
    void SetBounds(const TRect& r) override { FLog->Bounds = r; }
    void SetVisible(bool visible, bool) override { FLog->Visible = visible; }
    void SetCaption(const std::string& c) override { FLog->Caption = c; }
    void SetLayering(TFormLayering layering, std::uint8_t alpha) override {
        FLog->Layering = layering;
        FLog->Alpha = alpha;
    }
    void SetStayOnTop(bool) override {}
    void SetEnabled(bool enabled) override { FLog->Enabled = enabled; }
    void SetOwnerWindow(TFormWindow*) override {}
    void Activate() override {}
    void Minimize() override { FMinimized = true; }
    void Restore() override { FMinimized = false; }
    bool Minimized() const override { return FMinimized; }
    void Invalidate(const TRect&) override { ++FLog->Invalidations; }
    void Update() override { FForm.PaintInvalid(); }
    void SetMouseCapture(bool capture) override { FLog->Capture = capture; }
    void SetCursor(TCursor cursor) override { FLog->Cursor = cursor; }
    void TrackMouseLeave() override {}
    void* PlatformHandle() const override { return nullptr; }
    std::unique_ptr<TNativeChildWindow> CreateNativeChild(TNativeKind kind, TNativeChildEvents events) override {
        auto child = std::make_unique<TFakeNativeChild>(kind, std::move(events), &FLog->NativeAlive);
        FLog->Native = child.get();
        return child;
    }

private:
    TCustomForm& FForm;
    std::shared_ptr<TFakeWindowLog> FLog;
    bool FMinimized = false;
};

class TFakePlatform final : public TApplicationPlatform {
public:
    std::unique_ptr<TFormWindow> MakeWindow(TCustomForm& form) override {
        auto log = std::make_shared<TFakeWindowLog>();
        Logs.push_back(log);
        return std::make_unique<TFakeFormWindow>(form, log);
    }
    TRect WorkArea(TPoint) const override { return TRect{0, 0, 1024, 768}; }
    TPoint CursorPos() const override { return TPoint{}; }
    void SetTitle(const std::string& title) override { Title = title; }
    // Context menus: each shown menu's captions and screen point; answers MenuChoice.
    int TrackMenu(const std::vector<std::string>& captions, const std::vector<bool>&, TPoint screen) override {
        Menus.push_back(captions);
        MenuPoints.push_back(screen);
        return MenuChoice;
    }
    std::vector<std::shared_ptr<TFakeWindowLog>> Logs;
    std::string Title;
    std::vector<std::vector<std::string>> Menus;
    std::vector<TPoint> MenuPoints;
    int MenuChoice = -1;
};
