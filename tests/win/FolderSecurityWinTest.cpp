// The folder checks on the real security API: the descriptors the folders get, read
// back through Windows' own parser; the download folder's creation, take-over and
// sweep on real folders; links. Wine keeps no access lists: it makes every file's
// descriptor up from the Unix owner and mode bits, so what it can show is printed
// (the "descriptor:" lines) and judged as Wine reports it; on Windows the same tests
// see the real descriptors. The links come from the ctest fixture
// win_folder_links_fixture (Unix symbolic links, which Wine reports as reparse
// points); without it those tests are skipped.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "Installer/Downloader/flow/SecureFolder.h"
#include "Installer/Downloader/platform/FolderSecurity_win.h"
#include "Installer/Downloader/platform/WindowsSupport.h"
#include "os/TextConvert.h"
#include "os/Utf8Path.h"

namespace fs = std::filesystem;

namespace {

std::string TempFolder(const std::string& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string folder = Narrow(temp) + name + "\\";
    fs::remove_all(Utf8Path(folder));
    fs::create_directories(Utf8Path(folder));
    return folder;
}

TObjectSecurity Parsed(const wchar_t* text, bool* protectedDacl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1, &sd, nullptr)) return {};
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(sd, &control, &revision);
    *protectedDacl = control & SE_DACL_PROTECTED;
    TObjectSecurity s = SecurityOfDescriptor(sd);
    s.folder = true;
    LocalFree(sd);
    return s;
}

// Gives `path` a DACL that lets everybody change it (as a planted file would have).
bool OpenToEverybody(const std::string& path) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &sd, nullptr))
        return false;
    HANDLE h = CreateFileW(Widen(path).c_str(), WRITE_DAC | READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool ok = h != INVALID_HANDLE_VALUE && SetKernelObjectSecurity(h, DACL_SECURITY_INFORMATION, sd);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    LocalFree(sd);
    return ok;
}

void Show(const std::string& what, const std::string& path) {
    std::cout << "descriptor: " << what << " " << path << " "
              << WindowsFolderSecurity().DescriptorText(path) << "\n";
}

struct Traces {
    std::vector<std::string> lines;
    TFolderTrace Sink() {
        return [this](const std::string& line) {
            std::cout << "trace: " << line << "\n";
            lines.push_back(line);
        };
    }
    bool Has(const std::string& part) const {
        for (const std::string& l : lines)
            if (l.find(part) != std::string::npos) return true;
        return false;
    }
};

