#include "core/documents/RemovableDrive.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace quarvo;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;

namespace {

TEST(RemovableDrive, MountPointsBelowMediaAreRemovable)
{
    const std::pair<const char*, bool> cases[] = {
        {"/media", true},        {"/media/usb/A.ZIP", true}, {"/run/media/me/stick/A.ZIP", true},
        {"/mediafiles/A.ZIP", false}, {"/home/me/media/A.ZIP", false}, {"/run/mediate/A.ZIP", false},
    };
    for (const auto& [path, removable] : cases)
        EXPECT_EQ(isRemovableMountPath(path), removable) << path;
}

// A sysfs tree in which the test file's device is a partition of a disk with the given removable
// flag.
class RemovableDriveSysfs : public ::testing::Test {
  protected:
    void makeSysfs(const char* removableFlag)
    {
        struct stat status {};
        ASSERT_EQ(::stat(file.c_str(), &status), 0);
        const std::filesystem::path sys = directory.path() / "sys";
        const std::filesystem::path disk = sys / "devices" / "sdz";
        writeFile(disk / "removable", removableFlag);
        writeFile(disk / "sdz1" / "partition", "1\n");
        std::filesystem::create_directories(sys / "dev" / "block");
        std::filesystem::remove(sys / "dev" / "block" / deviceName(status));
        std::filesystem::create_directory_symlink(disk / "sdz1", sys / "dev" / "block" / deviceName(status));
    }

    static std::string deviceName(const struct stat& status)
    {
        return std::to_string(major(status.st_dev)) + ":" + std::to_string(minor(status.st_dev));
    }

    TemporaryDirectory directory;
    std::string file = directory.file("A.ZIP");
};

TEST_F(RemovableDriveSysfs, ThePartitionsDiskDecides)
{
    writeFile(file, "zip");
    const std::string sys = directory.file("sys");
    makeSysfs("1\n");
    EXPECT_TRUE(isOnRemovableDrive(file, sys));
    makeSysfs("0\n");
    EXPECT_FALSE(isOnRemovableDrive(file, sys));
    // A file that is not there, or a device sysfs does not know, is not removable.
    EXPECT_FALSE(isOnRemovableDrive(directory.file("MISSING.ZIP"), sys));
    EXPECT_FALSE(isOnRemovableDrive(file, directory.file("no-sys")));
}

} // namespace
