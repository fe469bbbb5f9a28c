#include "core/documents/CopyState.h"

#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace quarvo {
namespace {

using testing::crc32Of;
using testing::TemporaryDirectory;
using testing::writeFile;
namespace fs = std::filesystem;

// A local time the MS-DOS form holds exactly (an even second).
constexpr std::time_t EntryTime = 1735732800; // 2025-01-01 12:00:00 UTC

void setTime(const std::string& path, std::time_t time, long nanoseconds = 0)
{
    struct timespec times[2] = {{time, 0}, {time, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

TEST(CopyState, UnchangedExactlyWhenSizeAndCrcAgreeWhateverTheTime)
{
    TemporaryDirectory root;
    const std::string contents = "the entry's contents";
    const EntryFingerprint entry{contents.size(), crc32Of(contents)};
    struct Case {
        const char* what;
        std::string contents;
        std::time_t time;
        long nanoseconds;
        CopyState expected;
    };
    const Case cases[] = {
        {"untouched", contents, EntryTime, 0, CopyState::Unchanged},
        // The MS-DOS time has two-second steps: a save within the same tick keeps it.
        {"saved again unchanged in the same tick", contents, EntryTime + 1, 500, CopyState::Unchanged},
        {"edited in the same tick, same size", "THE entry's contents", EntryTime + 1, 0, CopyState::Changed},
        {"edited, other size", contents + "!", EntryTime, 0, CopyState::Changed},
        // Only read, or touched: nothing to put back. An extracted copy whose exact time is an odd
        // second while the archive rounded the entry's up is the same case.
        {"touched later", contents, EntryTime + 2, 0, CopyState::Unchanged},
        {"a second before the rounded entry time", contents, EntryTime - 1, 0, CopyState::Unchanged},
    };
    for (const Case& test : cases) {
        const std::string path = root.file("copy.txt");
        writeFile(path, test.contents);
        setTime(path, test.time, test.nanoseconds);
        EXPECT_EQ(inspectCopy(path, entry), test.expected) << test.what;
    }
}

TEST(CopyState, NothingButARegularFileIsTheCopy)
{
    TemporaryDirectory root;
    const std::string contents = "x";
    writeFile(root.file("target.txt"), contents);
    setTime(root.file("target.txt"), EntryTime);
    const EntryFingerprint entry{contents.size(), crc32Of(contents)};
    ASSERT_EQ(inspectCopy(root.file("target.txt"), entry), CopyState::Unchanged);
    // A link to a file that would pass is still no copy.
    fs::create_symlink(root.file("target.txt"), root.file("link.txt"));
    fs::create_directories(root.file("directory"));
    for (const char* name : {"missing.txt", "link.txt", "directory", "missing/deeper.txt"}) {
        EXPECT_EQ(inspectCopy(root.file(name), entry), CopyState::Missing) << name;
        EXPECT_FALSE(fingerprintOf(root.file(name))) << name;
    }
    // The fingerprint of the regular file is what inspectCopy compares with.
    std::optional<EntryFingerprint> made = fingerprintOf(root.file("target.txt"));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->size, entry.size);
    EXPECT_EQ(made->crc32, entry.crc32);
}

} // namespace
} // namespace quarvo
