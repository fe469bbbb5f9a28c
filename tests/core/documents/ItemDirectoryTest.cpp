#include "core/documents/ItemDirectory.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quarvo {
namespace {

using testing::readFile;
using testing::TemporaryDirectory;
using testing::writeFile;
namespace fs = std::filesystem;

TEST(ItemDirectory, EachItemGetsAPrivateDirectoryOfItsOwn)
{
    TemporaryDirectory root;
    const std::string scratch = root.file("scratch");
    fs::create_directories(scratch);
    Result<std::string> first = makeItemDirectory(scratch);
    Result<std::string> second = makeItemDirectory(scratch);
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(fs::path(*first).parent_path(), fs::path(scratch));
    EXPECT_EQ(fs::status(*first).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(makeItemDirectory(""));
    EXPECT_FALSE(makeItemDirectory(root.file("missing")));
}

TEST(ItemDirectory, RemovalTouchesOnlyAnItemDirectoryAndFollowsNoLink)
{
    TemporaryDirectory root;
    const std::string scratch = root.file("scratch");
    fs::create_directories(scratch);
    writeFile(root.file("outside/keep.txt"), "keep");
    Result<std::string> item = makeItemDirectory(scratch);
    ASSERT_TRUE(item);
    writeFile(*item + "/sub/copy.txt", "copy");
    fs::create_directory_symlink(root.file("outside"), *item + "/sub/link");

    // Paths that are not an item directory of this scratch directory stay, whatever they hold.
    fs::create_directory_symlink(root.file("outside"), scratch + "/item-LINKED");
    fs::create_directories(scratch + "/other-ABCDEF");
    const std::string refused[] = {root.file("outside"),
                                   scratch,
                                   scratch + "/item-LINKED",
                                   scratch + "/other-ABCDEF",
                                   *item + "/sub",
                                   scratch + "/../outside",
                                   *item + "/..",
                                   root.file("elsewhere/item-ABCDEF")};
    for (const std::string& path : refused)
        EXPECT_FALSE(removeItemDirectory(path, scratch)) << path;
    EXPECT_FALSE(removeItemDirectory(*item, ""));
    EXPECT_TRUE(fs::exists(*item + "/sub/copy.txt"));

    EXPECT_TRUE(removeItemDirectory(*item, scratch));
    EXPECT_FALSE(fs::exists(*item));
    EXPECT_EQ(readFile(root.file("outside/keep.txt")), "keep");
    EXPECT_TRUE(fs::is_directory(scratch + "/other-ABCDEF"));
}

} // namespace
} // namespace quarvo
