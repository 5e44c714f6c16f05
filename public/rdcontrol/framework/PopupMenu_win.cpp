// Context menus on Win32: TrackWin32PopupMenu (Win32Platform.h).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "os/TextConvert.h"
#include "public/rdcontrol/framework/Win32Platform.h"

int TrackWin32PopupMenu(void* owner, const std::vector<std::string>& captions, const std::vector<bool>& enabled,
                        TPoint at) {
    HWND window = static_cast<HWND>(owner);
    if (!window) window = GetActiveWindow();
    if (!window) window = GetForegroundWindow();
    HMENU menu = CreatePopupMenu();
    if (!menu) return -1;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (captions[i] == "-") {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT flags = MF_STRING | (i < enabled.size() && !enabled[i] ? MF_GRAYED : 0);
        AppendMenuW(menu, flags, static_cast<UINT_PTR>(i + 1), Widen(captions[i]).c_str());
    }
    // TPM_RETURNCMD: the choice comes back here, no WM_COMMAND reaches the owner.
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.X, at.Y, 0, window, nullptr));
    DestroyMenu(menu);
    return chosen - 1;
}
