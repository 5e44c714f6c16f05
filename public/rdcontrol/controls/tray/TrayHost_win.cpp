// The notification-area icon on Windows: a hidden top-level window (message-only
// windows do not get the shell's "TaskbarCreated" broadcast) receives the icon's
// callback message, the session messages and the broadcast; Shell_NotifyIconW does
// the rest. The tip field of the system's record holds 127 characters and a
// terminator: a longer tip is cut there (never past the field).
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>

#include "os/TextConvert.h"
#include "public/rdcontrol/controls/tray/TrayHost.h"
#include "public/rdcontrol/framework/Win32Platform.h"

namespace {

constexpr wchar_t kTrayClass[] = L"QartoTrayWindow";

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

// Straight-alpha icon from premultiplied pixels.
HICON MakeIcon(const TArgbSurface& pixels) {
    const int w = pixels.Width(), h = pixels.Height();
    if (w <= 0 || h <= 0) return nullptr;
    BITMAPV5HEADER bi{};
    bi.bV5Size = sizeof bi;
    bi.bV5Width = w;
    bi.bV5Height = -h;
    bi.bV5Planes = 1;
    bi.bV5BitCount = 32;
    bi.bV5Compression = BI_BITFIELDS;
    bi.bV5RedMask = 0x00FF0000;
    bi.bV5GreenMask = 0x0000FF00;
    bi.bV5BlueMask = 0x000000FF;
    bi.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP color = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!color) return nullptr;
    auto* out = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = pixels.Row(y)[x];
            const std::uint32_t a = p >> 24;
            std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (a != 0 && a != 255) {
                r = std::min<std::uint32_t>(255, (r * 255 + a / 2) / a);
                g = std::min<std::uint32_t>(255, (g * 255 + a / 2) / a);
                b = std::min<std::uint32_t>(255, (b * 255 + a / 2) / a);
            }
            out[static_cast<std::size_t>(y) * w + x] = a << 24 | r << 16 | g << 8 | b;
        }
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

class TWin32TrayHost final : public TTrayHost {
public:
    explicit TWin32TrayHost(TTrayHostEvents events) : FEvents(std::move(events)) {
        static const bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &TWin32TrayHost::WindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = kTrayClass;
            return RegisterClassExW(&wc) != 0;
        }();
        (void)registered;
        TaskbarCreatedMessage();
        FWindow = CreateWindowExW(WS_EX_TOOLWINDOW, kTrayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        static UINT nextId = 1;
        FId = nextId++;
    }
    ~TWin32TrayHost() override {
        if (FWindow) {
            SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
            DestroyWindow(FWindow);
        }
        if (FIcon) DestroyIcon(FIcon);
    }

    bool Add(const TTrayIconData& data) override { return Notify(NIM_ADD, data); }
    bool Modify(const TTrayIconData& data) override { return Notify(NIM_MODIFY, data); }
    bool Delete() override {
        NOTIFYICONDATAW nid = Record();
        return Shell_NotifyIconW(NIM_DELETE, &nid) != FALSE;
    }
    bool SetVersion(unsigned version) override {
        NOTIFYICONDATAW nid = Record();
        nid.uVersion = version;
        return Shell_NotifyIconW(NIM_SETVERSION, &nid) != FALSE;
    }
    bool ShowBalloon(const std::string& title, const std::string& text, TBalloonIcon icon,
                     unsigned timeoutMs) override {
        NOTIFYICONDATAW nid = Record();
        nid.uFlags = NIF_INFO;
        Copy(nid.szInfoTitle, Widen(title));
        Copy(nid.szInfo, Widen(text));
        nid.uTimeout = timeoutMs;
        nid.dwInfoFlags = icon == TBalloonIcon::Info      ? NIIF_INFO
                          : icon == TBalloonIcon::Warning ? NIIF_WARNING
                          : icon == TBalloonIcon::Error   ? NIIF_ERROR
                                                          : NIIF_NONE;
        return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
    }
    unsigned ShellVersion() const override {
        static const unsigned version = [] {
            HMODULE shell = GetModuleHandleW(L"shell32.dll");
            if (!shell) shell = LoadLibraryW(L"shell32.dll");
            using DllGetVersionFn = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
            auto fn = shell ? reinterpret_cast<DllGetVersionFn>(
                                  reinterpret_cast<void*>(GetProcAddress(shell, "DllGetVersion")))
                            : nullptr;
            DLLVERSIONINFO info{};
            info.cbSize = sizeof info;
            if (!fn || FAILED(fn(&info))) return 4u;
            return static_cast<unsigned>(info.dwMajorVersion);
        }();
        return version;
    }

