#include <windows.h>

#include "public/rdcontrol/drawing/Color.h"

void InstallWin32SystemColors() {
    SetSystemColorResolver([](int index) { return static_cast<std::uint32_t>(GetSysColor(index)); });
}
