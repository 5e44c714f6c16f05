#pragma once
// A windowing system for skinned-form tests: form windows and shadow windows with
// handles, a z-order, window states, regions and message hooks that the test drives
// by sending messages (before and after a window procedure that does nothing).
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "public/rdcontrol/controls/form/FormSkinPlatform.h"
#include "public/rdcontrol/framework/Application.h"

struct TFakeWindowState {
    bool Visible = false;
    TWindowState State = TWindowState::wsNormal;
    bool Topmost = false;
    TRect Bounds;
    std::uint8_t Alpha = 255;
    TWindowRegion Region;
    int RegionCalls = 0;
};

class TFakeSkinPlatform;

class TFakeShadow final : public TShadowWindow {
public:
    TFakeShadow(TFakeSkinPlatform& platform, TWindowHandle owner);
    ~TFakeShadow() override;
    TWindowHandle Handle() const override { return const_cast<TFakeShadow*>(this); }
    void Update(const TArgbSurface& image, const TRect& bounds, std::uint8_t alpha) override {
        Image = TArgbSurface(bounds.Width(), bounds.Height());
        for (int y = 0; y < bounds.Height(); ++y)
            for (int x = 0; x < bounds.Width(); ++x) Image.SetPixel(x, y, image.Pixel(x, y));
        Bounds = bounds;
        Alpha = alpha;
        ++Updates;
    }
    void Move(const TRect& bounds) override { Bounds = bounds; }
    void SetVisible(bool visible) override { IsVisible = visible; }
    bool Visible() const override { return IsVisible; }
    void SetTopmost(bool topmost) override { IsTopmost = topmost; }
    bool Topmost() const override { return IsTopmost; }

    TFakeSkinPlatform& Platform;
    TWindowHandle Owner;
    TArgbSurface Image;
    TRect Bounds;
    std::uint8_t Alpha = 0;
    int Updates = 0;
    bool IsVisible = false, IsTopmost = false;
};

class TFakeSkinPlatform final : public TFormSkinPlatform {
public:
    TFakeSkinPlatform() { SetFormSkinPlatform(this); }
    ~TFakeSkinPlatform() override { SetFormSkinPlatform(nullptr); }

    std::unique_ptr<TShadowWindow> CreateShadowWindow(TWindowHandle owner) override {
        auto shadow = std::make_unique<TFakeShadow>(*this, owner);
        Shadows.push_back(shadow.get());
        ZOrder.push_back(shadow->Handle());  // new windows go on top
        return shadow;
    }
    bool WindowVisible(TWindowHandle w) const override { return Window(w).Visible; }
    TWindowState WindowState(TWindowHandle w) const override { return Window(w).State; }
    bool WindowTopmost(TWindowHandle w) const override { return Window(w).Topmost; }
    TWindowHandle WindowAbove(TWindowHandle w) const override {
        auto it = std::find(ZOrder.begin(), ZOrder.end(), w);
        if (it == ZOrder.end() || it + 1 == ZOrder.end()) return nullptr;
        return *(it + 1);
    }
    void PlaceBelow(TWindowHandle w, TWindowHandle above) override {
        ++ZOrderCalls;
        std::erase(ZOrder, w);
        auto it = std::find(ZOrder.begin(), ZOrder.end(), above);
        ZOrder.insert(it, w);
    }
    void SetRegion(TWindowHandle w, const TWindowRegion& region) override {
        Windows[w].Region = region;
        ++Windows[w].RegionCalls;
    }
    TRect MonitorRect(TWindowHandle) const override { return TRect{0, 0, 1280, 1024}; }
    TRect WorkArea(TWindowHandle) const override { return TRect{0, 0, 1280, 984}; }
    unsigned OsVersion() const override { return Version; }
    std::unique_ptr<TWindowHook> HookWindow(TWindowHandle w, THandler handler) override {
        const int id = ++NextHook;
        Hooks[w].emplace_back(id, std::move(handler));
        return std::make_unique<THook>(*this, w, id);
    }

    // The test as the system: deliver a message to a window's hooks.
    TSkinMessage Send(TWindowHandle w, TSkinMessage m) {
        m.After = false;
        Deliver(w, m);
        m.After = true;
        Deliver(w, m);
        return m;
    }
    int HookCount(TWindowHandle w) const {
        auto it = Hooks.find(w);
        return it == Hooks.end() ? 0 : static_cast<int>(it->second.size());
    }
    TFakeWindowState& Window(TWindowHandle w) { return Windows[w]; }
    const TFakeWindowState& Window(TWindowHandle w) const {
        static const TFakeWindowState none;
        auto it = Windows.find(w);
        return it == Windows.end() ? none : it->second;
    }