const char* kLinks = "C:\\qarto-links\\";
bool HaveLinks() { return GetFileAttributesW(Widen(kLinks).c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

// The two descriptors, through Windows' parser and the same translation and verdict
// the checks use: owner Administrators, protected, Administrators and SYSTEM full;
// users read and execute in program-files rights only, nothing at all in the download
// folder's.
TEST(FolderSecurityWin, DescriptorsGiveWhatTheySay) {
    bool protectedDacl = false;
    const TObjectSecurity admins = Parsed(FolderRightsText(TFolderRights::AdministratorsOnly), &protectedDacl);
    EXPECT_TRUE(protectedDacl);
    EXPECT_EQ(admins.owner, kSidAdministrators);
    ASSERT_EQ(admins.aces.size(), 2u);
    EXPECT_EQ(admins.aces[0].trustee, kSidAdministrators);
    EXPECT_EQ(admins.aces[1].trustee, kSidSystem);
    for (const TAce& ace : admins.aces) {
        EXPECT_EQ(ace.mask, static_cast<std::uint32_t>(FILE_ALL_ACCESS));
        EXPECT_EQ(ace.flags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    }
    EXPECT_TRUE(JudgeSecurity(admins).trusted) << JudgeSecurity(admins).reason;
    EXPECT_STREQ(DownloadFolderSecurity(), FolderRightsText(TFolderRights::AdministratorsOnly));

    const TObjectSecurity program = Parsed(FolderRightsText(TFolderRights::ProgramFilesLike), &protectedDacl);
    EXPECT_TRUE(protectedDacl);
    ASSERT_EQ(program.aces.size(), 3u);
    EXPECT_EQ(program.aces[2].trustee, kSidUsers);
    EXPECT_EQ(program.aces[2].mask, static_cast<std::uint32_t>(FILE_GENERIC_READ | FILE_GENERIC_EXECUTE));
    EXPECT_TRUE(JudgeSecurity(program).trusted) << JudgeSecurity(program).reason;
}

// The download folder and its parent are made with their descriptor in the same
// call; the next run finds and uses them as they are; a file anybody may change is
// swept; a folder anybody may change is taken over.
TEST(FolderSecurityWin, DownloadFolderIsMadeUsedSweptAndTakenOver) {
    TFolderSecurity& security = WindowsFolderSecurity();
    const std::string anchor = TempFolder("qarto-secure-anchor");
    const TSecureFolderPlan plan{anchor, {"Qarto Private Browser", "Downloader"}, 0};
    const std::string wanted = anchor + "Qarto Private Browser\\Downloader\\";

    Traces first;
    ASSERT_EQ(PrepareSecureFolder(security, plan, first.Sink()), wanted);
    EXPECT_TRUE(first.Has("created " + anchor + "Qarto Private Browser\\"));
    EXPECT_TRUE(first.Has("created " + wanted));
    Show("created", wanted);
    // What the system reports for the new folder: nobody but its owner, the
    // administrators (Wine: the prefix's user) and SYSTEM has any entry.
    const TObjectSecurity reported = ReadSecurityAsReported(wanted);
    ASSERT_TRUE(reported.readable);
    EXPECT_FALSE(reported.reparsePoint);
    for (const TAce& ace : reported.aces)
        EXPECT_TRUE(ace.trustee == kSidAdministrators || ace.trustee == kSidSystem || ace.trustee == reported.owner)
            << ace.trustee;
    if (RunsUnderWine())
        EXPECT_NE(JudgeSecurity(reported).reason.find("owner S-1-5-21-"), std::string::npos)
            << "Wine reports its Unix user as the owner";
    else
        EXPECT_TRUE(JudgeSecurity(reported).trusted) << JudgeSecurity(reported).reason;
    EXPECT_TRUE(JudgeSecurity(security.Read(wanted)).trusted) << JudgeSecurity(security.Read(wanted)).reason;

    Traces second;
    ASSERT_EQ(PrepareSecureFolder(security, plan, second.Sink()), wanted);
    EXPECT_TRUE(second.lines.empty());

    std::ofstream(Utf8Path(wanted + "ZYR_Setup.exe")) << "package";
    std::ofstream(Utf8Path(wanted + "ZYR_Setup.exe.dat")) << "[Info]\n";
    ASSERT_TRUE(OpenToEverybody(wanted + "ZYR_Setup.exe.dat"));
    Show("planted", wanted + "ZYR_Setup.exe.dat");
    Traces sweep;
    EXPECT_EQ(SweepUntrustedEntries(security, wanted, sweep.Sink()), 1);
    EXPECT_TRUE(sweep.Has("removed ZYR_Setup.exe.dat: S-1-1-0 may change it"));
    EXPECT_TRUE(fs::exists(Utf8Path(wanted + "ZYR_Setup.exe")));
    EXPECT_FALSE(fs::exists(Utf8Path(wanted + "ZYR_Setup.exe.dat")));

    ASSERT_TRUE(OpenToEverybody(wanted));
    Show("opened", wanted);
    EXPECT_FALSE(JudgeSecurity(security.Read(wanted)).trusted);
    Traces takeOver;
    ASSERT_EQ(PrepareSecureFolder(security, plan, takeOver.Sink()), wanted);
    EXPECT_TRUE(takeOver.Has("untrusted: S-1-1-0 may change it"));
    EXPECT_TRUE(takeOver.Has("take over " + wanted + ": trusted"));
    Show("taken over", wanted);
    EXPECT_TRUE(fs::exists(Utf8Path(wanted + "ZYR_Setup.exe")));  // the administrators' own file stays
}

// A link in place of the download folder is never walked: it goes as a link (or, when
// it cannot go, a new folder is used) and what it pointed to is untouched.
TEST(FolderSecurityWin, LinkInPlaceOfTheDownloadFolderIsNeverFollowed) {
    if (!HaveLinks()) GTEST_SKIP() << "no links: run through ctest (fixture win_folder_links_fixture)";
    const std::string anchor = std::string(kLinks) + "anchor\\";
    const std::string link = anchor + "Qarto Private Browser\\Downloader";
    const TObjectSecurity found = WindowsFolderSecurity().Read(link);
    ASSERT_TRUE(found.reparsePoint);
    EXPECT_EQ(JudgeSecurity(found).reason, "reparse point");

    Traces traces;
    const std::string chosen = PrepareSecureFolder(
        WindowsFolderSecurity(), TSecureFolderPlan{anchor, {"Qarto Private Browser", "Downloader"}, 0}, traces.Sink());
    ASSERT_FALSE(chosen.empty());
    const DWORD attributes = GetFileAttributesW(Widen(chosen).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << chosen;
    EXPECT_TRUE(fs::exists(Utf8Path(std::string(kLinks) + "target\\keep")));
    Show("chosen", chosen);
}
