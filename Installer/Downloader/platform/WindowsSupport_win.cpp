#include "Installer/Downloader/platform/WindowsSupport.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <filesystem>

#include "Installer/Downloader/platform/FolderSecurity_win.h"
#include "os/TextConvert.h"
#include "os/Utf8Path.h"
#include "os/WinHandles.h"

namespace {

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

class ShellProcess final : public TRunningProcess {
public:
    explicit ShellProcess(HANDLE h) : FProcess(h) {}
    bool Running() override {
        // Running while a zero wait times out and leaves no error behind.
        SetLastError(0);
        return WaitForSingleObject(FProcess.get(), 0) == WAIT_TIMEOUT && GetLastError() == 0;
    }

private:
    UniqueHandle FProcess;
};

}  // namespace

void CreateShortcut(const std::string& linkFile, const std::string& target) {
    if (linkFile.empty() || target.empty()) return;
    const std::wstring link = Widen(linkFile), path = Widen(target);
    DeleteFileW(link.c_str());
    CoInitialize(nullptr);  // kept for the life of the thread, as the window needs COM
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink))))
        return;
    ComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return;
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    shellLink->SetPath(path.c_str());
    shellLink->SetWorkingDirectory(folder.c_str());
    file->Save(link.c_str(), TRUE);
}

std::unique_ptr<TRunningProcess> ShellExecuteWithProcess(const std::string& program, const std::string& parameters) {
    const std::wstring file = L"\"" + Widen(program) + L"\"", params = Widen(parameters);
    // The program's own folder is its working folder (for the package: the download
    // folder only administrators can change), never whatever this process's is.
    const std::size_t slash = program.find_last_of('\\');
    const std::wstring folder = slash == std::string::npos ? std::wstring() : Widen(program.substr(0, slash + 1));
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box from the shell: a package that cannot start counts as one that
    // ran and failed, and the failure page says so.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = params.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info) || !info.hProcess) return nullptr;
    return std::make_unique<ShellProcess>(info.hProcess);
}

const wchar_t* DownloadFolderSecurity() { return FolderRightsText(TFolderRights::AdministratorsOnly); }

bool RestrictToAdministrators(const std::string& folder) {
    return WindowsFolderSecurity().TakeOver(folder, TFolderRights::AdministratorsOnly);
}

std::string FolderSecurityText(const std::string& folder) { return WindowsFolderSecurity().DescriptorText(folder); }

bool ForceForegroundWindow(void* window) {
    HWND hwnd = static_cast<HWND>(window);
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    if (GetForegroundWindow() == hwnd) return true;
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD ownThread = GetCurrentThreadId();
    if (foregroundThread && foregroundThread != ownThread) AttachThreadInput(ownThread, foregroundThread, TRUE);
    BringWindowToTop(hwnd);
    SetForegroundWindow(hwnd);
    if (foregroundThread && foregroundThread != ownThread) AttachThreadInput(ownThread, foregroundThread, FALSE);
    if (GetForegroundWindow() != hwnd) {
        DWORD timeout = 0;
        SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
        BringWindowToTop(hwnd);
        SetForegroundWindow(hwnd);
        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<ULONG_PTR>(timeout)),
                              SPIF_SENDCHANGE);
    }
    return GetForegroundWindow() == hwnd;
}

void StartWindowDrag(void* window) {
    ReleaseCapture();
    SendMessageW(static_cast<HWND>(window), WM_SYSCOMMAND, 0xF012, 0);
}

std::string BrowseForFolder(void* owner, const std::string& title) {
    const std::wstring wtitle = Widen(title);
    BROWSEINFOW info{};
    info.hwndOwner = static_cast<HWND>(owner);
    info.lpszTitle = wtitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_NEWDIALOGSTYLE;  // 0x43
    CoInitialize(nullptr);
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    if (!list) return {};
    wchar_t path[MAX_PATH] = {};
    const bool ok = SHGetPathFromIDListW(list, path);
    CoTaskMemFree(list);
    return ok ? Narrow(path) : std::string();
}
