// The ".cfz" and ".cfu" formats: the exact text written, reading files written by hand (missing and
// extra keys, CRLF line ends, repeated keys, garbage), the comment lines, and the values a job file
// cannot keep.

#include "core/jobs/UnzipJob.h"
#include "core/jobs/ZipJob.h"

#include <gtest/gtest.h>

using namespace quarvo;

namespace {

ZipJob sampleZipJob()
{
    ZipJob job;
    job.recurseSubdirs = 1;
    job.storePath = 1;
    job.editZipComment = 1;
    job.action = 2;
    job.compMethod = 8;
    job.password = "s3cret";
    job.directory = "/home/ann/work";
    job.exclude = "*.o *.tmp";
    job.include = "\"my notes.txt\" *.c";
    job.zipFile = "/backup/work.zip";
    job.comment = "Nightly backup\r\n\r\nof work";
    return job;
}

ZipJob readZip(const std::string& text)
{
    Result<ZipJob> job = readZipJob(ProfileFile::parse(text));
    EXPECT_TRUE(job.ok()) << (job.ok() ? "" : job.error().message);
    return job.ok() ? *job : ZipJob{};
}

TEST(ZipJobFormat, WritesTheSeventeenKeysInOrderThenTheCommentLines)
{
    Result<ProfileFile> profile = writeZipJob(sampleZipJob());
    ASSERT_TRUE(profile.ok());
    EXPECT_EQ(profile->text(), "[Options]\n"
                               "AddNewerFiles=0\n"
                               "BackupEntireDrive=0\n"
                               "EditZIPComment=1\n"
                               "IncSysHiddenFiles=0\n"
                               "OldAsLatest=0\n"
                               "RecurseSubdirs=1\n"
                               "StorePath=1\n"
                               "Action=2\n"
                               "CompMethod=8\n"
                               "SpanDisks=0\n"
                               "Date=\n"
                               "Password=s3cret\n"
                               "TempFilePath=\n"
                               "Directory=/home/ann/work\n"
                               "Exclude=*.o *.tmp\n"
                               "Include=\"my notes.txt\" *.c\n"
                               "ZIPFile=/backup/work.zip\n"
                               "\n"
                               "[Comment]\n"
                               "0=Nightly backup\n"
                               "1=\n"
                               "2=of work\n");
    EXPECT_EQ(readZipJob(*profile).value(), sampleZipJob());
}

TEST(ZipJobFormat, AnEmptyCommentIsOneEmptyLineAndANewJobReadsBackAsNew)
{
    Result<ProfileFile> profile = writeZipJob(ZipJob{});
    ASSERT_TRUE(profile.ok());
    const std::string text = profile->text();
    EXPECT_NE(text.find("\n[Comment]\n0=\n"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 13), "[Comment]\n0=\n");
    EXPECT_EQ(readZip(text), ZipJob{});
}

TEST(ZipJobFormat, ReadsHandWrittenFiles)
{
    static constexpr char Garbage[] = "\x01\xff[\0x=\n=oops\n[Options\nAction";
    struct Case {
        const char* rule;
        std::string text;
        ZipJob expected;
    };
    ZipJob dated;
    dated.addNewerFiles = 1;
    dated.date = "06/01/2024";
    dated.zipFile = "C.zip";
    ZipJob twoLines;
    twoLines.comment = "first\r\nsecond";
    ZipJob outOfRange;
    outOfRange.action = 9;
    outOfRange.compMethod = -3;
    outOfRange.spanDisks = 2147483647;
    ZipJob flags;
    flags.storePath = 1;
    flags.oldAsLatest = 1;
    const Case cases[] = {
        {"only an Options section: an empty comment", "[Options]\nAction=0\n", ZipJob{}},
        {"no file at all: every default", "", ZipJob{}},
        {"CRLF line ends, keys in any case and order, foreign keys and sections ignored",
         "[options]\r\nzipfile=C.zip\r\nUnknown=1\r\nDATE=06/01/2024\r\nAddNewerFiles=1\r\n[Other]\r\nAction=4\r\n",
         dated},
        {"comment lines stop at the first missing number", "[Comment]\n0=first\n1=second\n3=third\n", twoLines},
        {"a repeated key: the first counts", "[Comment]\n0=first\n1=second\n0=again\n", twoLines},
        {"indexes out of every list are kept as stored",
         "[Options]\nAction=9\nCompMethod=-3\nSpanDisks=99999999999\n", outOfRange},
        {"any nonzero flag is set", "[Options]\nStorePath=7\nOldAsLatest=-1\nRecurseSubdirs=0\n", flags},
        {"garbage lines are no keys", std::string(Garbage, sizeof Garbage - 1), ZipJob{}},
    };
    for (const Case& test : cases)
        EXPECT_EQ(readZip(test.text), test.expected) << test.rule;
}

TEST(ZipJobFormat, ValuesAreKeptVerbatimWithBlanksQuotesAndNonAsciiText)
{
    ZipJob job;
    job.directory = "  /srv/données du jour ";
    job.include = "\"a b\" =c= ;d";
    job.comment = " leading blank\r\n[Options]\r\nAction=5";
    Result<ProfileFile> profile = writeZipJob(job);
    ASSERT_TRUE(profile.ok());
    EXPECT_EQ(readZip(profile->text()), job);
}

TEST(ZipJobFormat, RefusesValuesItCannotKeepWhenWritingAndWhenReading)
{
    struct Case {
        const char* rule;
        std::string ZipJob::*member;
        std::string value;
        const char* message;
    };
    const std::string longest(259, 'x');
    const Case cases[] = {
        {"260 characters", &ZipJob::zipFile, longest + "y", "\"ZIPFile\" is longer than 259 characters."},
        {"a line break", &ZipJob::directory, "/a\n/b", "\"Directory\" holds a line break or a NUL character"},
        {"a NUL", &ZipJob::password, std::string("ab\0cd", 5), "\"Password\" holds a line break or a NUL"},
        {"a comment line of 32,000 characters", &ZipJob::comment, "ok\r\n" + std::string(32000, 'c'),
         "\"Comment line 1\" is longer than 31999 characters."},
        {"a comment beyond 65,535 bytes", &ZipJob::comment, std::string(3, '\n') + std::string(65533, 'c'),
         "The comment is longer than 65,535 bytes"},
    };
    for (const Case& test : cases) {
        ZipJob job;
        job.*test.member = test.value;
        Result<ProfileFile> written = writeZipJob(job);
        ASSERT_FALSE(written.ok()) << test.rule;
        EXPECT_EQ(written.error().message.rfind(test.message, 0), 0u) << test.rule << ": " << written.error().message;
    }
    // 259 characters of two bytes each are 259 characters.
    ZipJob wide;
    for (int i = 0; i < 259; ++i)
        wide.zipFile += "é";
    EXPECT_TRUE(writeZipJob(wide).ok());

    // The same limits when a file written elsewhere is read: refused, never shortened.
    const std::string overlong[] = {"[Options]\nZIPFile=" + longest + "z\n",
                                    "[Comment]\n0=" + std::string(32000, 'c') + "\n", "[Options]\nInclude=a\rb\n"};
    for (const std::string& text : overlong) {
        Result<ZipJob> read = readZipJob(ProfileFile::parse(text));
        EXPECT_FALSE(read.ok()) << text.substr(0, 40);
    }
    EXPECT_EQ(readZip("[Options]\nZIPFile=" + longest + "\n").zipFile, longest);
}

TEST(UnzipJobFormat, WritesItsEightKeysInOrderAndReadsThemBack)
{
    UnzipJob job;
    job.overwrite = 1;
    job.recurse = 1;
    job.action = 3;
    job.password = "pw";
    job.directory = "/out";
    job.include = "*.txt";
    job.zipFile = "/in/a.zip";
    Result<ProfileFile> profile = writeUnzipJob(job);
    ASSERT_TRUE(profile.ok());
    EXPECT_EQ(profile->text(), "[Options]\nOverwrite=1\nRecreate=0\nRecurse=1\nAction=3\nPassword=pw\n"
                               "Directory=/out\nInclude=*.txt\nZIPFile=/in/a.zip\n");
    EXPECT_EQ(readUnzipJob(*profile).value(), job);
}

TEST(UnzipJobFormat, ReadsMissingKeysAsEmptyAndRefusesOverlongValues)
{
    UnzipJob expected;
    expected.recreate = 1;
    expected.action = -1;
    expected.zipFile = "a.zip";
    Result<UnzipJob> job = readUnzipJob(ProfileFile::parse("[Options]\r\nRecreate=2\r\nAction=-1\r\nZIPFile=a.zip\r\n"));
    ASSERT_TRUE(job.ok());
    EXPECT_EQ(*job, expected);

    Result<UnzipJob> overlong = readUnzipJob(ProfileFile::parse("[Options]\nDirectory=" + std::string(300, 'd') + "\n"));
    ASSERT_FALSE(overlong.ok());
    EXPECT_EQ(overlong.error().message, "\"Directory\" is longer than 259 characters.");
}

} // namespace
