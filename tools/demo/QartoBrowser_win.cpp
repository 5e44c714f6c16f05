// QartoBrowser.exe of the demo package: stands in for the installed browser. It
// shows the command line it was started with (the installer passes "/InstallerStart"
// and a link), appends it to browser-commandline.txt beside itself so tests can read
// it, and carries the version resource the installer reads as the browser's version.
// QARTO_DEMO_BROWSER_SECONDS=N closes the window after N seconds.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <type_traits>

#include "os/TextConvert.h"
#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoSystem_win.h"

namespace {
using namespace demo;

constexpr wchar_t kClassName[] = L"QartoDemoBrowser";
constexpr int kClientWidth = 640, kClientHeight = 380, kHeaderHeight = 84, kMargin = 20;
constexpr int kTextId = 100, kCloseTimer = 1;
constexpr COLORREF kHeaderColour = RGB(28, 44, 72), kHeaderText = RGB(255, 255, 255),
                   kHeaderSubText = RGB(176, 196, 222);

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const {
        if (object) DeleteObject(object);
    }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;

// The window's state; one window per process.
struct Browser {
    std::wstring commandLine;
    UniqueFont textFont, titleFont, monoFont;
    UniqueBrush headerBrush, whiteBrush;
    HWND label = nullptr, text = nullptr, footer = nullptr;
} g;

UniqueFont MakeFont(int points, int weight, const wchar_t* face) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    if (points) {
        HDC screen = GetDC(nullptr);
        font.lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
    }
    font.lfWeight = weight;
    if (face) lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&font));
}

// The command line whole, then each argument as the browser reads them.
std::wstring DescribeCommandLine(const std::wstring& commandLine) {
    std::wstring text = commandLine + L"\r\n\r\nArguments:";
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(commandLine.c_str(), &count);
    if (arguments) {
        for (int i = 1; i < count; ++i) text += L"\r\n  " + std::to_wstring(i) + L".  " + arguments[i];
        LocalFree(arguments);
    }
    if (count <= 1) text += L"\r\n  (none)";
    return text;
}

void Layout(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right - 2 * kMargin;
    int y = kHeaderHeight + kMargin;
    MoveWindow(g.label, kMargin, y, width, 20, TRUE);
    y += 24;
    const int footerHeight = 20;
    MoveWindow(g.text, kMargin, y, width, client.bottom - y - kMargin - footerHeight - 8, TRUE);
    MoveWindow(g.footer, kMargin, client.bottom - kMargin - footerHeight, width, footerHeight, TRUE);
}

void PaintHeader(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    RECT header{0, 0, client.right, kHeaderHeight};
    FillRect(dc, &header, g.headerBrush.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kHeaderText);
    HGDIOBJ old = SelectObject(dc, g.titleFont.get());
    RECT title{kMargin, 14, client.right - kMargin, 50};
    DrawTextW(dc, L"Qarto Private Browser", -1, &title, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, g.textFont.get());
    SetTextColor(dc, kHeaderSubText);
    const std::wstring subtitle = L"Demo browser, version " + Widen(QARTO_DEMO_BROWSER_VERSION);
    RECT sub{kMargin, 50, client.right - kMargin, 74};
    DrawTextW(dc, subtitle.c_str(), -1, &sub, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, old);
}

HWND AddChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, int id, HFONT font) {
    HWND child = CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return child;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g.label = AddChild(window, L"STATIC", L"Started with this command line:", SS_LEFT, 0, g.textFont.get());
        g.text = AddChild(window, L"EDIT", DescribeCommandLine(g.commandLine),
                          WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, kTextId,
                          g.monoFont.get());
        g.footer = AddChild(window, L"STATIC",
                            L"Each start is added to " + Widen(kBrowserCommandLineFile) + L" beside the program.",
                            SS_LEFT, 0, g.textFont.get());
        Layout(window);
        return 0;
    case WM_SIZE:
        Layout(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        PaintHeader(window, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        // The read-only text reads better on white than on the dialog grey.
        if (reinterpret_cast<HWND>(lParam) == g.text) {
            SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(g.whiteBrush.get());
        }
        break;
    case WM_TIMER:
        if (wParam == kCloseTimer) PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RecordCommandLine() {
    try {
        AppendLine(FolderOf(OwnProgramPath()) + kBrowserCommandLineFile, Narrow(g.commandLine));
    } catch (const DemoError& error) {
        OutputDebugStringW(Widen(std::string("QartoBrowser: ") + error.what()).c_str());
    }
}

// QARTO_DEMO_BROWSER_SECONDS, or 0 (stay open) when unset or not a number.
UINT AutoCloseSeconds() {
    const auto value = EnvironmentValue(kBrowserSecondsVariable);
    if (!value || value->empty() || value->size() > 5 || value->find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<UINT>(std::stoul(*value));
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    g.commandLine = GetCommandLineW();
    RecordCommandLine();

    g.textFont = MakeFont(0, FW_NORMAL, nullptr);
    g.titleFont = MakeFont(18, FW_SEMIBOLD, nullptr);
    g.monoFont = MakeFont(10, FW_NORMAL, L"Courier New");
    g.headerBrush.reset(CreateSolidBrush(kHeaderColour));
    g.whiteBrush.reset(CreateSolidBrush(RGB(255, 255, 255)));

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /*IDC_ARROW*/);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) return 1;

    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, kClassName, Widen(kProductName).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  nullptr);
    if (!window) return 1;
    if (const UINT seconds = AutoCloseSeconds()) SetTimer(window, kCloseTimer, seconds * 1000, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
