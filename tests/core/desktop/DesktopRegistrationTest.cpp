#include "core/desktop/DesktopRegistration.h"

#include "core/desktop/RegistrationPlan.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>

using namespace quarvo;
using quarvo::testing::readFile;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

// A user's home in a temporary directory, with a templates directory, and a tool runner that
// records what it is asked to run.
struct DesktopSandbox {
    TemporaryDirectory root;
    DesktopDirectories directories;
    std::vector<std::string> toolsRun;
    ToolRunner recordTools = [this](const std::vector<std::string>& arguments) { toolsRun.push_back(arguments.front()); };

    DesktopSandbox()
    {
        directories.home = root.path().string();
        directories.dataHome = root.file("data");
        directories.configHome = root.file("config");
        directories.templates = root.file("Templates");
        fs::create_directories(*directories.templates);
    }

    RegistrationReport registerProgram(std::string_view program = "/usr/bin/quarvo")
    {
        toolsRun.clear();
        return registerWithDesktop(directories, program, recordTools);
    }
};

struct FileIdentity {
    ino_t inode;
    timespec modified;

    bool operator==(const FileIdentity& other) const
    {
        return inode == other.inode && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FileIdentity identityOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return {status.st_ino, status.st_mtim};
}

TEST(DesktopRegistration, WritesEveryFileOnceAndRunsTheToolsOnlyAfterAChange)
{
    DesktopSandbox sandbox;
    std::vector<PlannedFile> plan = registrationPlan(sandbox.directories, "/usr/bin/quarvo");
    RegistrationReport first = sandbox.registerProgram();
    EXPECT_TRUE(first.failures.empty());
    EXPECT_EQ(first.written.size(), plan.size());
    EXPECT_EQ(sandbox.toolsRun, (std::vector<std::string>{"update-mime-database", "update-desktop-database"}));
    std::vector<FileIdentity> before;
    for (const PlannedFile& file : plan) {
        EXPECT_EQ(readFile(file.path), file.content) << file.path;
        before.push_back(identityOf(file.path));
    }
    std::string templateBytes = readFile(*sandbox.directories.templates + "/Quarvo ZIP File.zip");
    EXPECT_EQ(templateBytes, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    FileIdentity mimeApps = identityOf(mimeAppsListPath(sandbox.directories));
    FileIdentity manifest = identityOf(registrationManifestPath(sandbox.directories));

    RegistrationReport second = sandbox.registerProgram();
    EXPECT_TRUE(second.written.empty());
    EXPECT_FALSE(second.associationsChanged);
    EXPECT_TRUE(sandbox.toolsRun.empty());
    for (size_t i = 0; i < plan.size(); ++i)
        EXPECT_EQ(identityOf(plan[i].path), before[i]) << plan[i].path;
    EXPECT_EQ(identityOf(mimeAppsListPath(sandbox.directories)), mimeApps);
    EXPECT_EQ(identityOf(registrationManifestPath(sandbox.directories)), manifest);

    // A moved program rewrites its desktop entry alone, and only the desktop database hears of it.
    RegistrationReport moved = sandbox.registerProgram("/opt/quarvo/bin/quarvo");
    ASSERT_EQ(moved.written.size(), 1u);
    EXPECT_EQ(moved.written.front(), plan.front().path);
    EXPECT_EQ(sandbox.toolsRun, std::vector<std::string>{"update-desktop-database"});
}

TEST(DesktopRegistration, NeverReplacesTheDefaultTheUserChose)
{
    DesktopSandbox sandbox;
    std::string mine = "[Default Applications]\napplication/zip=ark.desktop\n";
    writeFile(mimeAppsListPath(sandbox.directories), mine);
    sandbox.registerProgram();
    std::string list = readFile(mimeAppsListPath(sandbox.directories));
    EXPECT_TRUE(list.starts_with(mine + "application/x-tar=quarvo.desktop\n")) << list;
    EXPECT_NE(list.find("[Added Associations]\napplication/zip=quarvo.desktop;\n"), std::string::npos) << list;
}

TEST(DesktopRegistration, UnregisteringRemovesExactlyWhatWasWritten)
{
    DesktopSandbox sandbox;
    std::string userList = "[Default Applications]\napplication/zip=ark.desktop\n\n[Added Associations]\n";
    writeFile(mimeAppsListPath(sandbox.directories), userList);
    std::string neighbour = sandbox.directories.dataHome + "/applications/other.desktop";
    std::string userTemplate = *sandbox.directories.templates + "/Letter.odt";
    writeFile(neighbour, "[Desktop Entry]\n");
    writeFile(userTemplate, "letter");
    sandbox.registerProgram();
    std::set<std::string> before;
    for (const auto& entry : fs::recursive_directory_iterator(sandbox.root.path()))
        before.insert(entry.path().string());

    std::vector<PlannedFile> plan = registrationPlan(sandbox.directories, "/usr/bin/quarvo");
    sandbox.toolsRun.clear();
    RegistrationReport report = unregisterFromDesktop(sandbox.directories, sandbox.recordTools);
    EXPECT_TRUE(report.failures.empty());
    EXPECT_EQ(report.removed.size(), plan.size());
    std::set<std::string> gone;
    for (const std::string& path : before) {
        if (!fs::exists(path))
            gone.insert(path);
    }
    std::set<std::string> expected{registrationManifestPath(sandbox.directories)};
    for (const PlannedFile& file : plan)
        expected.insert(file.path);
    EXPECT_EQ(gone, expected);
    EXPECT_EQ(readFile(mimeAppsListPath(sandbox.directories)), userList);
    EXPECT_EQ(sandbox.toolsRun, (std::vector<std::string>{"update-mime-database", "update-desktop-database"}));
}

TEST(DesktopRegistration, AnEditedManifestRemovesNothingOutsideOurDirectories)
{
    DesktopSandbox sandbox;
    std::string victim = sandbox.root.file("documents/thesis.txt");
    std::string linkInData = sandbox.directories.dataHome + "/applications/link.desktop";
    writeFile(victim, "precious");
    fs::create_directories(fs::path(linkInData).parent_path());
    fs::create_symlink(victim, linkInData);
    writeFile(registrationManifestPath(sandbox.directories),
              victim + "\n" + sandbox.directories.dataHome + "/../documents/thesis.txt\n" + linkInData + "\n");
    RegistrationReport report = unregisterFromDesktop(sandbox.directories, sandbox.recordTools);
    EXPECT_TRUE(report.removed.empty());
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(linkInData));
}

TEST(DesktopRegistration, FilesNoLongerPlannedAreRemovedAtTheNextStart)
{
    DesktopSandbox sandbox;
    sandbox.registerProgram();
    std::string templateFile = *sandbox.directories.templates + "/Quarvo ZIP File.zip";
    ASSERT_TRUE(fs::exists(templateFile));
    sandbox.directories.templates.reset();
    RegistrationReport report = sandbox.registerProgram();
    EXPECT_EQ(report.removed, std::vector<std::string>{templateFile});
    EXPECT_FALSE(fs::exists(templateFile));
}

TEST(DesktopRegistration, OnlyACopyOutsideTheBuildTreeRegistersUnlessForced)
{
    struct Case {
        std::string_view executable;
        std::string_view buildDirectory;
        std::string_view force;
        bool wanted;
    };
    const Case cases[] = {
        {"/usr/bin/quarvo", "/home/ann/quarvo/build", "", true},
        {"/home/ann/quarvo/build/src/gui/quarvo", "/home/ann/quarvo/build", "", false},
        {"/home/ann/quarvo/build/src/gui/quarvo", "/home/ann/quarvo/build/", "", false},
        {"/home/ann/quarvo/build/src/gui/quarvo", "/home/ann/quarvo/build", "1", true},
        {"/home/ann/quarvo/build/src/gui/quarvo", "/home/ann/quarvo/build", "0", false},
        {"/home/ann/quarvo/build2/quarvo", "/home/ann/quarvo/build", "", true},
        {"/home/ann/quarvo/build/../install/quarvo", "/home/ann/quarvo/build", "", true},
        {"/usr/bin/quarvo", "", "", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(registrationWanted(c.executable, c.buildDirectory, c.force), c.wanted) << c.executable;
}

} // namespace
