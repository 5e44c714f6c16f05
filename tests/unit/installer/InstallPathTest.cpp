// The installation folder: earlier installations, the default, free space and its
// relocation, and the text rules of the path edit.
#include <gtest/gtest.h>

#include <string>

#include "Installer/Downloader/flow/InstallPath.h"
#include "Installer/Downloader/flow/ProductNames.h"
#include "tests/unit/FakeOs.h"

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

struct FolderCase {
    const char* name;
    const char* productKeyLocation;  // nullptr: no key
    const char* earlierKeyLocation;  // nullptr: no key
    bool existing;
    const char* path;
};

class InstallFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(InstallFolder, FromTheUninstallKeysOrTheDefault) {
    const auto& c = GetParam();
    FakeOs os;
    os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
    auto put = [&](const char* key, const char* location) {
        if (!location) return;
        // The installer's keys are those of a 32-bit program: only the 32-bit view has them.
        os.registry.viewKeys.insert({RegistryView::Bits32, RegistryRoot::LocalMachine, key});
        if (*location)
            os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, key, "InstallLocation"}] =
                location;
    };
    put(kProductUninstallKey, c.productKeyLocation);
    put(kEarlierUninstallKey, c.earlierKeyLocation);
    const InstallPathChoice choice = GetInstallPath(os.services);
    EXPECT_EQ(choice.existing, c.existing);
    EXPECT_EQ(choice.path, c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallFolder,
    ::testing::Values(
        FolderCase{"Fresh", nullptr, nullptr, false, "C:\\Program Files\\Qarto Private Browser\\"},
        FolderCase{"Installed", "D:\\Browsers\\Qarto", nullptr, true, "D:\\Browsers\\Qarto\\"},
        FolderCase{"EarlierNameReplaced", nullptr, "C:\\Program Files\\Qarto VPN Browser\\", true,
                   "C:\\Program Files\\Qarto Private Browser\\"},
        FolderCase{"EarlierElsewhereStillLocks", nullptr, "D:\\Tools\\Browser\\", true,
                   "C:\\Program Files\\Qarto Private Browser\\"},
        FolderCase{"EarlierNameIsCaseSensitive", nullptr, "C:\\qarto vpn browser\\", true,
                   "C:\\Program Files\\Qarto Private Browser\\"},
        FolderCase{"CurrentKeyWins", "E:\\Q\\", "C:\\Program Files\\Qarto VPN Browser\\", true, "E:\\Q\\"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(InstallFolder, A64BitRegistrationOfTheProductIsNotSeen) {
    FakeOs os;
    os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
    os.registry.viewKeys.insert({RegistryView::Bits64, RegistryRoot::LocalMachine, kProductUninstallKey});
    EXPECT_FALSE(GetInstallPath(os.services).existing);
}

TEST(DiskSpace, InsufficientUnlessAFixedDriveReportsEnough) {
    FakeOs os;
    os.disks.drives["C:"] = {DriveType::Fixed, 600 * kMiB};
    os.disks.drives["D:"] = {DriveType::Fixed, 499 * kMiB};
    os.disks.drives["E:"] = {DriveType::Removable, 100000 * kMiB};
    os.disks.drives["F:"] = {DriveType::Fixed, std::nullopt};  // the query fails
    EXPECT_FALSE(CheckDiskSpace(os.services, "C:", kRequiredFreeBytes));
    EXPECT_TRUE(CheckDiskSpace(os.services, "D:", kRequiredFreeBytes));
    EXPECT_TRUE(CheckDiskSpace(os.services, "E:", kRequiredFreeBytes));
    EXPECT_TRUE(CheckDiskSpace(os.services, "F:", kRequiredFreeBytes));
    EXPECT_TRUE(CheckDiskSpace(os.services, "Q:", kRequiredFreeBytes));  // no such drive
    EXPECT_FALSE(CheckDiskSpace(os.services, "C:", 600 * kMiB));
    EXPECT_TRUE(CheckDiskSpace(os.services, "C:", 600 * kMiB + 1));
}

TEST(QuillSetupPath, MovesToTheFirstFixedDriveWithRoom) {
    FakeOs os;
    os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
    os.disks.drives["C:"] = {DriveType::Fixed, 10 * kMiB};
    os.disks.drives["D:"] = {DriveType::Removable, 90000 * kMiB};
    os.disks.drives["E:"] = {DriveType::Fixed, 100 * kMiB};
    os.disks.drives["F:"] = {DriveType::Fixed, 9000 * kMiB};
    os.disks.drives["G:"] = {DriveType::Fixed, 9000 * kMiB};
    const QuillSetupPath p = GetQuillSetupPath(os.services);
    EXPECT_EQ(p.path, "F:\\Program Files\\Qarto Private Browser\\");
    EXPECT_FALSE(p.diskFull);

    os.disks.drives.erase("F:");
    os.disks.drives.erase("G:");
    const QuillSetupPath full = GetQuillSetupPath(os.services);
    EXPECT_TRUE(full.diskFull);
    EXPECT_EQ(full.path, "C:\\Program Files\\Qarto Private Browser\\");
}

TEST(PathText, NormalisedRefusedAndCompleted) {
    EXPECT_EQ(NormalisePathText("D:\\ My Apps \\x"), "D:\\My Apps\\x");
    EXPECT_EQ(NormalisePathText(" C:\\\tA\\ "), "C:\\A\\");
    EXPECT_TRUE(HasOnlyAllowedPathChars("D:\\My Apps\\x.y"));
    for (const char* bad : {"D:\\a/b", "D:\\a*", "D:\\a?", "D:\\\"a\"", "D:\\<a>", "D:\\a|b", "D:\\a;b"})
        EXPECT_FALSE(HasOnlyAllowedPathChars(bad)) << bad;

    EXPECT_EQ(CutAtRefusedTypedChar("D:\\a.b\\c"), "D:\\a");
    EXPECT_EQ(CutAtRefusedTypedChar("D:\\Ünïcode\\x"), "D:\\Ünïcode\\x");
    EXPECT_TRUE(IsRefusedTypedChar(U'.'));
    EXPECT_FALSE(IsRefusedTypedChar(U'\\'));
    EXPECT_FALSE(IsRefusedTypedChar(U'ü'));

    EXPECT_EQ(CompleteWithProductName("D:\\Apps"), "D:\\Apps\\Qarto Private Browser\\");
    EXPECT_EQ(CompleteWithProductName(" D:\\Apps\\ "), "D:\\Apps\\Qarto Private Browser\\");
    EXPECT_EQ(CompleteWithProductName("D:\\Apps\\Qarto Private Browser"), "D:\\Apps\\Qarto Private Browser");
    EXPECT_EQ(CompleteWithProductName("D:\\Apps\\qarto private browser\\"), "D:\\Apps\\qarto private browser\\");
    EXPECT_EQ(CompleteWithProductName("C:\\"), "C:\\Qarto Private Browser\\");
}

TEST(PathText, DrivePart) {
    EXPECT_EQ(DrivePart("C:\\x"), "C:");
    EXPECT_EQ(DrivePart("C:abc"), "C:");
    EXPECT_EQ(DrivePart("\\\\server\\share\\x"), "\\\\server\\share");
    EXPECT_EQ(DrivePart("relative\\x"), "");
}

}  // namespace
