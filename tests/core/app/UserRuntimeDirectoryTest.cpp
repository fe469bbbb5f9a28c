#include "core/app/UserRuntimeDirectory.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace quarvo;
using quarvo::testing::ScopedEnvironment;
using quarvo::testing::TemporaryDirectory;

namespace {

mode_t modeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

TEST(UserRuntimeDirectory, LivesInTheXdgRuntimeDirectoryWhenThatIsPrivate)
{
    TemporaryDirectory runtime;
    ::chmod(runtime.path().c_str(), 0700);
    ScopedEnvironment environment("XDG_RUNTIME_DIR", runtime.path().string());
    auto directory = userRuntimeDirectory();
    ASSERT_TRUE(directory) << directory.error().message;
    EXPECT_EQ(*directory, runtime.file("quarvo"));
    EXPECT_EQ(modeOf(*directory), 0700u);
}

TEST(UserRuntimeDirectory, FallsBackToAPrivateTemporaryDirectoryWhenXdgIsOpenToOthers)
{
    TemporaryDirectory runtime;
    TemporaryDirectory temporary;
    ::chmod(runtime.path().c_str(), 0755);
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", runtime.path().string());
    ScopedEnvironment tmp("TMPDIR", temporary.path().string());
    auto directory = userRuntimeDirectory();
    ASSERT_TRUE(directory) << directory.error().message;
    EXPECT_EQ(*directory, temporary.file("quarvo-" + std::to_string(::geteuid())));
    EXPECT_EQ(modeOf(*directory), 0700u);
    EXPECT_FALSE(std::filesystem::exists(runtime.path() / "quarvo"));
}

TEST(UserRuntimeDirectory, FallsBackWhenXdgIsUnsetOrRelative)
{
    TemporaryDirectory temporary;
    ScopedEnvironment tmp("TMPDIR", temporary.path().string());
    for (const char* value : {"", "relative/dir"}) {
        ScopedEnvironment xdg("XDG_RUNTIME_DIR", value);
        auto directory = userRuntimeDirectory();
        ASSERT_TRUE(directory);
        EXPECT_EQ(*directory, temporary.file("quarvo-" + std::to_string(::geteuid())));
    }
}

TEST(UserRuntimeDirectory, RefusesASymbolicLinkPlantedInItsPlace)
{
    TemporaryDirectory temporary;
    TemporaryDirectory elsewhere;
    std::filesystem::create_directory_symlink(elsewhere.path(),
                                              temporary.path() / ("quarvo-" + std::to_string(::geteuid())));
    ScopedEnvironment xdg("XDG_RUNTIME_DIR", "");
    ScopedEnvironment tmp("TMPDIR", temporary.path().string());
    EXPECT_FALSE(userRuntimeDirectory());
}

TEST(UserRuntimeDirectory, TightensAnOwnDirectoryThatIsOpenToOthers)
{
    TemporaryDirectory temporary;
    std::string path = temporary.file("own");
    ASSERT_EQ(::mkdir(path.c_str(), 0777), 0);
    ::chmod(path.c_str(), 0777);
    EXPECT_TRUE(ensurePrivateDirectory(path));
    EXPECT_EQ(modeOf(path), 0700u);
    quarvo::testing::writeFile(temporary.path() / "file", "x");
    EXPECT_FALSE(ensurePrivateDirectory(temporary.file("file")));
}

TEST(InstanceSocket, IsNamedFromTheExecutableBaseNameAndSystem)
{
    const std::pair<const char*, const char*> names[] = {
        {"/usr/bin/quarvo", "quarvo"}, {"/opt/q/quarvo.bin", "quarvo"},
        {"quarvo", "quarvo"},          {"/x.y/archiver.tar.run", "archiver.tar"},
        {"/opt/.hidden", ".hidden"},
    };
    for (const auto& [path, base] : names)
        EXPECT_EQ(executableBaseName(path), base) << path;
    EXPECT_EQ(instanceSocketPath("/run/user/1000/quarvo", "quarvo"), "/run/user/1000/quarvo/quarvosystem");
}

} // namespace
