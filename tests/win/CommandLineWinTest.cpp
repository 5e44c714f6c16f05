// The one quoting function against the system's own reader: every argument of the
// shared table, quoted by QuoteArgument and joined by TCommandLine, comes back
// unchanged from CommandLineToArgvW, as the setup package, the browser and zyRInit
// read their command lines. The host test holds a copy of the rules to the same
// table; here the copy is held to the system too.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "os/CommandLine.h"
#include "os/TextConvert.h"
#include "tests/support/CommandLineCases.h"

namespace {

struct LocalFreer {
    void operator()(LPWSTR* p) const { LocalFree(p); }
};

// The arguments after the program name, as CommandLineToArgvW gives them.
std::vector<std::string> SplitBySystem(const std::string& parameters) {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> argv(
        CommandLineToArgvW(Widen("\"C:\\Program Files\\Q\\QartoBrowser.exe\" " + parameters).c_str(), &count));
    if (!argv) return {"(CommandLineToArgvW failed)"};
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Narrow(argv.get()[i]));
    return arguments;
}

TEST(CommandLineWin, EachQuotedArgumentComesBackFromCommandLineToArgvW) {
    for (const TQuoteCase& c : QuoteCases()) {
        SCOPED_TRACE(c.name);
        for (const TQuoting quoting : {TQuoting::WhenNeeded, TQuoting::Always}) {
            const std::string quoted = QuoteArgument(c.argument, quoting);
            EXPECT_EQ(SplitBySystem(quoted), std::vector<std::string>{c.argument}) << quoted;
            EXPECT_EQ(SplitArguments(quoted), SplitBySystem(quoted)) << "the host test's copy of the rules";
        }
    }
}

TEST(CommandLineWin, SwitchesAndWholeLinesComeBackArgumentByArgument) {
    TCommandLine line;
    std::vector<std::string> expected;
    for (const TSwitchCase& c : SwitchCases()) {
        SCOPED_TRACE(c.name);
        const std::string written = TCommandLine().AddSwitch(c.switchName, c.value).Text();
        EXPECT_EQ(SplitBySystem(written), std::vector<std::string>{c.switchName + c.value}) << written;
        line.AddSwitch(c.switchName, c.value);
        expected.push_back(c.switchName + c.value);
    }
    for (const TQuoteCase& c : QuoteCases()) {
        line.Add(c.argument);
        expected.push_back(c.argument);
    }
    EXPECT_EQ(SplitBySystem(line.Text()), expected) << line.Text();
}

// What the old form did: a folder with a trailing backslash in quotes swallowed the
// quote and every switch after it. The table would not show it if the system read
// it otherwise here.
TEST(CommandLineWin, TheOldFolderFormMergesTheSwitchesAfterIt) {
    const std::vector<std::string> read = SplitBySystem("/DIR=\"C:\\Program Files\\Q\\\" /TASKS=\"\"");
    EXPECT_EQ(read.size(), 1u);
    EXPECT_EQ(SplitBySystem(TCommandLine().AddSwitch("/DIR=", "C:\\Program Files\\Q\\").AddSwitch("/TASKS=", "").Text()),
              (std::vector<std::string>{"/DIR=C:\\Program Files\\Q\\", "/TASKS="}));
}

}  // namespace
