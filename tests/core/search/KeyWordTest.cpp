#include "core/search/KeyWord.h"
#include "core/search/PseudoFileSystems.h"
#include "core/search/SearchLocations.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace quarvo {
namespace {

TEST(KeyWord, IsFoundOnlyAsAWholeWordIgnoringCase)
{
    struct Case {
        const char* text;
        const char* key;
        bool found;
    };
    const Case cases[] = {
        {"a test.", "TEST", true},
        {"TEST", "test", true},
        {"TESTING", "TEST", false},
        {"CONTEST", "TEST", false},
        {"contest, then test", "TEST", true}, // the second occurrence stands alone
        {"test1 test2", "test", false},       // digits are word characters
        {"(test)", "test", true},
        {"caf\xc3\xa9test", "test", true}, // bytes of UTF-8 sequences are no ASCII letters
        {"anything", "", false},
        {"", "a", false},
        {"t", "test", false},
        // After a failed occurrence the look goes on one character later, and that character no
        // longer stands before the next occurrence: two A letters are found in three.
        {"AAA", "aa", true},
        {"XAAA", "AA", true},
        {"BAA", "AA", false},
        {"xtest", "test", false},
    };
    for (const Case& test : cases)
        EXPECT_EQ(containsKeyWord(test.text, test.key), test.found) << test.text << " / " << test.key;
}

TEST(SearchLocations, SplitAtEverySemicolonKeepingEmptyParts)
{
    EXPECT_EQ(splitLocations("/usr;/home"), (std::vector<std::string>{"/usr", "/home"}));
    EXPECT_EQ(splitLocations("/usr"), std::vector<std::string>{"/usr"});
    EXPECT_EQ(splitLocations(";/a;"), (std::vector<std::string>{"", "/a", ""}));
    EXPECT_EQ(splitLocations(""), std::vector<std::string>{""});
}

TEST(PseudoFileSystems, KernelPlacesAreLeftOutByPathAndByType)
{
    for (const char* path : {"/proc", "/sys", "/dev", "/run", "/proc/"})
        EXPECT_TRUE(isPseudoFileSystemPath(path)) << path;
    for (const char* path : {"/", "/usr", "/home/run", "/proc2", "/device", "/proc/self"})
        EXPECT_FALSE(isPseudoFileSystemPath(path)) << path;

    EXPECT_TRUE(isPseudoFileSystemType(0x9fa0));      // proc
    EXPECT_TRUE(isPseudoFileSystemType(0x62656572));  // sysfs
    EXPECT_FALSE(isPseudoFileSystemType(0xef53));     // ext4
    EXPECT_FALSE(isPseudoFileSystemType(0x01021994)); // tmpfs holds real files

    const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(proc, 0);
    EXPECT_TRUE(isOnPseudoFileSystem(proc));
    ::close(proc);
    const int usr = ::open("/usr", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(usr, 0);
    EXPECT_FALSE(isOnPseudoFileSystem(usr));
    ::close(usr);
}

} // namespace
} // namespace quarvo
