// Job files on disk: written atomically, private when they hold a password, and read only when they
// are a regular file of a job file's size.

#include "core/jobs/JobFile.h"
#include "core/jobs/JobFormat.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/types.h>

using namespace quarvo;
using quarvo::testing::readFile;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;

namespace {

mode_t permissionsOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mode & 07777;
}

ProfileFile profileWith(const std::string& password)
{
    ProfileFile profile;
    profile.writeString("Options", "Password", password);
    return profile;
}

TEST(JobFile, APasswordMakesTheFileTheOwnersAloneAndOtherwiseThePermissionsStay)
{
    TemporaryDirectory directory;
    const std::string path = directory.file("backup.cfz");
    writeFile(path, "old");
    ::chmod(path.c_str(), 0644);

    ASSERT_TRUE(saveJobFile(profileWith("secret"), path, true).ok());
    EXPECT_EQ(permissionsOf(path), 0600u);
    EXPECT_EQ(readFile(path), "[Options]\nPassword=secret\n");

    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(saveJobFile(profileWith(""), path, false).ok());
    EXPECT_EQ(permissionsOf(path), 0640u);
    // Nothing is left beside it: the temporary file was renamed into place.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 1);
}

TEST(JobFile, AFailedSaveSaysWhyAndLeavesWhatWasThere)
{
    TemporaryDirectory directory;
    std::filesystem::create_directories(directory.file("taken.cfz"));
    Result<Ok> overDirectory = saveJobFile(profileWith("x"), directory.file("taken.cfz"), true);
    ASSERT_FALSE(overDirectory.ok());
    EXPECT_EQ(overDirectory.error().message, directory.file("taken.cfz") + " is a directory.");

    Result<Ok> missing = saveJobFile(profileWith("x"), directory.file("no/such/dir/a.cfz"), false);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().message, directory.file("no/such/dir/a.cfz") + " was not found.");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory.path()), {}), 1);
}

TEST(JobFile, ReadsOnlyARegularFileOfAJobFilesSize)
{
    TemporaryDirectory directory;
    const std::string job = directory.file("a.cfu");
    writeFile(job, "[Options]\r\nAction=1\r\n");
    Result<ProfileFile> read = loadJobFile(job);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->readInt("Options", "Action", 0), 1);

    const std::string fifo = directory.file("pipe.cfu");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = directory.file("huge.cfz");
    writeFile(huge, "[Comment]\n0=" + std::string(JobFormat::MaximumFileSize, 'x') + "\n");
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {directory.file("missing.cfz"), directory.file("missing.cfz") + " was not found."},
        {fifo, fifo + " is not a file."},
        {directory.path().string(), directory.path().string() + " is not a file."},
        {huge, huge + " is too large to be a job file."},
    };
    for (const Case& test : cases) {
        Result<ProfileFile> refused = loadJobFile(test.path);
        ASSERT_FALSE(refused.ok()) << test.path;
        EXPECT_EQ(refused.error().message, test.message);
    }
}

} // namespace
