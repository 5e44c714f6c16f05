// The reference of the start-up benchmark (window_start_vs_minimal.sh): the least a
// Windows program does to put a 640 x 390 window on the screen. It registers a class,
// creates and shows the window, paints it in one colour and says so once on the
// debugger output ("first frame: minimal"), as the installer's forms do on their
// first frame; then it runs its message loop until closed.
#include <windows.h>

namespace {

bool gPainted = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            HBRUSH brush = CreateSolidBrush(RGB(32, 96, 192));
            FillRect(dc, &ps.rcPaint, brush);
            DeleteObject(brush);
            EndPaint(window, &ps);
            if (!gPainted) {
                gPainted = true;
                OutputDebugStringA("first frame: minimal");
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW type{};
    type.lpfnWndProc = WindowProc;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    type.lpszClassName = L"MinimalWindow";
    if (!RegisterClassW(&type)) return 1;
    HWND window = CreateWindowExW(0, type.lpszClassName, L"Minimal window", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 390, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
