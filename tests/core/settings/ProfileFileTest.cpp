#include "core/settings/ProfileFile.h"
#include "core/settings/LeadingInteger.h"

#include "FailingWrites.h"
#include "support/TemporaryDirectory.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {
namespace {

using testing::readFile;
using testing::TemporaryDirectory;
using testing::writeFile;

// A string literal with its embedded NUL bytes.
template <size_t N> std::string bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

TEST(LeadingInteger, ReadsSignAndLeadingDigitsOnly)
{
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"12", 12},
        {"-7", -7},
        {"+3", 3},
        {"  42x", 42}, // leading blanks skipped, trailing text ignored
        {"5 6", 5},
        {"abc", 0}, // no digits: 0
        {"-", 0},
        {"", 0},
        {"0012", 12},
        {"1.9", 1},
        {"2147483647", INT_MAX}, // the range ends exactly
        {"-2147483648", INT_MIN},
        {"99999999999999999999", INT_MAX}, // saturates rather than wraps
        {"-99999999999999999999", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseLeadingInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ProfileFile, MissingFileSectionOrKeyGivesTheDefault)
{
    TemporaryDirectory directory;
    ProfileFile missing = ProfileFile::load(directory.file("absent.ini"));
    EXPECT_EQ(missing.readInt("Options", "Recurse", 7), 7);

    ProfileFile profile = ProfileFile::parse("[Options]\nRecurse=1\nEmpty=\n");
    EXPECT_EQ(profile.readString("Other", "Recurse", "default"), "default");
    EXPECT_EQ(profile.readString("Options", "Missing", "default"), "default");
    EXPECT_FALSE(profile.value("Options", "Missing"));
    // An empty number is no number: the default, as profile readers have always done.
    EXPECT_EQ(profile.readInt("Options", "Empty", 9), 9);
    EXPECT_EQ(profile.readString("Options", "Empty", "default"), "");
}

TEST(ProfileFile, ReadsValuesVerbatim)
{
    ProfileFile profile = ProfileFile::parse("[S]\n"
                                             "Spaces=  two blanks and a tab\t\n"
                                             "Equals=a=b\n"
                                             "Quoted=\"quoted\"\n"
                                             "  Indented  =x\n"
                                             "Unicode=Grüße/日本\n");
    EXPECT_EQ(profile.readString("S", "Spaces", ""), "  two blanks and a tab\t");
    EXPECT_EQ(profile.readString("S", "Equals", ""), "a=b");
    EXPECT_EQ(profile.readString("S", "Quoted", ""), "\"quoted\"");
    EXPECT_EQ(profile.readString("S", "Indented", ""), "x");
    EXPECT_EQ(profile.readString("S", "Unicode", ""), "Grüße/日本");
}

TEST(ProfileFile, FirstOfDuplicateSectionsAndKeysWinsForReadingAndWriting)
{
    ProfileFile profile = ProfileFile::parse("[A]\nK=first\nK=second\n[a]\nK=third\nOnlyLater=1\n");
    EXPECT_EQ(profile.readString("A", "K", ""), "first");
    // A key that exists only in the repeated section is not seen: that section is shadowed.
    EXPECT_FALSE(profile.value("A", "OnlyLater"));

    ASSERT_TRUE(profile.writeString("A", "K", "new"));
    EXPECT_EQ(profile.text(), "[A]\nK=new\nK=second\n[a]\nK=third\nOnlyLater=1\n");
}

TEST(ProfileFile, AcceptsCrLfAndAByteOrderMarkAndWritesLf)
{
    ProfileFile profile =
        ProfileFile::parse("\xEF\xBB\xBF[General]\r\nCurrentDir=/home/u\r\r\nAfterDate=a\rb\r\nLogFile=1");
    EXPECT_EQ(profile.readString("General", "CurrentDir", ""), "/home/u");
    EXPECT_EQ(profile.readString("General", "AfterDate", ""), "a\rb");
    EXPECT_EQ(profile.readInt("General", "LogFile", 0), 1);
    EXPECT_EQ(profile.text(), "[General]\nCurrentDir=/home/u\nAfterDate=a\rb\nLogFile=1\n");
}

TEST(ProfileFile, WriteReplacesInPlaceAndKeepsEveryOtherLine)
{
    const std::string original = "; written by hand\n"
                                 "[Foreign]\n"
                                 "Keep=me\n"
                                 "\n"
                                 "[Options]\n"
                                 "Zeta=1\n"
                                 "recurse = 0\n"
                                 "Alpha=2\n"
                                 "not a key line\n"
                                 "\n"
                                 "[Tail]\n"
                                 "X=y\n";
    ProfileFile profile = ProfileFile::parse(original);
    ASSERT_TRUE(profile.writeInt("OPTIONS", "Recurse", 1));
    // The key keeps its spelling; the value, everything after "=", is replaced whole.
    EXPECT_EQ(profile.text(), "; written by hand\n"
                              "[Foreign]\n"
                              "Keep=me\n"
                              "\n"
                              "[Options]\n"
                              "Zeta=1\n"
                              "recurse =1\n"
                              "Alpha=2\n"
                              "not a key line\n"
                              "\n"
                              "[Tail]\n"
                              "X=y\n");
}

TEST(ProfileFile, NewKeyGoesAfterTheLastKeyOfItsSectionAndNewSectionAtTheEnd)
{
    ProfileFile profile = ProfileFile::parse("[Options]\nA=1\n\n; about Tail\n[Tail]\nX=y\n");
    ASSERT_TRUE(profile.writeString("Options", "B", "2"));
    ASSERT_TRUE(profile.writeString("Settings", "PreviewPages", "2"));
    EXPECT_EQ(profile.text(),
              "[Options]\nA=1\nB=2\n\n; about Tail\n[Tail]\nX=y\n\n[Settings]\nPreviewPages=2\n");

    ProfileFile empty;
    ASSERT_TRUE(empty.writeString("General", "AlwaysOnTop", "0"));
    EXPECT_EQ(empty.text(), "[General]\nAlwaysOnTop=0\n");
}

TEST(ProfileFile, HeaderWithoutClosingBracketOpensNoSection)
{
    ProfileFile profile = ProfileFile::parse("[Good]\nA=1\n[Broken\nB=2\n");
    EXPECT_FALSE(profile.hasSection("Broken"));
    // Its keys stay with the section before it.
    EXPECT_EQ(profile.readString("Good", "B", ""), "2");
}

TEST(ProfileFile, KeysBeforeAnySectionAndCommentsAreNotKeys)
{
    ProfileFile profile = ProfileFile::parse("Loose=1\n[S]\n;K=comment\nK=real\n");
    EXPECT_EQ(profile.readString("S", "K", ""), "real");
    EXPECT_FALSE(profile.value("", "Loose"));
}

TEST(ProfileFile, RefusesNamesThatWouldNotReadBack)
{
    struct Case {
        const char* section;
        const char* key;
    } cases[] = {
        {"S", ""},    {"S", "a=b"}, {"S", ";k"}, {"S", " k"},
        {"S", "k\n"}, {"S]", "k"},  {" S", "k"}, {"S\nT", "k"},
    };
    for (const Case& c : cases) {
        ProfileFile profile = ProfileFile::parse("[S]\nk=old\n");
        EXPECT_FALSE(profile.writeString(c.section, c.key, "v")) << c.section << " / " << c.key;
        EXPECT_EQ(profile.text(), "[S]\nk=old\n");
    }
}

TEST(ProfileFile, ValueIsWrittenUpToItsFirstLineBreak)
{
    ProfileFile profile;
    ASSERT_TRUE(profile.writeString("PROGRAMS", "ViewerName", "less\n[General]\nAlwaysOnTop=1"));
    EXPECT_EQ(profile.text(), "[PROGRAMS]\nViewerName=less\n");
    EXPECT_FALSE(ProfileFile::parse(profile.text()).hasSection("General"));
}

TEST(ProfileFile, HostileInputParsesWithoutHarmAndLeavesLaterSectionsReadable)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 131 + 7) & 0xFF);
    const std::string longLine(1 << 20, 'x');
    const std::string inputs[] = {
        garbage,
        longLine,
        "[" + longLine,              // a header that never closes
        "[" + longLine + "]\nK=v\n", // a 1 MB section name
        "[S]\nK=" + longLine + "\n", // a 1 MB value
        bytes("[S\0]\nK\0=v\0w\n"),
        bytes("\0\0\0\n=\n[]\n=x\n]\n[\n\r\r\n"),
    };
    for (const std::string& input : inputs) {
        ProfileFile profile = ProfileFile::parse(input + "\n[Options]\nRecurse=1\n");
        EXPECT_EQ(profile.readInt("Options", "Recurse", 0), 1);
        EXPECT_EQ(profile.readInt("Options", "Absent", 5), 5);
        ASSERT_TRUE(profile.writeInt("Options", "CompressionFactor", 8));
        EXPECT_EQ(ProfileFile::parse(profile.text()).readInt("Options", "CompressionFactor", 0), 8);
    }
    ProfileFile big = ProfileFile::parse("[S]\nK=" + longLine + "\n");
    EXPECT_EQ(big.readString("S", "K", "").size(), longLine.size());
    std::string nulValue = ProfileFile::parse(bytes("[S]\nK=a\0b\n")).readString("S", "K", "");
    EXPECT_EQ(nulValue, bytes("a\0b"));
}

