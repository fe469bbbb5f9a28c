#include "cli/PasswordInput.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace quarvo::cli {
namespace {

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

// A file that holds text, read from its start.
File inputOf(const std::string& text)
{
    File file(std::tmpfile());
    std::fwrite(text.data(), 1, text.size(), file.get());
    std::rewind(file.get());
    return file;
}

// Where each command takes its password from, and what it tells the user about it.
TEST(PasswordInput, TakesThePasswordFromWhereTheCommandLineSays)
{
    struct Case {
        const char* rule;
        CliCommand command;
        PasswordSource source;
        std::string argument;    // the text of -p
        std::string input;       // standard input
        const char* environment; // the variable's value
        std::string expected;
        bool warned;
    };
    const Case cases[] = {
        {"-p TEXT is used, with a warning", CliCommand::Add, PasswordSource::Argument, "typed", "", "env",
         "typed", true},
        {"-p - reads one line", CliCommand::Test, PasswordSource::StandardInput, "", "line one\nline two\n",
         "env", "line one", false},
        {"a CR LF line end is not part of it", CliCommand::Extract, PasswordSource::StandardInput, "",
         "pw\r\n", nullptr, "pw", false},
        {"the last line needs no line end", CliCommand::Add, PasswordSource::StandardInput, "", " sp aces ",
         nullptr, " sp aces ", false},
        {"the environment serves when -p is not given", CliCommand::Extract, PasswordSource::None, "", "",
         "env", "env", false},
        {"but not for a command without passwords", CliCommand::List, PasswordSource::None, "", "", "env", "",
         false},
        {"an empty variable is no password", CliCommand::Add, PasswordSource::None, "", "", "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        CliRequest request;
        request.command = c.command;
        request.passwordSource = c.source;
        request.password = c.argument;
        File in = inputOf(c.input);
        char errors[512] = {};
        File err(fmemopen(errors, sizeof errors - 1, "w"));
        ASSERT_TRUE(resolvePassword(request, in.get(), err.get(), c.environment).ok());
        std::fflush(err.get());
        EXPECT_EQ(request.password, c.expected);
        EXPECT_EQ(std::strstr(errors, "can be seen by other users") != nullptr, c.warned) << errors;
        EXPECT_EQ(std::strstr(errors, c.expected.empty() ? "\x01" : c.expected.c_str()), nullptr) << errors;
    }
}

TEST(PasswordInput, AMissingOrEmptyLineIsRefused)
{
    for (const std::string input : {"", "\n"}) {
        CliRequest request;
        request.command = CliCommand::Test;
        request.passwordSource = PasswordSource::StandardInput;
        File in = inputOf(input);
        File err(std::tmpfile());
        EXPECT_FALSE(resolvePassword(request, in.get(), err.get(), "env").ok()) << input;
        EXPECT_EQ(request.password, "");
    }
}

TEST(PasswordInput, ThePasswordIsBlankedInTheArgumentsWhereverItStands)
{
    char program[] = "quarvo-cli", command[] = "add", option[] = "-rpsecret", separate[] = "secret",
         archive[] = "a.zip";
    char* argv[] = {program, command, option, separate, archive};
    hidePasswordInArguments(5, argv, "secret");
    EXPECT_STREQ(argv[2], "-rp******");
    EXPECT_STREQ(argv[3], "******");
    EXPECT_STREQ(argv[4], "a.zip");
    EXPECT_STREQ(argv[0], "quarvo-cli");
}

} // namespace
} // namespace quarvo::cli
