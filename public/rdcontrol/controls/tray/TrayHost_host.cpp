// No notification area on the host: every request is refused.
#include "public/rdcontrol/controls/tray/TrayHost.h"

namespace {

class THostTrayHost final : public TTrayHost {
public:
    bool Add(const TTrayIconData&) override { return false; }
    bool Modify(const TTrayIconData&) override { return false; }
    bool Delete() override { return false; }
    bool SetVersion(unsigned) override { return false; }
    bool ShowBalloon(const std::string&, const std::string&, TBalloonIcon, unsigned) override { return false; }
    unsigned ShellVersion() const override { return 0; }
    TPoint CursorPos() const override { return TPoint{}; }
    TShiftState ShiftState() const override { return 0; }
    void SetForeground() override {}
    int TrackMenu(const std::vector<std::string>&, const std::vector<bool>&, TPoint) override { return -1; }
    void PostEmpty() override {}
    void ShowMessage(const std::string&, const std::string&) override {}
    void HideTaskbarWindow(TWindowHandle) override {}
    void ShowTaskbarWindowRestored(TWindowHandle) override {}
};

class THostTrayPlatform final : public TTrayPlatform {
public:
    std::unique_ptr<TTrayHost> CreateHost(TTrayHostEvents) override { return std::make_unique<THostTrayHost>(); }
};

}  // namespace

TTrayPlatform& BuiltInTrayPlatform() {
    static THostTrayPlatform platform;
    return platform;
}
