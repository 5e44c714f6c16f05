// The Win32 side of skinned forms: the shadow window (a layered, click-through,
// never-activated tool window owned by the skinned window, so that the system
// keeps it above its owner), the owner window's state and z-order, window regions,
// and window-procedure hooks.
//
// Hooks: one subclass per window (GWLP_WNDPROC), shared by every hook on it, so
// that hooks can be removed in any order; the saved window procedure is put back
// when the last one goes (unless someone subclassed the window after us, in which
// case ours stays as a pass-through, since removing it would cut their chain).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "public/rdcontrol/controls/form/FormSkinPlatform.h"

namespace {

constexpr wchar_t kShadowClass[] = L"QartoFormShadow";
// The library's messages to a skinned window.
constexpr UINT kMsgUpdateShadow = 0xB000;
constexpr UINT kMsgUpdateShadowIfVisible = 0xB019;
constexpr UINT kMsgReregister = 0xB03D;

LRESULT CALLBACK ShadowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_NCHITTEST: return HTTRANSPARENT;
        default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

class TWin32ShadowWindow final : public TShadowWindow {
public:
    explicit TWin32ShadowWindow(HWND owner) {
        static const bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &ShadowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = kShadowClass;
            return RegisterClassExW(&wc) != 0;
        }();
        (void)registered;
        FWindow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                                  kShadowClass, L"", WS_POPUP, 0, 0, 1, 1, owner, nullptr, GetModuleHandleW(nullptr),
                                  nullptr);
    }
    ~TWin32ShadowWindow() override {
        if (FWindow) DestroyWindow(FWindow);
        FreeDib();
    }

    TWindowHandle Handle() const override { return FWindow; }

    void Update(const TArgbSurface& image, const TRect& bounds, std::uint8_t alpha) override {
        const int w = std::min(bounds.Width(), image.Width()), h = std::min(bounds.Height(), image.Height());
        if (!FWindow || w <= 0 || h <= 0 || !EnsureDib(w, h)) return;
        for (int y = 0; y < h; ++y)
            std::memcpy(FBits + static_cast<std::size_t>(y) * w, image.Row(y), static_cast<std::size_t>(w) * 4);
        POINT pos{bounds.Left, bounds.Top};
        SIZE size{w, h};
        POINT origin{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
        HDC screen = GetDC(nullptr);
        UpdateLayeredWindow(FWindow, screen, &pos, &size, FMemDc, &origin, 0, &blend, ULW_ALPHA);
        ReleaseDC(nullptr, screen);
    }
    void Move(const TRect& bounds) override {
        SetWindowPos(FWindow, nullptr, bounds.Left, bounds.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void SetVisible(bool visible) override { ShowWindow(FWindow, visible ? SW_SHOWNOACTIVATE : SW_HIDE); }
    bool Visible() const override { return IsWindowVisible(FWindow) != FALSE; }
    void SetTopmost(bool topmost) override {
        SetWindowPos(FWindow, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    bool Topmost() const override { return (GetWindowLongPtrW(FWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

private:
    bool EnsureDib(int w, int h) {
        if (FDib && FDibW == w && FDibH == h) return true;
        FreeDib();
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        FDib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!FDib) return false;
        FMemDc = CreateCompatibleDC(nullptr);
        FOldBitmap = SelectObject(FMemDc, FDib);
        FBits = static_cast<std::uint32_t*>(bits);
        FDibW = w;
        FDibH = h;
        return true;
    }
    void FreeDib() {
        if (FMemDc) {
            SelectObject(FMemDc, FOldBitmap);
            DeleteDC(FMemDc);
            FMemDc = nullptr;
        }
        if (FDib) DeleteObject(FDib);
        FDib = nullptr;
        FBits = nullptr;
        FDibW = FDibH = 0;
    }

    HWND FWindow = nullptr;
    HBITMAP FDib = nullptr;
    HDC FMemDc = nullptr;
    HGDIOBJ FOldBitmap = nullptr;
    std::uint32_t* FBits = nullptr;
    int FDibW = 0, FDibH = 0;
};

// --- Window-procedure hooks ---------------------------------------------------------

struct THookChain {
    WNDPROC Previous = nullptr;
    std::vector<std::pair<int, TFormSkinPlatform::THandler>> Handlers;
};

std::map<HWND, THookChain>& Chains() {
    static std::map<HWND, THookChain> chains;
    return chains;
}
int GNextHookId = 1;

unsigned PosFlags(UINT flags) {
    unsigned f = 0;
    if (flags & SWP_NOSIZE) f |= spNoSize;
    if (flags & SWP_NOMOVE) f |= spNoMove;
    if (flags & SWP_NOZORDER) f |= spNoZOrder;
    if (flags & SWP_SHOWWINDOW) f |= spShowWindow;
    if (flags & SWP_HIDEWINDOW) f |= spHideWindow;
    if (flags & 0x8000 /* SWP_STATECHANGED */) f |= spStateChanged;
    return f;
}

TSkinMessage Translate(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    TSkinMessage m;
    switch (msg) {
        case WM_CREATE: m.Kind = TSkinMsg::Create; break;
        case WM_DESTROY: m.Kind = TSkinMsg::Destroy; break;
        case WM_MOVE: m.Kind = TSkinMsg::Move; break;
        case WM_SIZE: m.Kind = TSkinMsg::Size; break;
        case WM_ACTIVATE:
            m.Kind = TSkinMsg::Activate;
            m.Flag = LOWORD(wp) != WA_INACTIVE;
            break;
        case WM_ACTIVATEAPP:
            m.Kind = TSkinMsg::ActivateApp;
            m.Flag = wp != 0;
            break;
        case WM_SHOWWINDOW:
            m.Kind = TSkinMsg::ShowWindow;
            m.Flag = wp != 0;
            break;
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
            m.Kind = msg == WM_WINDOWPOSCHANGING ? TSkinMsg::PosChanging : TSkinMsg::PosChanged;
            m.PosFlags = PosFlags(pos->flags);
            m.InsertAfter = pos->hwndInsertAfter;
            m.Bounds = TRect::FromSize(pos->x, pos->y, pos->cx, pos->cy);
            break;
        }
        case WM_GETMINMAXINFO: m.Kind = TSkinMsg::GetMinMaxInfo; break;
        case WM_PAINT:
        case WM_PRINTCLIENT: m.Kind = TSkinMsg::Paint; break;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_RESTORE) {
                m.Kind = TSkinMsg::SysCommandRestore;
                m.Flag = IsIconic(hwnd) != FALSE;
            }
            break;
        case WM_QUERYENDSESSION: m.Kind = TSkinMsg::QueryEndSession; break;
        case kMsgUpdateShadow: m.Kind = TSkinMsg::UpdateShadow; break;
        case kMsgUpdateShadowIfVisible: m.Kind = TSkinMsg::UpdateShadowIfVisible; break;
        case kMsgReregister: m.Kind = TSkinMsg::Reregister; break;
        default: break;
    }
    return m;
}

void Dispatch(HWND hwnd, TSkinMessage& m) {
    auto it = Chains().find(hwnd);
    if (it == Chains().end()) return;
    // A handler may remove hooks (its own or others') while it runs.
    const auto handlers = it->second.Handlers;
    for (const auto& [id, handler] : handlers) {
        auto now = Chains().find(hwnd);
        if (now == Chains().end()) return;
        const auto& list = now->second.Handlers;
        if (std::none_of(list.begin(), list.end(), [id = id](const auto& h) { return h.first == id; })) continue;
        handler(m);
    }
}

LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto it = Chains().find(hwnd);
    if (it == Chains().end()) return DefWindowProcW(hwnd, msg, wp, lp);
    const WNDPROC previous = it->second.Previous;

    TSkinMessage m = Translate(hwnd, msg, wp, lp);
    Dispatch(hwnd, m);
    if (m.Changed) {
        if (msg == WM_WINDOWPOSCHANGING) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
            pos->x = m.Bounds.Left;
            pos->y = m.Bounds.Top;
            pos->cx = m.Bounds.Width();
            pos->cy = m.Bounds.Height();
        } else if (msg == WM_GETMINMAXINFO) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMaxPosition = POINT{m.Bounds.Left, m.Bounds.Top};
            info->ptMaxSize = POINT{m.Bounds.Width(), m.Bounds.Height()};
        }
    }
    LRESULT result = CallWindowProcW(previous, hwnd, msg, wp, lp);
    m.After = true;
    m.Changed = false;
    Dispatch(hwnd, m);
    if (m.HasResult) result = static_cast<LRESULT>(m.Result);
    if (msg == WM_NCDESTROY) Chains().erase(hwnd);  // the window is gone; its hooks are inert
    return result;
}

class TWin32WindowHook final : public TWindowHook {
public:
    TWin32WindowHook(HWND window, int id) : FWindow(window), FId(id) {}
    ~TWin32WindowHook() override {
        auto it = Chains().find(FWindow);
        if (it == Chains().end()) return;
        std::erase_if(it->second.Handlers, [this](const auto& h) { return h.first == FId; });
        if (!it->second.Handlers.empty()) return;
        const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(FWindow, GWLP_WNDPROC));
        if (current == &HookProc) {
            SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.Previous));
            Chains().erase(it);
        }
    }

