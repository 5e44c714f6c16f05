// Entry point of Setup.exe: one installer at a time, the dialog font, the three
// windows in their fixed order, then the message loop.
#include <windows.h>

#include "Installer/Downloader/InstallResourceFont.h"
#include "Installer/Downloader/ProcessEnd.h"
#include "Installer/Downloader/UnitNotice.h"
#include "Installer/Downloader/UnitSysSupportNoticeNew.h"
#include "Installer/Downloader/uMain.h"
#include "os/OsServices.h"

namespace {
constexpr wchar_t kApplicationTitle[] = L"Qarto Private Browser Installer";
constexpr wchar_t kSingleInstanceMutex[] = L"_ZYR3_Installer";
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showMode) {
    // Owned for the life of the process and never released: the system frees it at
    // the end, and a second installer must see it until then.
    CreateMutexW(nullptr, TRUE, kSingleInstanceMutex);
    if (GetLastError() == ERROR_ALREADY_EXISTS) TerminateOwnProcess();

    InstallResourceFont(WindowsOsServices());

    // The main window is created first; the notice dialogs look up texts through it.
    frmZYRDownloader = std::make_unique<TfrmZYRDownloader>(kApplicationTitle);
    Form_Notice = std::make_unique<TForm_Notice>();
    FormSysNotice = std::make_unique<TFormSysNotice>();
    frmZYRDownloader->Show(showMode);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    FormSysNotice.reset();
    Form_Notice.reset();
    frmZYRDownloader.reset();
    return 0;
}
