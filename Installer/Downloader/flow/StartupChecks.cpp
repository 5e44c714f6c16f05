#include "Installer/Downloader/flow/StartupChecks.h"

#include "services/SystemInfo.h"

bool IsSystemSupported(const OsServices& os) {
    const WindowsVersion v = os.system.TrueVersion();
    const bool win7OrLater = v.major > 6 || (v.major == 6 && v.minor >= 1);
    return win7OrLater && IsWow64(os);
}

bool IsRegionRestricted(const OsServices& os) {
    constexpr std::uint16_t kChinesePrc = 0x0804;
    return os.locale.SystemDefaultLanguageId() == kChinesePrc || os.locale.UserDefaultUILanguage() == kChinesePrc;
}

TScreenPoint NoticePosition(const TScreenRect& main, bool mainVisible, bool mainMinimised, int width, int height) {
    if (!mainVisible || mainMinimised) return {0, 0};
    // Integer division rounding toward zero, as the window's own centring does.
    return {main.left + (main.width - width) / 2, main.top + (main.height - height) / 2};
}

TScreenPoint CentredOn(const TScreenRect& monitor, int width, int height) {
    return {monitor.left + (monitor.width - width) / 2, monitor.top + (monitor.height - height) / 2};
}
