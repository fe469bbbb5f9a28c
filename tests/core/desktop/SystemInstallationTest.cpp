#include "core/desktop/DesktopRegistration.h"
#include "core/desktop/RegistrationPlan.h"
#include "core/desktop/SystemInstallation.h"
#include "core/layout/InstallLayout.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quarvo;
using quarvo::testing::readFile;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

// A package's files under root/usr: the program in bin and, in the data directory the installed
// layout puts beside it, the system desktop entry. The user's directories lie in root/home.
struct InstalledSandbox {
    TemporaryDirectory root;
    std::string program = root.file("usr/bin/quarvo");
    std::string systemData = fs::path(installedPath(root.file("usr/bin"), InstallLayout::dataDirectory())).lexically_normal().string();
    DesktopDirectories directories;
    std::vector<std::string> toolsRun;
    ToolRunner recordTools = [this](const std::vector<std::string>& arguments) { toolsRun.push_back(arguments.front()); };

    InstalledSandbox()
    {
        writeFile(program, "program");
        writeFile(systemData + "/applications/quarvo.desktop", "[Desktop Entry]\n");
        directories.home = root.file("home");
        directories.dataHome = root.file("home/data");
        directories.configHome = root.file("home/config");
        directories.templates = root.file("home/Templates");
        directories.systemData = {"/usr/share", systemData};
        fs::create_directories(*directories.templates);
    }
};

// The system's files count only for the installation they came with, and only where the desktop
// reads them.
TEST(SystemInstallation, IsTheProgramsOwnEntryInADataDirectoryTheDesktopReads)
{
    struct Case {
        const char* rule;
        std::function<void(InstalledSandbox&)> change;
        bool expected;
    };
    const Case cases[] = {
        {"the package's entry beside the program, in XDG_DATA_DIRS", [](InstalledSandbox&) {}, true},
        {"a data directory named through a link is the same place",
         [](InstalledSandbox& s) {
             fs::create_directory_symlink(s.systemData, s.root.file("share-link"));
             s.directories.systemData = {s.root.file("share-link")};
         },
         true},
        {"unpacked where the desktop does not look", [](InstalledSandbox& s) { s.directories.systemData = {"/usr/share"}; },
         false},
        {"no desktop entry was installed",
         [](InstalledSandbox& s) { fs::remove(s.systemData + "/applications/quarvo.desktop"); }, false},
        {"a copy in another prefix",
         [](InstalledSandbox& s) {
             s.program = s.root.file("opt/bin/quarvo");
             writeFile(s.program, "program");
         },
         false},
        {"a relative program path", [](InstalledSandbox& s) { s.program = "usr/bin/quarvo"; }, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.rule);
        InstalledSandbox sandbox;
        test.change(sandbox);
        EXPECT_EQ(installedForAllUsers(sandbox.directories, sandbox.program), test.expected);
    }
}

TEST(SystemInstallation, TheUserGetsOnlyTheTemplateAndTheAssociations)
{
    InstalledSandbox sandbox;
    RegistrationReport report = registerWithDesktop(sandbox.directories, sandbox.program, sandbox.recordTools);
    EXPECT_TRUE(report.failures.empty());
    std::string templateFile = *sandbox.directories.templates + "/" + templateFileName();
    EXPECT_EQ(report.written, std::vector<std::string>{templateFile});
    EXPECT_FALSE(fs::exists(sandbox.directories.dataHome + "/applications"));
    EXPECT_FALSE(fs::exists(sandbox.directories.dataHome + "/mime"));
    EXPECT_FALSE(fs::exists(sandbox.directories.dataHome + "/icons"));
    EXPECT_TRUE(sandbox.toolsRun.empty());
    EXPECT_TRUE(report.associationsChanged);
    std::string list = readFile(mimeAppsListPath(sandbox.directories));
    EXPECT_NE(list.find("application/zip=quarvo.desktop"), std::string::npos) << list;
}

// A user who ran an unpacked copy before the package was installed has a desktop entry of its own
// that would hide the package's: the installed program's first start takes it away.
TEST(SystemInstallation, AnEarlierCompleteRegistrationGivesWayToTheSystemFiles)
{
    InstalledSandbox sandbox;
    std::string unpacked = sandbox.root.file("home/quarvo-0.1/bin/quarvo");
    ASSERT_TRUE(registerWithDesktop(sandbox.directories, unpacked, sandbox.recordTools).failures.empty());
    std::vector<PlannedFile> earlier = registrationPlan(sandbox.directories, unpacked);

    sandbox.toolsRun.clear();
    RegistrationReport report = registerWithDesktop(sandbox.directories, sandbox.program, sandbox.recordTools);
    EXPECT_TRUE(report.failures.empty());
    EXPECT_TRUE(report.written.empty());
    EXPECT_EQ(report.removed.size(), earlier.size() - 1); // all but the template
    for (const PlannedFile& file : earlier)
        EXPECT_EQ(fs::exists(file.path), file.part == RegisteredPart::Template) << file.path;
    EXPECT_EQ(sandbox.toolsRun, (std::vector<std::string>{"update-mime-database", "update-desktop-database"}));
}

} // namespace