    TPoint CursorPos() const override {
        POINT p{};
        GetCursorPos(&p);
        return TPoint{p.x, p.y};
    }
    TShiftState ShiftState() const override {
        TShiftState s = 0;
        if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
        if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
        if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
        if (GetKeyState(VK_LBUTTON) < 0) s |= ssLeft;
        if (GetKeyState(VK_RBUTTON) < 0) s |= ssRight;
        return s;
    }
    void SetForeground() override { SetForegroundWindow(FWindow); }
    int TrackMenu(const std::vector<std::string>& captions, const std::vector<bool>& enabled, TPoint at) override {
        return TrackWin32PopupMenu(FWindow, captions, enabled, at);
    }
    void PostEmpty() override { PostMessageW(FWindow, WM_NULL, 0, 0); }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | MB_ICONERROR);
    }
    void HideTaskbarWindow(TWindowHandle window) override { ShowWindow(static_cast<HWND>(window), SW_HIDE); }
    void ShowTaskbarWindowRestored(TWindowHandle window) override {
        ShowWindow(static_cast<HWND>(window), SW_RESTORE);
        SetForegroundWindow(static_cast<HWND>(window));
    }

private:
    template <std::size_t N>
    static void Copy(wchar_t (&field)[N], const std::wstring& text) {
        std::size_t n = std::min(text.size(), N - 1);
        // Never leave half of a surrogate pair at the end.
        if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] < 0xDC00) --n;
        std::wmemcpy(field, text.data(), n);
        field[n] = L'\0';
    }

    NOTIFYICONDATAW Record() const {
        NOTIFYICONDATAW nid{};
        nid.cbSize = sizeof nid;
        nid.hWnd = FWindow;
        nid.uID = FId;
        return nid;
    }

    bool Notify(DWORD action, const TTrayIconData& data) {
        NOTIFYICONDATAW nid = Record();
        nid.uFlags = NIF_MESSAGE;
        nid.uCallbackMessage = kTrayCallbackMessage;
        HICON icon = data.Icon ? MakeIcon(*data.Icon) : nullptr;
        if (icon) {
            nid.uFlags |= NIF_ICON;
            nid.hIcon = icon;
        }
        if (!data.Tip.empty()) {
            nid.uFlags |= NIF_TIP;
            Copy(nid.szTip, Widen(data.Tip));
        }
        nid.uVersion = data.Version;
        const bool ok = Shell_NotifyIconW(action, &nid) != FALSE;
        if (icon) {
            // The shell copied it; ours is kept until the next one replaces it.
            if (FIcon) DestroyIcon(FIcon);
            FIcon = icon;
        }
        return ok;
    }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == kTrayCallbackMessage) {
            if (FEvents.Callback) FEvents.Callback(LOWORD(lp));
            return 0;
        }
        if (msg == TaskbarCreatedMessage()) {
            if (FEvents.TaskbarCreated) FEvents.TaskbarCreated();
            return 0;
        }
        switch (msg) {
            case WM_QUERYENDSESSION: return !FEvents.QueryEndSession || FEvents.QueryEndSession() ? 1 : 0;
            case WM_ENDSESSION:
                if (FEvents.EndSession) FEvents.EndSession(wp != 0);
                return 0;
            default: return DefWindowProcW(FWindow, msg, wp, lp);
        }
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<TWin32TrayHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
        return self->HandleMessage(msg, wp, lp);
    }

    TTrayHostEvents FEvents;
    HWND FWindow = nullptr;
    UINT FId = 0;
    HICON FIcon = nullptr;
};

class TWin32TrayPlatform final : public TTrayPlatform {
public:
    std::unique_ptr<TTrayHost> CreateHost(TTrayHostEvents events) override {
        return std::make_unique<TWin32TrayHost>(std::move(events));
    }
};

}  // namespace

TTrayPlatform& BuiltInTrayPlatform() {
    static TWin32TrayPlatform platform;
    return platform;
}
