// Looks at and acts on the windows of the Wine desktop for end-to-end tests.
//   wintool wait-window TITLE SECONDS   exit 0 once a visible window titled TITLE exists
//   wintool watch-class CLASS SECONDS   prints how many processes owned a window of
//                                       CLASS at any moment during SECONDS: at once,
//                                       and again whenever the count grows
//   wintool close TITLE                 asks the window titled TITLE to close
//   wintool state TITLE                 prints "minimized" or "normal" for the window
//                                       titled TITLE (X without a window manager
//                                       keeps a minimised window on the screen)
//   wintool restore TITLE               restores it as a click on its taskbar
//                                       button does (WM_SYSCOMMAND SC_RESTORE)
//   wintool file-size PATH              prints the size of PATH (environment variables
//                                       such as %TEMP% expanded); exit 1 when missing
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

struct Search {
    std::wstring title, className;
    bool visibleOnly = false;
    std::set<DWORD> owners;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    if (s->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    wchar_t text[256] = {};
    if (!s->title.empty()) {
        GetWindowTextW(hwnd, text, 256);
        if (s->title != text) return TRUE;
    }
    if (!s->className.empty()) {
        GetClassNameW(hwnd, text, 256);
        if (s->className != text) return TRUE;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    s->owners.insert(pid);
    s->found = hwnd;
    return TRUE;
}

Search Find(const std::wstring& title, const std::wstring& className, bool visibleOnly) {
    Search s;
    s.title = title;
    s.className = className;
    s.visibleOnly = visibleOnly;
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&s));
    return s;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wintool wait-window|watch-class|close|state|restore|file-size ARG [SECONDS]\n");
        return 2;
    }
    const std::wstring command = argv[1], arg = argv[2];
    const DWORD ms = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10) * 1000) : 0;
    const ULONGLONG start = GetTickCount64();

    if (command == L"wait-window") {
        do {
            if (Find(arg, L"", true).found) return 0;
            Sleep(50);
        } while (GetTickCount64() - start < ms);
        return 1;
    }
    if (command == L"watch-class") {
        std::set<DWORD> owners;
        size_t printed = SIZE_MAX;
        do {
            auto s = Find(L"", arg, false);
            owners.insert(s.owners.begin(), s.owners.end());
            if (owners.size() != printed) {
                printed = owners.size();
                std::printf("%u\n", static_cast<unsigned>(printed));
                std::fflush(stdout);
            }
            Sleep(2);
        } while (GetTickCount64() - start < ms);
        return 0;
    }
    if (command == L"close") {
        HWND hwnd = Find(arg, L"", false).found;
        return hwnd && PostMessageW(hwnd, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"state") {
        HWND hwnd = Find(arg, L"", false).found;
        if (!hwnd) return 1;
        std::printf("%s\n", IsIconic(hwnd) ? "minimized" : "normal");
        return 0;
    }
    if (command == L"restore") {
        HWND hwnd = Find(arg, L"", false).found;
        return hwnd && PostMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0) ? 0 : 1;
    }
    if (command == L"file-size") {
        wchar_t path[MAX_PATH * 2] = {};
        if (!ExpandEnvironmentStringsW(arg.c_str(), path, MAX_PATH * 2)) return 1;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return 1;
        std::printf("%llu\n", (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        return 0;
    }
    return 2;
}
