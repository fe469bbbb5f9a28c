#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace quarvo::cli {
namespace {

using Arguments = std::vector<std::string>;

struct Accepted {
    Arguments arguments;
    CliRequest expected;
};

CliRequest request(CliCommand command, std::string archive, Arguments names = {})
{
    CliRequest result;
    result.command = command;
    result.archive = std::move(archive);
    result.names = std::move(names);
    return result;
}

template <typename Change> CliRequest with(CliRequest base, Change change)
{
    change(base);
    return base;
}

void expectSameRequest(const CliRequest& actual, const CliRequest& expected)
{
    EXPECT_EQ(actual.command, expected.command);
    EXPECT_EQ(actual.archive, expected.archive);
    EXPECT_EQ(actual.names, expected.names);
    EXPECT_EQ(actual.password, expected.password);
    EXPECT_EQ(actual.destination, expected.destination);
    EXPECT_EQ(actual.verbose, expected.verbose);
    EXPECT_EQ(actual.overwrite, expected.overwrite);
    EXPECT_EQ(actual.noDirectoryNames, expected.noDirectoryNames);
    EXPECT_EQ(actual.recurse, expected.recurse);
    EXPECT_EQ(actual.compressionLevel, expected.compressionLevel);
    EXPECT_EQ(actual.addMode, expected.addMode);
    EXPECT_EQ(actual.move, expected.move);
    EXPECT_EQ(actual.includeHidden, expected.includeHidden);
    EXPECT_EQ(actual.passwordSource, expected.passwordSource);
    EXPECT_EQ(actual.zipCrypto, expected.zipCrypto);
    EXPECT_EQ(actual.convertTo, expected.convertTo);
}

TEST(CommandLine, AcceptsEveryCommandWithItsOptions)
{
    const std::vector<Accepted> table = {
        {{"list", "a.zip"}, request(CliCommand::List, "a.zip")},
        {{"list", "-v", "a.zip"},
         with(request(CliCommand::List, "a.zip"), [](auto& r) { r.verbose = true; })},
        {{"test", "-pSECRET", "a.zip"},
         with(request(CliCommand::Test, "a.zip"),
              [](auto& r) {
                  r.password = "SECRET";
                  r.passwordSource = PasswordSource::Argument;
              })},
        // "-" asks for the password on standard input; it is read later, not here.
        {{"test", "-p", "-", "a.zip"},
         with(request(CliCommand::Test, "a.zip"), [](auto& r) { r.passwordSource = PasswordSource::StandardInput; })},
        {{"add", "--zipcrypto", "-p-", "a.zip", "f"},
         with(request(CliCommand::Add, "a.zip", {"f"}),
              [](auto& r) {
                  r.zipCrypto = true;
                  r.passwordSource = PasswordSource::StandardInput;
              })},
        {{"test", "a.zip", "x", "d/*"}, request(CliCommand::Test, "a.zip", {"x", "d/*"})},
        {{"extract", "-d", "out", "-o", "-j", "-p", "pw", "a.zip", "x", "y z"},
         with(request(CliCommand::Extract, "a.zip", {"x", "y z"}),
              [](auto& r) {
                  r.destination = "out";
                  r.overwrite = r.noDirectoryNames = true;
                  r.password = "pw";
                  r.passwordSource = PasswordSource::Argument;
              })},
        // Options may follow the archive, and a value may be attached to its letter.
        {{"extract", "a.zip", "-dout", "-oj"},
         with(request(CliCommand::Extract, "a.zip"),
              [](auto& r) {
                  r.destination = "out";
                  r.overwrite = r.noDirectoryNames = true;
              })},
        {{"add", "a.zip", "f"}, request(CliCommand::Add, "a.zip", {"f"})},
        {{"add", "-rj0", "a.zip", "f", "g"},
         with(request(CliCommand::Add, "a.zip", {"f", "g"}),
              [](auto& r) {
                  r.recurse = r.noDirectoryNames = true;
                  r.compressionLevel = 0;
              })},
        {{"add", "-8", "a.zip", "f"},
         with(request(CliCommand::Add, "a.zip", {"f"}), [](auto& r) { r.compressionLevel = 8; })},
        {{"add", "-1", "-3", "a.zip", "f"},
         with(request(CliCommand::Add, "a.zip", {"f"}), [](auto& r) { r.compressionLevel = 3; })},
        {{"add", "--update", "--move", "a.zip", "f"},
         with(request(CliCommand::Add, "a.zip", {"f"}),
              [](auto& r) {
                  r.addMode = AddMode::Update;
                  r.move = true;
              })},
        {{"add", "--no-hidden", "-r", "a.zip", "d"},
         with(request(CliCommand::Add, "a.zip", {"d"}),
              [](auto& r) {
                  r.includeHidden = false;
                  r.recurse = true;
              })},
        {{"add", "--freshen", "a.zip", "f"},
         with(request(CliCommand::Add, "a.zip", {"f"}), [](auto& r) { r.addMode = AddMode::Freshen; })},
        {{"add", "-p", "", "a.zip", "f"}, request(CliCommand::Add, "a.zip", {"f"})},
        // After "--" everything is a name, even what looks like an option or help.
        {{"add", "a.zip", "--", "-r", "--help"}, request(CliCommand::Add, "a.zip", {"-r", "--help"})},
        {{"extract", "a.zip", "-", "help"}, request(CliCommand::Extract, "a.zip", {"-", "help"})},
        {{"delete", "a.zip", "n"}, request(CliCommand::Delete, "a.zip", {"n"})},
        // The output of convert is its one name; the form may follow "--to" or be attached with "=".
        {{"convert", "--to", "dos", "a.zip", "a.exe"},
         with(request(CliCommand::Convert, "a.zip", {"a.exe"}), [](auto& r) { r.convertTo = "dos"; })},
        {{"convert", "a.exe", "--to=zip", "a.zip"},
         with(request(CliCommand::Convert, "a.exe", {"a.zip"}), [](auto& r) { r.convertTo = "zip"; })},
        {{"convert", "--to", "windows", "a.zip", "w.exe"},
         with(request(CliCommand::Convert, "a.zip", {"w.exe"}), [](auto& r) { r.convertTo = "windows"; })},
        {{"convert", "--to", "linux", "a.zip", "a.run"},
         with(request(CliCommand::Convert, "a.zip", {"a.run"}), [](auto& r) { r.convertTo = "linux"; })},
        {{"repair", "a.zip"}, request(CliCommand::Repair, "a.zip")},
        {{"help"}, CliRequest{}},
        {{"--help"}, CliRequest{}},
        {{"extract", "a.zip", "-h"}, CliRequest{}},
    };
    for (const Accepted& row : table) {
        SCOPED_TRACE(::testing::PrintToString(row.arguments));
        Result<CliRequest> parsed = parseCommandLine(row.arguments);
        ASSERT_TRUE(parsed.ok()) << parsed.error().message;
        expectSameRequest(*parsed, row.expected);
    }
}

TEST(CommandLine, RefusesMisuseWithOneLineSayingWhy)
{
    const std::vector<std::pair<Arguments, std::string>> table = {
        {{}, "no command given"},
        {{"frobnicate", "a.zip"}, "unknown command 'frobnicate'"},
        {{"list"}, "missing archive name for list"},
        {{"list", "a.zip", "b.zip"}, "list takes one archive name"},
        {{"list", ""}, "the archive name is empty"},
        {{"list", "-o", "a.zip"}, "unknown option '-o' for list"},
        {{"delete", "-r", "a.zip", "n"}, "unknown option '-r' for delete"},
        {{"add", "-9", "a.zip", "f"}, "unknown option '-9' for add"},
        {{"add", "-:", "a.zip", "f"}, "unknown option '-:' for add"},
        {{"extract", "--update", "a.zip"}, "unknown option '--update' for extract"},
        {{"extract", "--zipcrypto", "a.zip"}, "unknown option '--zipcrypto' for extract"},
        {{"add", "a.zip"}, "add needs at least one name after the archive"},
        {{"delete", "a.zip"}, "delete needs at least one name after the archive"},
        {{"extract", "a.zip", "-d"}, "option '-d' needs a value"},
        {{"add", "a.zip", "f", "-p"}, "option '-p' needs a value"},
        {{"extract", "-d", "", "a.zip"}, "option '-d' needs a directory"},
        {{"add", "--update", "--freshen", "a.zip", "f"}, "--update and --freshen cannot be combined"},
        {{"extract", "a.zip", "a\"b"}, "names with a double quote cannot be used: a\"b"},
        {{"add", "a.zip", ""}, "a name is empty"},
        {{"job"}, "missing job file name"},
        {{"job", "a.cfz", "b.cfz"}, "job takes one job file"},
        {{"job", "-o", "a.cfz"}, "unknown option '-o' for job"},
        {{"convert", "a.zip", "a.exe"}, "convert needs --to zip, dos, windows or linux"},
        {{"convert", "--to", "mac", "a.zip", "a.exe"}, "unknown form 'mac' for convert: zip, dos, windows or linux"},
        {{"convert", "a.zip", "a.exe", "--to"}, "option '--to' needs a form: zip, dos, windows or linux"},
        {{"convert", "--to", "dos", "a.zip"}, "convert takes an archive and an output file"},
        {{"convert", "--to", "dos", "a.zip", "b", "c"}, "convert takes an archive and an output file"},
        {{"extract", "--to", "dos", "a.zip"}, "unknown option '--to' for extract"},
        {{"repair"}, "missing archive name for repair"},
        {{"repair", "a.zip", "b.zip"}, "repair takes one archive name"},
    };
    for (const auto& [arguments, message] : table) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        Result<CliRequest> parsed = parseCommandLine(arguments);
        ASSERT_FALSE(parsed.ok());
        EXPECT_EQ(parsed.error().message, message);
    }
}

TEST(CommandLine, QuotesEachNameForTheEnginesAndMeansEveryEntryWithoutNames)
{
    EXPECT_EQ(itemSpecificationOf({}), "*.*");
    EXPECT_EQ(itemSpecificationOf({"a.txt"}), "\"a.txt\"");
    EXPECT_EQ(itemSpecificationOf({"dir/a b.txt", "*.c", "x"}), "\"dir/a b.txt\" \"*.c\" \"x\"");
}

} // namespace
} // namespace quarvo::cli