TEST(ProfileFile, SaveReplacesTheFileAndLeavesNoTemporaryFile)
{
    TemporaryDirectory directory;
    const std::string path = directory.file("quarvo.ini");
    writeFile(path, "[General]\r\nAlwaysOnTop=0\r\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    ProfileFile profile = ProfileFile::load(path);
    ASSERT_TRUE(profile.writeInt("General", "AlwaysOnTop", 1));
    ASSERT_TRUE(profile.save(path));

    EXPECT_EQ(readFile(path), "[General]\nAlwaysOnTop=1\n");
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(ProfileFile, SaveThroughASymbolicLinkReplacesItsTarget)
{
    TemporaryDirectory directory;
    writeFile(directory.file("dotfiles/quarvo.ini"), "[S]\nK=old\n");
    std::filesystem::create_directory(directory.file("config"));
    std::filesystem::create_symlink("../dotfiles/quarvo.ini", directory.file("config/quarvo.ini"));

    ProfileFile profile = ProfileFile::load(directory.file("config/quarvo.ini"));
    ASSERT_TRUE(profile.writeString("S", "K", "new"));
    ASSERT_TRUE(profile.save(directory.file("config/quarvo.ini")));

    EXPECT_TRUE(std::filesystem::is_symlink(directory.file("config/quarvo.ini")));
    EXPECT_EQ(readFile(directory.file("dotfiles/quarvo.ini")), "[S]\nK=new\n");
}

TEST(ProfileFile, ClearedProfileRewritesTheWholeFile)
{
    TemporaryDirectory directory;
    const std::string path = directory.file("job.cfz");
    writeFile(path, "[Options]\nOld=1\n[Comment]\n0=old comment\n");
    ProfileFile profile = ProfileFile::load(path);
    profile.clear();
    ASSERT_TRUE(profile.writeString("Options", "ZIPFile", "/tmp/a.zip"));
    ASSERT_TRUE(profile.save(path));
    EXPECT_EQ(readFile(path), "[Options]\nZIPFile=/tmp/a.zip\n");
}

TEST(ProfileFile, FailedSaveLeavesTheOldFileByteIdentical)
{
    TemporaryDirectory directory;
    const std::string original = "[General]\r\nAlwaysOnTop=0\r\n; keep me\r\n";
    const std::string path = directory.file("quarvo.ini");
    writeFile(path, original);
    ProfileFile profile = ProfileFile::load(path);
    ASSERT_TRUE(profile.writeInt("General", "AlwaysOnTop", 1));

    {
        testing::ScopedFileSizeLimit noFileGrowth;
        EXPECT_FALSE(profile.save(path));
    }
    EXPECT_EQ(readFile(path), original);

    // The kernel lets root write into a read-only directory; the file-size limit above covers root.
    if (geteuid() != 0) {
        ASSERT_EQ(chmod(directory.path().c_str(), 0555), 0);
        EXPECT_FALSE(profile.save(path));
        ASSERT_EQ(chmod(directory.path().c_str(), 0700), 0);
        EXPECT_EQ(readFile(path), original);
    }

    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory.path()))
        ++entries;
    EXPECT_EQ(entries, 1) << "a temporary file was left behind";
}

TEST(ProfileFile, SaveFailsWhenThePathCannotBeAFile)
{
    TemporaryDirectory directory;
    writeFile(directory.file("plain"), "not a directory");
    std::filesystem::create_directory(directory.file("adirectory"));
    ProfileFile profile;
    ASSERT_TRUE(profile.writeInt("General", "AlwaysOnTop", 1));
    EXPECT_FALSE(profile.save(directory.file("plain/quarvo.ini")));
    EXPECT_FALSE(profile.save(directory.file("adirectory")));
    EXPECT_FALSE(profile.save(""));
    EXPECT_EQ(readFile(directory.file("plain")), "not a directory");
    EXPECT_TRUE(std::filesystem::is_empty(directory.file("adirectory")));
}

} // namespace
} // namespace quarvo
