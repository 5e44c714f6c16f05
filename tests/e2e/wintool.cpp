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
//   wintool missing-glyphs FACE FILE    prints each character of the UTF-8 text FILE
//                                       that the font FACE (with the system's font
//                                       linking) draws as its missing-glyph box; exit 1
//                                       when there is one
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

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

// One character drawn alone by GDI, as the installer's text renderer draws text
// (ExtTextOutW, so the system's font linking and substitution apply): its advance
// and its pixels.
struct Glyph {
    SIZE size{};
    std::vector<unsigned char> pixels;
    bool operator==(const Glyph& o) const {
        return size.cx == o.size.cx && size.cy == o.size.cy && pixels == o.pixels;
    }
};

class GlyphDrawer {
public:
    explicit GlyphDrawer(const std::wstring& face) {
        LOGFONTW lf{};
        lf.lfHeight = -16;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = ANTIALIASED_QUALITY;
        face.copy(lf.lfFaceName, LF_FACESIZE - 1);
        font_ = CreateFontIndirectW(&lf);
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = kSide;
        bi.bmiHeader.biHeight = -kSide;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        SelectObject(dc_, bitmap_);
        SelectObject(dc_, font_);
        SetTextColor(dc_, RGB(255, 255, 255));
        SetBkMode(dc_, TRANSPARENT);
    }
    ~GlyphDrawer() {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
        DeleteObject(font_);
    }
    Glyph Draw(const std::wstring& text) {
        Glyph g;
        std::fill(bits_, bits_ + kSide * kSide, 0u);
        GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &g.size);
        ExtTextOutW(dc_, 4, 4, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
        GdiFlush();
        g.pixels.reserve(kSide * kSide);
        for (int i = 0; i < kSide * kSide; ++i) g.pixels.push_back(static_cast<unsigned char>(bits_[i] & 0xff));
        return g;
    }

private:
    static constexpr int kSide = 64;
    HFONT font_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

// Code points that are drawn as nothing or only modify their neighbour: never
// reported (alone they may be empty or a box in every font).
bool Invisible(char32_t c) {
    return c < 0x21 || c == 0x7f || c == 0xa0 || (c >= 0x200b && c <= 0x200f) || (c >= 0x2028 && c <= 0x202e) ||
           c == 0xfeff || (c >= 0x0300 && c <= 0x036f) || (c >= 0x064b && c <= 0x065f) || c == 0x0670 ||
           (c >= 0x0591 && c <= 0x05c7);
}

int MissingGlyphs(const std::wstring& face, const std::wstring& file) {
    FILE* in = _wfopen(file.c_str(), L"rb");
    if (!in) return 2;
    std::string utf8;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) utf8.append(chunk, n);
    std::fclose(in);
    std::wstring text(utf8.size() + 1, L'\0');
    text.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                            static_cast<int>(text.size()))));
    GlyphDrawer drawer(face);
    // U+0378 is unassigned: every font draws it as its missing-glyph box.
    const Glyph box = drawer.Draw(L"\u0378");
    std::set<char32_t> seen;
    int missing = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        std::wstring one(1, text[i]);
        char32_t c = text[i];
        if (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size()) {
            one += text[++i];
            c = 0x10000 + ((static_cast<char32_t>(one[0]) - 0xd800) << 10) + (one[1] - 0xdc00);
        }
        if (Invisible(c) || !seen.insert(c).second) continue;
        if (drawer.Draw(one) == box) {
            std::printf("U+%04X\n", static_cast<unsigned>(c));
            ++missing;
        }
    }
    std::printf("checked %zu characters, %d missing\n", seen.size(), missing);
    return missing ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: wintool wait-window|watch-class|close|state|restore|file-size|missing-glyphs ARG "
                     "[SECONDS]\n");
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
    if (command == L"missing-glyphs" && argc > 3) return MissingGlyphs(arg, argv[3]);
    return 2;
}