private:
    HWND FWindow;
    int FId;
};

TRect MonitorArea(HWND window, bool work) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &mi)) return TRect{0, 0, 1024, 768};
    const RECT& r = work ? mi.rcWork : mi.rcMonitor;
    return TRect{r.left, r.top, r.right, r.bottom};
}

class TWin32FormSkinPlatform final : public TFormSkinPlatform {
public:
    std::unique_ptr<TShadowWindow> CreateShadowWindow(TWindowHandle owner) override {
        return std::make_unique<TWin32ShadowWindow>(static_cast<HWND>(owner));
    }
    bool WindowVisible(TWindowHandle w) const override { return IsWindowVisible(static_cast<HWND>(w)) != FALSE; }
    TWindowState WindowState(TWindowHandle w) const override {
        if (IsIconic(static_cast<HWND>(w))) return TWindowState::wsMinimized;
        if (IsZoomed(static_cast<HWND>(w))) return TWindowState::wsMaximized;
        return TWindowState::wsNormal;
    }
    bool WindowTopmost(TWindowHandle w) const override {
        return (GetWindowLongPtrW(static_cast<HWND>(w), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    }
    TWindowHandle WindowAbove(TWindowHandle w) const override { return GetWindow(static_cast<HWND>(w), GW_HWNDPREV); }
    void PlaceBelow(TWindowHandle window, TWindowHandle above) override {
        SetWindowPos(static_cast<HWND>(window), static_cast<HWND>(above), 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
    }
    void SetRegion(TWindowHandle window, const TWindowRegion& region) override {
        HRGN rgn = nullptr;
        switch (region.Kind) {
            case TWindowRegion::TKind::None: break;
            case TWindowRegion::TKind::RoundRect:
                rgn = CreateRoundRectRgn(region.Rect.Left, region.Rect.Top, region.Rect.Right, region.Rect.Bottom,
                                         region.EllipseWidth, region.EllipseHeight);
                break;
            case TWindowRegion::TKind::Polygon: {
                std::vector<POINT> points;
                for (const TPoint& p : region.Points) points.push_back(POINT{p.X, p.Y});
                rgn = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
                break;
            }
        }
        // The system owns the region from here.
        if (!SetWindowRgn(static_cast<HWND>(window), rgn, TRUE) && rgn) DeleteObject(rgn);
    }
    TRect MonitorRect(TWindowHandle w) const override { return MonitorArea(static_cast<HWND>(w), false); }
    TRect WorkArea(TWindowHandle w) const override { return MonitorArea(static_cast<HWND>(w), true); }
    unsigned OsVersion() const override {
        // The true version: GetVersionEx lies to programs without a manifest.
        using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
        static const unsigned version = [] {
            OSVERSIONINFOW info{};
            info.dwOSVersionInfoSize = sizeof info;
            HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
            auto fn = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                  reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                            : nullptr;
            if (!fn || fn(&info) != 0) return 0x601u;
            return static_cast<unsigned>(info.dwMajorVersion << 8 | (info.dwMinorVersion & 0xFF));
        }();
        return version;
    }
    std::unique_ptr<TWindowHook> HookWindow(TWindowHandle window, THandler handler) override {
        const HWND hwnd = static_cast<HWND>(window);
        if (!IsWindow(hwnd)) return std::make_unique<TWindowHook>();
        auto it = Chains().find(hwnd);
        if (it == Chains().end()) {
            THookChain chain;
            chain.Previous = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc)));
            it = Chains().emplace(hwnd, std::move(chain)).first;
        }
        const int id = GNextHookId++;
        it->second.Handlers.emplace_back(id, std::move(handler));
        return std::make_unique<TWin32WindowHook>(hwnd, id);
    }
};

}  // namespace

TFormSkinPlatform& BuiltInFormSkinPlatform() {
    static TWin32FormSkinPlatform platform;
    return platform;
}
