#pragma once
// The system notice dialog (title and text, shown before refusing to run). For now
// a hidden plain window that holds its place in the start-up order; the skinned
// dialog replaces it. Windows build only; UI thread.
#ifdef _WIN32
#include <memory>

#include "Installer/Downloader/PlainWindow_win.h"

class TFormSysNotice final : public PlainWindow {
public:
    TFormSysNotice() : PlainWindow(L"", 420, 220) {}
};

// Freed and created again by the system-notice routine.
extern std::unique_ptr<TFormSysNotice> FormSysNotice;
#endif
