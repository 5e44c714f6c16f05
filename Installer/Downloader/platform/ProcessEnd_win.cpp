#include "Installer/Downloader/platform/ProcessEnd.h"

#include <windows.h>

void TerminateOwnProcess() {
    TerminateProcess(GetCurrentProcess(), 0);
    // TerminateProcess on the own process does not return; this keeps the
    // [[noreturn]] promise should it ever fail.
    ExitProcess(0);
}
