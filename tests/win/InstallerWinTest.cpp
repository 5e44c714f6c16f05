// The installer's Windows pieces for real: the shortcut, the package run and wait,
// the download folder's permissions.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <sddl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Installer/Downloader/platform/WindowsSupport.h"
#include "os/Shell.h"
#include "os/TextConvert.h"
#include "os/Utf8Path.h"

namespace fs = std::filesystem;

namespace {

std::string CharLowerText(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string TempFolder(const std::string& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string folder = Narrow(temp) + name;
    fs::remove_all(Utf8Path(folder));
    fs::create_directories(Utf8Path(folder));
    return folder;
}

std::string OwnProgram() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return Narrow(path);
}

}  // namespace

TEST(InstallerWin, ShortcutIsCreatedAndReplaced) {
    const std::string folder = TempFolder("qarto-shortcut");
    const std::string link = folder + "\\Qarto Private Browser Installer.lnk";
    std::ofstream(Utf8Path(link)) << "not a shortcut";
    CreateShortcut(link, OwnProgram());
    ASSERT_TRUE(fs::exists(Utf8Path(link)));
    std::ifstream in(Utf8Path(link), std::ios::binary);
    char header[4] = {};
    in.read(header, 4);
    EXPECT_EQ(header[0], 0x4C);  // a shell link starts with its header size, 0x4C
    EXPECT_NE(std::string(header, 4), "not ");

    const std::string none = folder + "\\none.lnk";
    CreateShortcut(none, "");
    CreateShortcut("", OwnProgram());
    EXPECT_FALSE(fs::exists(Utf8Path(none)));
}

TEST(InstallerWin, PackageIsStartedAndWaitedFor) {
    // cmd.exe stands in for the package: it runs about a second, then ends.
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    auto process = ShellExecuteWithProcess(Narrow(system) + "\\cmd.exe", "/c ping -n 2 127.0.0.1 >nul");
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(process->Running());
    const ULONGLONG start = GetTickCount64();
    while (process->Running() && GetTickCount64() - start < 30000) Sleep(10);
    EXPECT_FALSE(process->Running());
    EXPECT_EQ(ShellExecuteWithProcess("C:\\no\\such\\package.exe", ""), nullptr);
}

// The package runs in its own folder, not in the folder the installer was started from.
TEST(InstallerWin, PackageWorksInItsOwnFolder) {
    wchar_t system[MAX_PATH], temp[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    SetCurrentDirectoryW(temp);
    const std::string record = Narrow(temp) + "package-working-folder.txt";
    auto process = ShellExecuteWithProcess(Narrow(system) + "\\cmd.exe", "/c cd>\"" + record + "\"");
    ASSERT_NE(process, nullptr);
    const ULONGLONG start = GetTickCount64();
    while (process->Running() && GetTickCount64() - start < 30000) Sleep(10);
    std::ifstream in(Utf8Path(record));
    std::string folder;
    std::getline(in, folder);
    in.close();
    DeleteFileW(Widen(record).c_str());
    while (!folder.empty() && (folder.back() == '\r' || folder.back() == '\\')) folder.pop_back();
    EXPECT_EQ(CharLowerText(folder), CharLowerText(Narrow(system)));
}

// The launcher that starts the browser from an elevated installer: the desktop shell's
// process runs the program (here cmd.exe writing a file) with its own token.
TEST(InstallerWin, DesktopShellStartsAProgramForUs) {
    wchar_t system[MAX_PATH], temp[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    const std::string marker = Narrow(temp) + "desktop-shell-started.txt";
    DeleteFileW(Widen(marker).c_str());
    ShellExecuteRequest request;
    request.verb = "open";
    request.file = Narrow(system) + "\\cmd.exe";
    request.parameters = "/c echo started>\"" + marker + "\"";
    request.showMode = SW_HIDE;
    ASSERT_TRUE(WindowsShell().ExecuteThroughDesktopShell(request));
    const ULONGLONG start = GetTickCount64();
    while (GetFileAttributesW(Widen(marker).c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount64() - start < 20000)
        Sleep(50);
    EXPECT_NE(GetFileAttributesW(Widen(marker).c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(Widen(marker).c_str());
    // For the record: how this process's token stands.
    const TokenElevationKind kind = WindowsShell().Elevation();
    std::printf("token elevation: %s\n", kind == TokenElevationKind::Full      ? "full"
                                         : kind == TokenElevationKind::Limited ? "limited"
                                                                               : "default (not split)");
}

// What the download folder gets: read through Windows' own parser, so a typo in the
// descriptor text cannot grant more than meant.
TEST(InstallerWin, DownloadFolderSecurityGrantsWritesToAdministratorsAndTheSystemOnly) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(DownloadFolderSecurity(), SDDL_REVISION_1, &sd,
                                                                     nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(sd, &control, &revision);
    EXPECT_TRUE(control & SE_DACL_PROTECTED);  // nothing inherited from the parent folder

    auto wellKnown = [](WELL_KNOWN_SID_TYPE type) {
        static BYTE buffers[4][SECURITY_MAX_SID_SIZE];
        static int next = 0;
        DWORD size = SECURITY_MAX_SID_SIZE;
        PSID sid = buffers[next++ % 4];
        CreateWellKnownSid(type, nullptr, sid, &size);
        return sid;
    };
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    ASSERT_TRUE(GetSecurityDescriptorOwner(sd, &owner, &defaulted));
    EXPECT_TRUE(EqualSid(owner, wellKnown(WinBuiltinAdministratorsSid)));

    BOOL present = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    // Administrators and the system, nobody else: users may not even read, so nobody
    // can hold the package open and keep it from being replaced or run.
    ASSERT_EQ(dacl->AceCount, 2);
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
                  OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
        PSID sid = &ace->SidStart;
        EXPECT_TRUE(EqualSid(sid, wellKnown(WinBuiltinAdministratorsSid)) || EqualSid(sid, wellKnown(WinLocalSystemSid)))
            << "ACE " << i;
    }
    LocalFree(sd);

    // Applying it succeeds. (Wine keeps no access lists for files, so what a folder
    // carries afterwards can only be read back on Windows.)
    const std::string folder = TempFolder("qarto-secure");
    EXPECT_TRUE(RestrictToAdministrators(folder));
    EXPECT_FALSE(FolderSecurityText(folder).empty());
}
