// The host build has no windows: skins there compose their shadows (which tests
// look at) but nothing is shown, and no message ever arrives.
#include "public/rdcontrol/controls/form/FormSkinPlatform.h"

namespace {

class THostShadowWindow final : public TShadowWindow {
public:
    TWindowHandle Handle() const override { return const_cast<THostShadowWindow*>(this); }
    void Update(const TArgbSurface&, const TRect&, std::uint8_t) override {}
    void Move(const TRect&) override {}
    void SetVisible(bool visible) override { FVisible = visible; }
    bool Visible() const override { return FVisible; }
    void SetTopmost(bool topmost) override { FTopmost = topmost; }
    bool Topmost() const override { return FTopmost; }

private:
    bool FVisible = false, FTopmost = false;
};

class THostFormSkinPlatform final : public TFormSkinPlatform {
public:
    std::unique_ptr<TShadowWindow> CreateShadowWindow(TWindowHandle) override {
        return std::make_unique<THostShadowWindow>();
    }
    bool WindowVisible(TWindowHandle) const override { return false; }
    TWindowState WindowState(TWindowHandle) const override { return TWindowState::wsNormal; }
    bool WindowTopmost(TWindowHandle) const override { return false; }
    TWindowHandle WindowAbove(TWindowHandle) const override { return nullptr; }
    void PlaceBelow(TWindowHandle, TWindowHandle) override {}
    void SetRegion(TWindowHandle, const TWindowRegion&) override {}
    TRect MonitorRect(TWindowHandle) const override { return TRect{0, 0, 1024, 768}; }
    TRect WorkArea(TWindowHandle) const override { return TRect{0, 0, 1024, 768}; }
    unsigned OsVersion() const override { return 0xA00; }
    std::unique_ptr<TWindowHook> HookWindow(TWindowHandle, THandler) override {
        return std::make_unique<TWindowHook>();
    }
};

}  // namespace

TFormSkinPlatform& BuiltInFormSkinPlatform() {
    static THostFormSkinPlatform platform;
    return platform;
}
