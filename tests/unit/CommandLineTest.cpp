// Command lines for child programs: each argument quoted by the Windows rules and
// split back by a copy of those rules (CommandLineToArgvW and the C runtime, for
// the arguments after the program name). tests/win/CommandLineWinTest.cpp splits the
// same table with the system's own function.
#include "os/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/CommandLineCases.h"

namespace {

TEST(CommandLine, EachArgumentIsQuotedAndSplitsBackUnchanged) {
    for (const TQuoteCase& c : QuoteCases()) {
        SCOPED_TRACE(c.name);
        const std::string quoted = QuoteArgument(c.argument);
        EXPECT_EQ(quoted, c.quoted);
        EXPECT_EQ(SplitArguments(quoted), std::vector<std::string>{c.argument});
        const std::string always = QuoteArgument(c.argument, TQuoting::Always);
        EXPECT_EQ(always.front(), '"');
        EXPECT_EQ(SplitArguments(always), std::vector<std::string>{c.argument});
    }
}

TEST(CommandLine, BuilderJoinsArgumentsThatSplitBackOneByOne) {
    TCommandLine line;
    std::vector<std::string> expected;
    for (const TQuoteCase& c : QuoteCases()) {
        line.Add(c.argument);
        expected.push_back(c.argument);
    }
    for (const TSwitchCase& c : SwitchCases()) {
        line.AddSwitch(c.switchName, c.value);
        expected.push_back(c.switchName + c.value);
    }
    EXPECT_EQ(SplitArguments(line.Text()), expected);
    EXPECT_EQ(TCommandLine().Add("/a").Add("b c").Add("").Text(), "/a \"b c\" \"\"");
}

TEST(CommandLine, SwitchValuesAreWrittenInQuotes) {
    for (const TSwitchCase& c : SwitchCases()) {
        SCOPED_TRACE(c.name);
        const std::string text = TCommandLine().AddSwitch(c.switchName, c.value).Text();
        EXPECT_EQ(text, c.written);
        EXPECT_EQ(SplitArguments(text), std::vector<std::string>{c.switchName + c.value});
    }
}

TEST(CommandLine, FolderArgumentDropsTrailingSeparatorsButKeepsARoot) {
    struct Case {
        const char* folder;
        const char* argument;
    } cases[] = {
        {"C:\\Program Files\\Qarto Private Browser\\", "C:\\Program Files\\Qarto Private Browser"},
        {"C:\\x\\\\", "C:\\x"},
        {"C:\\x", "C:\\x"},
        {"/tmp/x/", "/tmp/x"},
        {"C:\\", "C:\\"},
        {"c:/", "c:/"},
        {"\\\\server\\share\\", "\\\\server\\share"},
        {"\\", "\\"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FolderArgument(c.folder), c.argument) << c.folder;
}

}  // namespace
