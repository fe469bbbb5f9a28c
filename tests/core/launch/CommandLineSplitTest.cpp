#include "core/launch/CommandLineSplit.h"
#include "core/launch/WordSplitter.h"

#include <gtest/gtest.h>

namespace quarvo {
namespace {

TEST(CommandLineSplit, CutsAtTheQuotedProgramOrTheFirstBlank)
{
    struct Case {
        const char* line;
        CommandLineParts expected;
    };
    const Case cases[] = {
        // No quote: the first blank separates; the arguments start after it.
        {"sed -i s/a/b/ file", {"sed", "-i s/a/b/ file"}},
        {"a  b", {"a", " b"}},
        {" leading", {"", "leading"}},
        // No quote and no blank: all program.
        {"program", {"program", ""}},
        {"", {"", ""}},
        // A quoted program with blanks: the arguments start at the first blank after the closing
        // quote, that blank included.
        {"\"/opt/my app/run\" -x file", {"/opt/my app/run", " -x file"}},
        {"\"/opt/my app/run\"", {"/opt/my app/run", ""}},
        {"\"abc\"def ghi", {"abc", " ghi"}},
        // No closing quote: the program runs to the end.
        {"\"/opt/no close -x", {"/opt/no close -x", ""}},
        // A quote that is not first makes the whole text the program.
        {"sed \"s/a/b/\" file", {"sed \"s/a/b/\" file", ""}},
    };
    for (const Case& test : cases)
        EXPECT_EQ(splitCommandLine(test.line), test.expected) << test.line;
}

TEST(CommandLineSplit, BuiltCommandLinesCutBackIntoTheSameProgramAndWords)
{
    struct Case {
        std::string program;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"VIEWER.EXE", {"readme.txt"}},
        {"/opt/my viewer/view", {"my file.txt"}},
        {"view", {"say \"hi\".txt"}},
        {"/opt/my viewer/view", {"it's \"quoted\" here"}},
        {"view", {"a;rm -rf ~", "$HOME", "*"}},
        {"view", {}},
        {"with blank", {}},
    };
    for (const Case& test : cases) {
        std::string arguments;
        for (const std::string& word : test.words)
            arguments += (arguments.empty() ? "" : " ") + quoteWord(word);
        std::string line = buildCommandLine(test.program, arguments);
        CommandLineParts parts = splitCommandLine(line);
        EXPECT_EQ(parts.program, test.program) << line;
        EXPECT_EQ(splitWords(parts.arguments), test.words) << line;
    }
}

} // namespace
} // namespace quarvo
