#include "Installer/Downloader/uMain.h"

std::unique_ptr<TfrmZYRDownloader> frmZYRDownloader;

namespace {
HFONT MakeFont(const wchar_t* face, int height, int weight) {
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, face);
}
}  // namespace

TfrmZYRDownloader::TfrmZYRDownloader(const std::wstring& title)
    : PlainWindow(title, 640, 400), FTitle(title) {}

void TfrmZYRDownloader::Paint(HDC dc, const RECT& client) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x20, 0x20, 0x28));
    HFONT heading = MakeFont(L"Segoe UI", 28, FW_SEMIBOLD);
    HFONT body = MakeFont(L"Roboto", 16, FW_NORMAL);
    HGDIOBJ old = SelectObject(dc, heading);
    RECT r = client;
    r.top += client.bottom / 3;
    DrawTextW(dc, FTitle.c_str(), -1, &r, DT_CENTER | DT_SINGLELINE | DT_TOP);
    SelectObject(dc, body);
    r.top += 56;
    DrawTextW(dc, L"Qarto Private Browser", -1, &r, DT_CENTER | DT_SINGLELINE | DT_TOP);
    SelectObject(dc, old);
    DeleteObject(heading);
    DeleteObject(body);
}

LRESULT TfrmZYRDownloader::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        // The main window's end is the application's end.
        PostQuitMessage(0);
        return 0;
    }
    return PlainWindow::HandleMessage(message, wParam, lParam);
}
