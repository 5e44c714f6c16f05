#include "Installer/Downloader/PlainWindow_win.h"

namespace {
constexpr wchar_t kClassName[] = L"QartoPlainWindow";

void RegisterClassOnce(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /*IDC_ARROW*/);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}
}  // namespace

PlainWindow::PlainWindow(const std::wstring& caption, int clientWidth, int clientHeight) {
    RegisterClassOnce(&WindowProc);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const int x = work.left + (work.right - work.left - w) / 2, y = work.top + (work.bottom - work.top - h) / 2;
    // WindowProc binds the handle to this object in WM_NCCREATE.
    CreateWindowExW(0, kClassName, caption.c_str(), style, x, y, w, h, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
}

PlainWindow::~PlainWindow() {
    if (FHandle) DestroyWindow(FHandle);
}

void PlainWindow::Show(int showMode) {
    ShowWindow(FHandle, showMode);
    UpdateWindow(FHandle);
}

void PlainWindow::Paint(HDC, const RECT&) {}

LRESULT PlainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(FHandle, &ps);
        RECT client;
        GetClientRect(FHandle, &client);
        Paint(dc, client);
        EndPaint(FHandle, &ps);
        return 0;
    }
    return DefWindowProcW(FHandle, message, wParam, lParam);
}

LRESULT CALLBACK PlainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* window = static_cast<PlainWindow*>(created->lpCreateParams);
        window->FHandle = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* self = reinterpret_cast<PlainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->FHandle = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}