    std::map<TWindowHandle, TFakeWindowState> Windows;
    std::vector<TWindowHandle> ZOrder;  // bottom first
    std::vector<TFakeShadow*> Shadows;
    int ZOrderCalls = 0;
    unsigned Version = 0xA00;

private:
    struct THook final : TWindowHook {
        THook(TFakeSkinPlatform& p, TWindowHandle w, int id) : P(p), W(w), Id(id) {}
        ~THook() override { std::erase_if(P.Hooks[W], [this](const auto& h) { return h.first == Id; }); }
        TFakeSkinPlatform& P;
        TWindowHandle W;
        int Id;
    };
    void Deliver(TWindowHandle w, TSkinMessage& m) {
        auto handlers = Hooks[w];
        for (auto& [id, handler] : handlers) handler(m);
    }
    std::map<TWindowHandle, std::vector<std::pair<int, THandler>>> Hooks;
    int NextHook = 0;
};

inline TFakeShadow::TFakeShadow(TFakeSkinPlatform& platform, TWindowHandle owner) : Platform(platform), Owner(owner) {}
inline TFakeShadow::~TFakeShadow() {
    std::erase(Platform.ZOrder, Handle());
    std::erase(Platform.Shadows, this);
}

// A form window that lives in the fake system: it has a handle, a place in the
// z-order, and tells the skins what the system would (moves, showing, sizes).
class TSkinFormWindow final : public TFormWindow {
public:
    TSkinFormWindow(TCustomForm& form, TFakeSkinPlatform& platform) : FForm(form), FPlatform(platform) {
        FPlatform.ZOrder.push_back(this);
    }
    ~TSkinFormWindow() override {
        std::erase(FPlatform.ZOrder, PlatformHandle());
        FPlatform.Windows.erase(PlatformHandle());
    }
    void SetBounds(const TRect& r) override {
        State().Bounds = r;
        Send(TSkinMsg::Move);
    }
    void SetVisible(bool visible, bool) override {
        TSkinMessage m;
        m.Kind = TSkinMsg::PosChanging;
        m.PosFlags = spNoMove | spNoSize | spNoZOrder | (visible ? spShowWindow : spHideWindow);
        FPlatform.Send(this, m);
        State().Visible = visible;
        m = TSkinMessage{};
        m.Kind = TSkinMsg::ShowWindow;
        m.Flag = visible;
        FPlatform.Send(this, m);
        m = TSkinMessage{};
        m.Kind = TSkinMsg::PosChanged;
        m.PosFlags = spNoMove | spNoSize | spNoZOrder | (visible ? spShowWindow : spHideWindow);
        FPlatform.Send(this, m);
    }
    void SetCaption(const std::string&) override {}
    void SetLayering(TFormLayering, std::uint8_t alpha) override { State().Alpha = alpha; }
    void SetStayOnTop(bool v) override { State().Topmost = v; }
    void SetEnabled(bool) override {}
    void SetOwnerWindow(TFormWindow*) override {}
    void Activate() override {}
    void Minimize() override { SetState(TWindowState::wsMinimized); }
    void Restore() override { SetState(TWindowState::wsNormal); }
    bool Minimized() const override { return FPlatform.Window(PlatformHandle()).State == TWindowState::wsMinimized; }
    void Invalidate(const TRect&) override {}
    void Update() override { FForm.PaintInvalid(); }
    void SetMouseCapture(bool) override {}
    void SetCursor(TCursor) override {}
    void TrackMouseLeave() override {}
    std::unique_ptr<TNativeChildWindow> CreateNativeChild(TNativeKind, TNativeChildEvents) override { return nullptr; }
    void* PlatformHandle() const override { return const_cast<TSkinFormWindow*>(this); }

    void SetState(TWindowState state) {
        State().State = state;
        Send(TSkinMsg::Size);
    }

private:
    TFakeWindowState& State() { return FPlatform.Window(PlatformHandle()); }
    void Send(TSkinMsg kind) {
        TSkinMessage m;
        m.Kind = kind;
        FPlatform.Send(this, m);
    }
    TCustomForm& FForm;
    TFakeSkinPlatform& FPlatform;
};

class TSkinAppPlatform final : public TApplicationPlatform {
public:
    explicit TSkinAppPlatform(TFakeSkinPlatform& skins) : FSkins(skins) {}
    std::unique_ptr<TFormWindow> MakeWindow(TCustomForm& form) override {
        return std::make_unique<TSkinFormWindow>(form, FSkins);
    }
    TRect WorkArea(TPoint) const override { return TRect{0, 0, 1280, 984}; }
    TPoint CursorPos() const override { return TPoint{}; }
    void SetTitle(const std::string&) override {}

private:
    TFakeSkinPlatform& FSkins;
};
