#include "core/launch/ViewerProgram.h"

#include "support/TemporaryDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quarvo {
namespace {

using testing::ScopedEnvironment;
using testing::TemporaryDirectory;
using testing::writeFile;
namespace fs = std::filesystem;

// Program directories in every state the bundled viewer can be in, and a PATH directory that holds
// programs of every name involved, so a wrong search would find something.
class ViewerProgramTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        program("prog/quarvo-viewer");
        program("bin/quarvo-viewer");
        program("bin/VIEWER.EXE");
        program("bin/less");
        fs::create_directories(m_root.file("empty"));
        writeFile(m_root.file("notexecutable/quarvo-viewer"), "");
        fs::permissions(m_root.file("notexecutable/quarvo-viewer"),
                        fs::perms::owner_read | fs::perms::owner_write);
        fs::create_directories(m_root.file("directory/quarvo-viewer"));
        fs::create_directories(m_root.file("linked"));
        fs::create_symlink(m_root.file("prog/quarvo-viewer"), m_root.file("linked/quarvo-viewer"));
    }
    void program(const std::string& relative)
    {
        writeFile(m_root.file(relative), "#!/bin/sh\n");
        fs::permissions(m_root.file(relative), fs::perms::owner_all);
    }
    std::string dir(const char* name) const { return m_root.file(name); }

    TemporaryDirectory m_root;
    ScopedEnvironment m_path{"PATH", m_root.file("bin")};
};

TEST_F(ViewerProgramTest, DefaultNameMeansTheViewerBesideTheProgramOnly)
{
    struct Case {
        std::string name;
        std::string programDirectory;
        std::optional<std::string> expected;
    };
    const std::string bundled = dir("prog") + "/quarvo-viewer";
    const Case cases[] = {
        {"VIEWER.EXE", dir("prog"), bundled},
        {"viewer.exe", dir("prog"), bundled},
        {"VIEWER.EXE", dir("prog") + "/", bundled},
        {"VIEWER.EXE", dir("linked"), dir("linked") + "/quarvo-viewer"},
        // Absent, not a program or not a file: not found, although PATH holds both names.
        {"VIEWER.EXE", dir("empty"), std::nullopt},
        {"VIEWER.EXE", dir("notexecutable"), std::nullopt},
        {"VIEWER.EXE", dir("directory"), std::nullopt},
        {"VIEWER.EXE", "", std::nullopt},
        // Only the whole name is the default.
        {"VIEWER", dir("prog"), std::nullopt},
        {"VIEWER.EXE ", dir("prog"), std::nullopt},
    };
    for (const Case& test : cases)
        EXPECT_EQ(resolveViewerProgram(test.name, test.programDirectory), test.expected)
            << "\"" << test.name << "\" in \"" << test.programDirectory << "\"";
}

TEST_F(ViewerProgramTest, OtherNamesKeepTheProgramDirectoryThenPathRule)
{
    struct Case {
        std::string name;
        std::string programDirectory;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"less", dir("prog"), dir("bin") + "/less"},
        {"quarvo-viewer", dir("prog"), dir("prog") + "/quarvo-viewer"},
        {"quarvo-viewer", dir("empty"), dir("bin") + "/quarvo-viewer"},
        {"more", dir("prog"), std::nullopt},
        // A path is taken as it is, the default name's file included.
        {dir("bin") + "/VIEWER.EXE", dir("empty"), dir("bin") + "/VIEWER.EXE"},
        {dir("bin") + "/less", dir("prog"), dir("bin") + "/less"},
        {dir("bin") + "/more", dir("prog"), std::nullopt},
        {"", dir("prog"), std::nullopt},
    };
    for (const Case& test : cases)
        EXPECT_EQ(resolveViewerProgram(test.name, test.programDirectory), test.expected)
            << "\"" << test.name << "\" in \"" << test.programDirectory << "\"";
}

TEST_F(ViewerProgramTest, BundledViewerPathJoinsTheProgramDirectory)
{
    EXPECT_EQ(bundledViewerPath("/opt/quarvo/bin"), "/opt/quarvo/bin/quarvo-viewer");
    EXPECT_EQ(bundledViewerPath("/opt/quarvo/bin/"), "/opt/quarvo/bin/quarvo-viewer");
    EXPECT_EQ(bundledViewerPath("/"), "/quarvo-viewer");
    EXPECT_EQ(bundledViewerPath(""), "");
}

} // namespace
} // namespace quarvo
