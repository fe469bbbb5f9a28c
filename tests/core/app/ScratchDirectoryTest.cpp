#include "core/app/ScratchDirectory.h"
#include "core/app/DirectoryContentsRemoval.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace quarvo;
using quarvo::testing::readFile;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

size_t entryCount(const fs::path& directory)
{
    return static_cast<size_t>(std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

TEST(ScratchDirectory, IsCreatedEmptyAndNamedZiptempTmp)
{
    TemporaryDirectory runtime;
    auto scratch = ScratchDirectory::create(runtime.path().string());
    ASSERT_TRUE(scratch) << scratch.error().message;
    EXPECT_EQ(fs::path(scratch->path()).filename(), "ZIPTEMP.TMP");
    EXPECT_TRUE(fs::is_directory(scratch->path()));
    EXPECT_EQ(entryCount(scratch->path()), 0u);
    EXPECT_EQ(fs::path(scratch->path()).parent_path().parent_path(), runtime.path() / "scratch");
}

TEST(ScratchDirectory, EmptyingDeletesNestedAndReadOnlyContentButKeepsTheDirectory)
{
    TemporaryDirectory runtime;
    auto scratch = ScratchDirectory::create(runtime.path().string());
    ASSERT_TRUE(scratch);
    fs::path root = scratch->path();
    writeFile(root / "a.txt", "a");
    writeFile(root / "view1" / "deep" / "b.txt", "b");
    writeFile(root / "locked" / "c.txt", "c");
    ::chmod((root / "locked").c_str(), 0500);
    ::chmod((root / "a.txt").c_str(), 0400);

    EXPECT_TRUE(scratch->empty());
    EXPECT_TRUE(fs::is_directory(root));
    EXPECT_EQ(entryCount(root), 0u);
}

TEST(ScratchDirectory, EmptyingNeverFollowsALinkOutOfTheDirectory)
{
    TemporaryDirectory runtime;
    TemporaryDirectory outside;
    writeFile(outside.path() / "keep" / "precious.txt", "precious");
    auto scratch = ScratchDirectory::create(runtime.path().string());
    ASSERT_TRUE(scratch);
    fs::path root = scratch->path();
    fs::create_directory_symlink(outside.path() / "keep", root / "linked-dir");
    fs::create_symlink(outside.path() / "keep" / "precious.txt", root / "linked-file");
    writeFile(root / "sub" / "x", "x");
    fs::create_directory_symlink(outside.path(), root / "sub" / "up");

    EXPECT_TRUE(scratch->empty());
    EXPECT_EQ(entryCount(root), 0u);
    EXPECT_EQ(readFile(outside.path() / "keep" / "precious.txt"), "precious");
}

TEST(ScratchDirectory, RemoveTakesTheInstanceDirectoryAway)
{
    TemporaryDirectory runtime;
    auto scratch = ScratchDirectory::create(runtime.path().string());
    ASSERT_TRUE(scratch);
    fs::path instance = fs::path(scratch->path()).parent_path();
    writeFile(fs::path(scratch->path()) / "left" / "over.txt", "x");
    scratch->remove();
    EXPECT_FALSE(fs::exists(instance));
    EXPECT_TRUE(scratch->path().empty());
    scratch->remove();
    EXPECT_FALSE(scratch->empty());
}

TEST(ScratchDirectory, LeavesARunningInstanceAloneAndSweepsAnAbandonedOne)
{
    TemporaryDirectory runtime;
    auto running = ScratchDirectory::create(runtime.path().string());
    ASSERT_TRUE(running);
    writeFile(fs::path(running->path()) / "open-view.txt", "in use");

    // An instance that ended without cleaning up leaves its directory behind with nobody holding
    // its lock.
    fs::path abandoned = runtime.path() / "scratch" / "instance-gone00";
    writeFile(abandoned / "lock", "");
    writeFile(abandoned / "ZIPTEMP.TMP" / "old.txt", "old");

    auto second = ScratchDirectory::create(runtime.path().string());
    ASSERT_TRUE(second);
    EXPECT_NE(second->path(), running->path());
    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_EQ(readFile(fs::path(running->path()) / "open-view.txt"), "in use");

    second->empty();
    second->remove();
    EXPECT_EQ(readFile(fs::path(running->path()) / "open-view.txt"), "in use");
    EXPECT_EQ(removeAbandonedScratchDirectories(runtime.path().string()), 0);
}

TEST(ScratchDirectory, MovedObjectOwnsTheDirectoryOnce)
{
    TemporaryDirectory runtime;
    auto created = ScratchDirectory::create(runtime.path().string());
    ASSERT_TRUE(created);
    ScratchDirectory moved = std::move(*created);
    EXPECT_TRUE(created->path().empty());
    created->remove();
    EXPECT_TRUE(fs::is_directory(moved.path()));
}

TEST(DirectoryContentsRemoval, RefusesAPathThatIsALink)
{
    TemporaryDirectory area;
    writeFile(area.path() / "real" / "kept.txt", "kept");
    fs::create_directory_symlink(area.path() / "real", area.path() / "link");
    EXPECT_FALSE(removeDirectoryContents(area.file("link")));
    EXPECT_FALSE(removeDirectoryTree(area.file("link")));
    EXPECT_EQ(readFile(area.path() / "real" / "kept.txt"), "kept");
}

} // namespace
