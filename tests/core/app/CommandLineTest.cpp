#include "core/app/CommandLine.h"
#include "core/app/JobKind.h"

#include <gtest/gtest.h>

#include <set>

using namespace quarvo;

namespace {

struct CommandLineCase {
    const char* text;
    StartupAction action;
    const char* path;
};

TEST(CommandLine, ReadsTheEmptyTheJobAndTheDocumentForms)
{
    const CommandLineCase cases[] = {
        {"", StartupAction::Nothing, ""},
        {"-e/jobs/backup.cfz", StartupAction::RunJob, "/jobs/backup.cfz"},
        {"-E/jobs/backup.cfz", StartupAction::RunJob, "/jobs/backup.cfz"},
        {"/Ejobs/backup.cfz", StartupAction::RunJob, "jobs/backup.cfz"},
        // A blank after the switch belongs to the path.
        {"-e /jobs/backup.cfz", StartupAction::RunJob, " /jobs/backup.cfz"},
        {"-e", StartupAction::RunJob, ""},
        {"-x/jobs/backup.cfz", StartupAction::OpenDocument, "-x/jobs/backup.cfz"},
        {"/home/ann/my archive.zip", StartupAction::OpenDocument, "/home/ann/my archive.zip"},
        {"e", StartupAction::OpenDocument, "e"},
        {"-", StartupAction::OpenDocument, "-"},
        {"--extract /home/ann/my archive.zip", StartupAction::Extract, "/home/ann/my archive.zip"},
        {"--extract", StartupAction::OpenDocument, "--extract"},
        {"--extract ", StartupAction::OpenDocument, "--extract "},
        {"--unregister", StartupAction::Unregister, ""},
        {"--unregister now", StartupAction::OpenDocument, "--unregister now"},
    };
    for (const CommandLineCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseCommandLine(c.text), (CommandLineRequest{c.action, c.path}));
    }
}

TEST(CommandLine, SlashESwitchGivesWayToAnExistingAbsolutePath)
{
    std::set<std::string> onDisk{"/etc/archive.zip", "/e"};
    auto exists = [&](const std::string& path) { return onDisk.count(path) > 0; };
    EXPECT_EQ(parseCommandLine("/etc/archive.zip", exists),
              (CommandLineRequest{StartupAction::OpenDocument, "/etc/archive.zip"}));
    EXPECT_EQ(parseCommandLine("/e", exists), (CommandLineRequest{StartupAction::OpenDocument, "/e"}));
    EXPECT_EQ(parseCommandLine("/e/jobs/x.cfz", exists),
              (CommandLineRequest{StartupAction::RunJob, "/jobs/x.cfz"}));
    // The dash spelling never names an absolute path, so it is always the switch.
    EXPECT_EQ(parseCommandLine("-e/etc/archive.zip", exists),
              (CommandLineRequest{StartupAction::RunJob, "/etc/archive.zip"}));
}

TEST(CommandLine, JoinsArgumentsWithSingleBlanks)
{
    EXPECT_EQ(joinArguments({}), "");
    EXPECT_EQ(joinArguments({"/home/ann/my", "archive.zip"}), "/home/ann/my archive.zip");
    EXPECT_EQ(joinArguments({"-e", "/jobs/x.cfz"}), "-e /jobs/x.cfz");
    EXPECT_EQ(joinArguments({"", "a"}), " a");
}

TEST(JobKind, NamesTheJobByTheExtensionAfterTheLastSlash)
{
    const std::pair<const char*, JobKind> cases[] = {
        {"/jobs/a.cfz", JobKind::ZipJob},    {"/jobs/a.CFZ", JobKind::ZipJob},
        {"/jobs/a.Cfu", JobKind::UnzipJob},  {"a.cfu", JobKind::UnzipJob},
        {"/jobs/a.zip", JobKind::None},      {"/jobs/a.cfz.zip", JobKind::None},
        {"/jobs.cfz/readme", JobKind::None}, {"/jobs/cfz", JobKind::None},
        {"/jobs/a.cfzz", JobKind::None},     {"", JobKind::None},
        {"/jobs/.cfz", JobKind::ZipJob},
    };
    for (const auto& [path, kind] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(jobKindForPath(path), kind);
    }
}

} // namespace
