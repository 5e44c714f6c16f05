#include "services/LogFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/unit/TempDir.h"

namespace fs = std::filesystem;

TEST(WriteInstallerLog, LeavesTheDiskUnchanged) {
    TempDir dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    WriteInstallerLog("", kInstallerLogName);
    WriteInstallerLog(std::string(1 << 20, 'x'), kInstallerLogName);
    WriteInstallerLog("FormCreate: 1", (dir.path() / "sub" / "QuillInstaller_Downloader.log").string());
    fs::current_path(before);
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(CrashReportLogAttachment, OnlyWhenTheFileExists) {
    TempDir dir;
    const std::string common = dir.path().string();
    EXPECT_EQ(CrashReportLogAttachment(common), std::nullopt);
    EXPECT_EQ(CrashReportLogAttachment(""), std::nullopt);

    fs::create_directories(dir.path() / "Merrow" / "QuillDownloader");
    std::ofstream(dir.path() / "Merrow" / "QuillDownloader" / "Downloader.log") << "crash";
    EXPECT_EQ(CrashReportLogAttachment(common), common + "\\Merrow\\QuillDownloader\\Downloader.log");
    EXPECT_EQ(CrashReportLogAttachment(common + "\\"), common + "\\Merrow\\QuillDownloader\\Downloader.log");
}
