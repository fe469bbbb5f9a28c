#include "core/launch/FindOnPath.h"

#include "support/TemporaryDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quarvo {
namespace {

using testing::ScopedEnvironment;
using testing::TemporaryDirectory;
using testing::writeFile;

// Directories a, b and c under a temporary root; "prog" holds the program.
class FindOnPathTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        for (const char* directory : {"prog", "a", "b", "c"})
            std::filesystem::create_directory(m_root.file(directory));
        writeFile(m_root.file("prog/both"), "");
        writeFile(m_root.file("b/both"), "");
        writeFile(m_root.file("b/viewer"), "");
        writeFile(m_root.file("c/viewer"), "");
        writeFile(m_root.file("c/last"), "");
        std::filesystem::create_directory(m_root.file("a/subdir"));
    }
    std::string dir(const char* name) const { return m_root.file(name); }

    TemporaryDirectory m_root;
};

TEST_F(FindOnPathTest, LooksInTheProgramDirectoryFirstThenPathInOrder)
{
    const std::string path = dir("a") + ":" + dir("b") + ":" + dir("c");
    EXPECT_EQ(findOnPath("both", dir("prog"), path), dir("prog") + "/both");
    EXPECT_EQ(findOnPath("viewer", dir("prog"), path), dir("b") + "/viewer");
    // The text after the last separator is a directory too.
    EXPECT_EQ(findOnPath("last", dir("prog"), path), dir("c") + "/last");
    EXPECT_EQ(findOnPath("last", dir("prog"), dir("c") + "/"), dir("c") + "/last");
    // Anything that exists counts, as a directory listing would find it.
    EXPECT_EQ(findOnPath("subdir", "", path), dir("a") + "/subdir");
}

TEST_F(FindOnPathTest, NamesFoundNowhereAreNotFound)
{
    const std::string path = dir("a") + ":" + dir("b");
    EXPECT_FALSE(findOnPath("last", dir("prog"), path));
    EXPECT_FALSE(findOnPath("", dir("prog"), path));
    // Disk names are case-sensitive.
    EXPECT_FALSE(findOnPath("VIEWER", dir("prog"), path));
    EXPECT_FALSE(findOnPath("viewer", dir("prog"), dir("missing") + ":" + dir("a")));
}

TEST_F(FindOnPathTest, EmptyPathElementMeansTheCurrentDirectory)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir("c"));
    for (const std::string& path : {dir("a") + "::" + dir("b"), ":" + dir("a"), dir("a") + ":"})
        EXPECT_EQ(findOnPath("last", dir("prog"), path), "./last") << path;
    EXPECT_FALSE(findOnPath("last", dir("prog"), dir("a")));
    std::filesystem::current_path(previous);
}

TEST_F(FindOnPathTest, UsesThePathOfTheEnvironment)
{
    {
        ScopedEnvironment path("PATH", dir("a") + ":" + dir("c"));
        EXPECT_EQ(findOnPath("viewer", dir("prog")), dir("c") + "/viewer");
    }
    ScopedEnvironment path("PATH", "");
    unsetenv("PATH");
    // Without PATH only the program directory is searched, not the current directory.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir("c"));
    EXPECT_FALSE(findOnPath("last", dir("prog")));
    EXPECT_EQ(findOnPath("both", dir("prog")), dir("prog") + "/both");
    std::filesystem::current_path(previous);
}

} // namespace
} // namespace quarvo
