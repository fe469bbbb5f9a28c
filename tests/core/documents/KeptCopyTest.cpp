#include "core/documents/KeptCopy.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace quarvo {
namespace {

using testing::readFile;
using testing::ScopedEnvironment;
using testing::TemporaryDirectory;
using testing::writeFile;
namespace fs = std::filesystem;

TEST(KeptCopy, TheKeptPlaceLiesInTheUsersDataDirectory)
{
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment data("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(defaultKeptCopiesDirectory(), "/data/home/quarvo/kept");
    }
    // A relative value is ignored, as the base directory rules say.
    ScopedEnvironment relative("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(defaultKeptCopiesDirectory(), "/home/someone/.local/share/quarvo/kept");
}

TEST(KeptCopy, ACopyIsKeptWithItsContentsAndTimeUnderANewDirectory)
{
    TemporaryDirectory root;
    const std::string copy = root.file("scratch/item-ABCDEF/dir/notes.txt");
    writeFile(copy, "edited");
    struct timespec times[2] = {{1700000000, 0}, {1700000000, 123}};
    ASSERT_EQ(::utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
    const std::string keptRoot = root.file("data/quarvo/kept");
    Result<std::string> first = keepChangedCopy(copy, keptRoot, "/archives/Project.v2.zip");
    Result<std::string> second = keepChangedCopy(copy, keptRoot, "/archives/Project.v2.zip");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(fs::path(*first).filename(), "notes.txt");
    EXPECT_TRUE(fs::path(*first).parent_path().filename().string().starts_with("Project.v2-"));
    EXPECT_EQ(fs::path(*first).parent_path().parent_path(), fs::path(keptRoot));
    EXPECT_EQ(readFile(*first), "edited");
    struct stat status {};
    ASSERT_EQ(::stat(first->c_str(), &status), 0);
    EXPECT_EQ(status.st_mtim.tv_sec, 1700000000);
    EXPECT_EQ(fs::status(keptRoot).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(readFile(copy), "edited");
}

TEST(KeptCopy, ALinkOrAnUnusablePlaceIsRefusedAndLeavesNothing)
{
    TemporaryDirectory root;
    writeFile(root.file("secret.txt"), "secret");
    fs::create_symlink(root.file("secret.txt"), root.file("link.txt"));
    const std::string keptRoot = root.file("kept");
    EXPECT_FALSE(keepChangedCopy(root.file("link.txt"), keptRoot, "A.ZIP"));
    EXPECT_TRUE(fs::is_empty(keptRoot));
    writeFile(root.file("copy.txt"), "copy");
    writeFile(root.file("blocked"), "a file where the directory should be");
    Result<std::string> blocked = keepChangedCopy(root.file("copy.txt"), root.file("blocked"), "A.ZIP");
    ASSERT_FALSE(blocked);
    EXPECT_FALSE(blocked.error().message.empty());
}

} // namespace
} // namespace quarvo
