#pragma once
// The notice dialog (icon, text, yes/no or OK). For now a hidden plain window that
// holds its place in the start-up order; the skinned dialog replaces it.
// Windows build only; UI thread.
#ifdef _WIN32
#include <memory>

#include "Installer/Downloader/PlainWindow_win.h"

class TForm_Notice final : public PlainWindow {
public:
    TForm_Notice() : PlainWindow(L"", 420, 220) {}
};

// May be freed and created again by the notice routine.
extern std::unique_ptr<TForm_Notice> Form_Notice;
#endif
