// Entry point of Setup.exe: one installer at a time, COM for the process, the
// dialog font, then the installer window and the message loop until the window ends
// the process (every way out of the installer ends it itself) or is closed.
#include <winsock2.h>
#include <windows.h>

#include "Installer/Downloader/platform/InstallResourceFont.h"
#include "Installer/Downloader/platform/InstallerPlatform_win.h"
#include "Installer/Downloader/platform/ProcessEnd.h"
#include "Installer/Downloader/window/uMain.h"
#include "net/CurlMulti.h"
#include "net/EventLoop.h"
#include "os/Clock.h"
#include "os/InternetSettings.h"
#include "os/OsServices.h"
#include "public/rdcontrol/framework/Win32Platform.h"
#include "services/TaskSchedulerSupport.h"

namespace {
constexpr wchar_t kSingleInstanceMutex[] = L"_ZYR3_Installer";
constexpr char kApplicationTitle[] = "Qarto Private Browser Installer";

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Owned for the life of the process and never released: the system frees it at
    // the end, and a second installer must see it until then.
    CreateMutexW(nullptr, TRUE, kSingleInstanceMutex);
    if (GetLastError() == ERROR_ALREADY_EXISTS) TerminateOwnProcess();

    const OsServices& os = WindowsOsServices();
    TTaskSchedulerSupport com(WindowsComRuntime(), os.system.TrueVersion());
    // Held until the program ends: the registered font file stays as it was checked.
    const UniqueHandle fontFile = InstallResourceFont(os);
    InstallWin32SystemColors();

    auto loop = MakeEventLoop();
    CurlMulti curl(*loop);
    TApplication app(*loop, MakeWin32ApplicationPlatform());
    InstallApplicationMessageHook(app);
    app.SetTitle(kApplicationTitle);
    // The window's own caption is a design-time name; the taskbar shows the title.
    app.SetMainFormShowsTitle(true);
    TInstallerEnvironment environment{os, WindowsInternetSettings(), WindowsClock(), curl,
                                      WindowsInstallerPlatform()};
    app.CreateForm<TfrmZYRDownloader>(environment);
    app.Run();
    return 0;
}
