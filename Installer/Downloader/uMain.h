#pragma once
// The installer window. For now a plain window that carries the title and ends the
// message loop when closed; the skinned window with its pages replaces it.
// Windows build only; UI thread.
#ifdef _WIN32
#include <memory>

#include "Installer/Downloader/PlainWindow_win.h"

class TfrmZYRDownloader final : public PlainWindow {
public:
    explicit TfrmZYRDownloader(const std::wstring& title);

protected:
    void Paint(HDC dc, const RECT& client) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring FTitle;
};

// The main window; the notice dialogs read their texts through it.
extern std::unique_ptr<TfrmZYRDownloader> frmZYRDownloader;
#endif
