// The installer window's system services on Windows.
#include "Installer/Downloader/platform/InstallerPlatform_win.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "Installer/Downloader/platform/FolderSecurity_win.h"
#include "Installer/Downloader/platform/ProcessEnd.h"
#include "Installer/Downloader/platform/WindowsSupport.h"
#include "os/TextConvert.h"
#include "os/WinHandles.h"
#include "public/rdcontrol/framework/Form.h"
#include "services/Md5.h"

namespace {

// A handle that lets others read only: while it is open, no writer, renamer or
// deleter can open the file, and a handle that already has it open for writing makes
// this one fail. Starting the program reads it, which the sharing allows.
class WinHeldPackage final : public TLockedPackage {
public:
    explicit WinHeldPackage(HANDLE file) : FFile(file) {}
    ~WinHeldPackage() override { CloseHandle(FFile); }
    WinHeldPackage(const WinHeldPackage&) = delete;
    WinHeldPackage& operator=(const WinHeldPackage&) = delete;

    std::string Md5Hex() override {
        LARGE_INTEGER start{};
        if (!SetFilePointerEx(FFile, start, nullptr, FILE_BEGIN)) return {};
        TMd5 md5;
        std::vector<std::uint8_t> block(1 << 20);
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(FFile, block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) return {};
            if (got == 0) break;
            md5.Update({block.data(), got});
        }
        return md5.HexDigest();
    }

    std::optional<std::uint64_t> Size() override {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(FFile, &size) || size.QuadPart < 0) return std::nullopt;
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    // Positioned reads in pieces a DWORD can count.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        auto* out = static_cast<std::uint8_t*>(buffer);
        while (size > 0) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(FFile, out, want, &got, &at) || got == 0) return false;
            out += got;
            offset += got;
            size -= got;
        }
        return true;
    }

private:
    HANDLE FFile;
};

std::unique_ptr<TLockedPackage> HoldForReadingOnly(const std::string& file) {
    HANDLE h = CreateFileW(Widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(h);
        return nullptr;
    }
    return std::make_unique<WinHeldPackage>(h);
}

void* Handle(TCustomForm& form) { return form.Window() ? form.Window()->PlatformHandle() : nullptr; }

class WinInstallerPlatform final : public TInstallerPlatform {
public:
    void Trace(const std::string& text) override { OutputDebugStringW(Widen(text + "\n").c_str()); }

    void EndProcess() override { TerminateOwnProcess(); }

    std::optional<std::string> Resource(const std::string& name) override {
        HMODULE module = GetModuleHandleW(nullptr);
        HRSRC found = FindResourceW(module, Widen(name).c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
        if (!found) return std::nullopt;
        HGLOBAL loaded = LoadResource(module, found);
        const DWORD size = SizeofResource(module, found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data) return std::nullopt;
        return std::string(static_cast<const char*>(data), size);
    }

    std::vector<std::string> CommandLineParameters() override {
        int count = 0;
        LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
        std::vector<std::string> result;
        for (int i = 1; args && i < count; ++i) result.push_back(Narrow(args[i]));
        if (args) LocalFree(args);
        return result;
    }

    bool ForceForeground(TCustomForm& form) override {
        void* handle = Handle(form);
        return handle && ForceForegroundWindow(handle);
    }

    void StartWindowDrag(TCustomForm& form) override {
        if (void* handle = Handle(form)) ::StartWindowDrag(handle);
    }

    std::string BrowseForFolder(TCustomForm* owner, const std::string& title) override {
        return ::BrowseForFolder(owner ? Handle(*owner) : GetActiveWindow(), title);
    }

    void CreateShortcut(const std::string& linkFile, const std::string& target) override {
        ::CreateShortcut(linkFile, target);
    }

    std::unique_ptr<TRunningProcess> StartPackage(const std::string& program, const std::string& parameters) override {
        return ShellExecuteWithProcess(program, parameters);
    }

    std::unique_ptr<TLockedPackage> HoldPackage(const std::string& file) override { return HoldForReadingOnly(file); }

    void SecureFolder(const std::string& folder) override { RestrictToAdministrators(folder); }

    TFolderSecurity* FolderSecurity() override { return &WindowsFolderSecurity(); }

    std::optional<std::uint32_t> ReadUserDword(const std::string& key, const std::string& name) override {
        DWORD value = 0, size = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, Widen(key).c_str(), Widen(name).c_str(), RRF_RT_REG_DWORD, nullptr, &value,
                         &size) != ERROR_SUCCESS)
            return std::nullopt;
        return value;
    }
};

}  // namespace

TInstallerPlatform& WindowsInstallerPlatform() {
    static WinInstallerPlatform instance;
    return instance;
}
