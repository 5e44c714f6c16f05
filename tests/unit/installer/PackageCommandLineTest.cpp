// The command lines the installer gives the programs it starts, read back the way
// each reader splits them: the setup package and zyRInit by their tool chain's rule
// (the demo package's parser, tools/demo), and every one of them by the C runtime's
// rule that CommandLineToArgvW follows. Both must find the same folder, and nothing
// from the command line or the server may add an argument of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Installer/Downloader/flow/InstallSource.h"
#include "Installer/Downloader/package/SetupPackage.h"
#include "os/CommandLine.h"
#include "tests/support/CommandLineCases.h"
#include "tools/demo/DemoArguments.h"
#include "tools/demo/SetupSwitches.h"

namespace {

// The arguments after the program, by the package's rule.
std::vector<std::string> SplitAsThePackage(const std::string& parameters) {
    std::vector<std::string> arguments = demo::SplitCommandLine("\"C:\\ProgramData\\dl\\ZYR_Setup.exe\" " + parameters);
    arguments.erase(arguments.begin());
    return arguments;
}

// Folders the installer may install to: the default, typed ones with blanks,
// non-ASCII letters and a network share, always with the trailing backslash the
// options keep.
const char* const kFolders[] = {
    "C:\\Program Files (x86)\\Qarto Private Browser\\",
    "D:\\Meine Programme\\Q\xC3\xA4rto\\Qarto Private Browser\\",
    "E:\\x\\Qarto Private Browser\\",
    "\\\\server\\share x\\Qarto Private Browser\\",
};

TEST(PackageCommandLine, ThePackageAndTheCRuntimeReadTheSameSwitches) {
    struct Options {
        const char* source;
        bool bookmark, icon, taskbar;
    };
    for (const char* folder : kFolders)
        for (const Options& o : {Options{"", false, true, true}, Options{"/insur=abc-1.2", true, false, false}}) {
            SCOPED_TRACE(folder);
            const std::string parameters = SetupParameters({folder, o.source, o.bookmark, o.icon, o.taskbar});

            const demo::SetupSwitchesResult read = demo::ParseSetupSwitches(SplitAsThePackage(parameters));
            ASSERT_TRUE(read.ok) << read.error << " in " << parameters;
            EXPECT_EQ(read.request.installDir, folder);
            EXPECT_EQ(read.request.desktopIcon, o.icon);
            EXPECT_EQ(read.request.taskbar, o.taskbar);
            EXPECT_EQ(read.request.bookmark, o.bookmark);
            EXPECT_EQ(read.request.installSource, std::string(o.source).empty() ? "" : "abc-1.2");

            std::vector<std::string> expected = {"/sp-", "/verysilent", "/suppressmsgboxes", "/NORESTART",
                                                 "/DIR=" + FolderArgument(folder)};
            if (*o.source) expected.push_back(o.source);
            if (o.bookmark) expected.push_back("/BookMark");
            expected.push_back(o.icon ? "/TASKS=desktopicon" : "/TASKS=");
            if (o.taskbar) expected.push_back("/CreateTaskbar");
            EXPECT_EQ(SplitArguments(parameters), expected);
            EXPECT_EQ(SplitAsThePackage(parameters), expected);
        }
}

TEST(PackageCommandLine, ZyRInitFindsTheFolderByEitherRule) {
    for (const char* folder : kFolders) {
        SCOPED_TRACE(folder);
        const std::string parameters = DefaultBrowserParameters(folder);
        const std::vector<std::string> expected = {"/DefaultBrowser", "/installdir=" + FolderArgument(folder)};
        EXPECT_EQ(SplitArguments(parameters), expected);
        const std::vector<std::string> read = SplitAsThePackage(parameters);
        ASSERT_EQ(read, expected);
        EXPECT_EQ(demo::WithTrailingBackslash(*demo::SwitchValue(read[1], "installdir")), folder);
    }
    EXPECT_EQ(DefaultBrowserParameters("C:\\Program Files\\Qarto Private Browser\\"),
              "/DefaultBrowser /installdir=\"C:\\Program Files\\Qarto Private Browser\"");
}

TEST(PackageCommandLine, TheBrowserGetsItsLinkAsOneArgument) {
    const std::string link = "https://go.example/appgoto?name=zyr&ver=3.1.0.5&lan=&to=install&ref=zyrInstall";
    EXPECT_EQ(BrowserStartParameters(1, link), "/InstallerStart \"" + link + "\"");
    EXPECT_EQ(SplitArguments(BrowserStartParameters(1, link)), (std::vector<std::string>{"/InstallerStart", link}));
    // A link is built from encoded parts and never holds a quote; should one ever,
    // it still stays one argument.
    const std::string odd = "https://go.example/a\" /evil \"b\\";
    EXPECT_EQ(SplitArguments(BrowserStartParameters(1, odd)), (std::vector<std::string>{"/InstallerStart", odd}));
    EXPECT_EQ(BrowserStartParameters(5, link), "");
}

}  // namespace
