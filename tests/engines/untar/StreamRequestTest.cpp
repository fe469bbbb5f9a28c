// The stream unpacker: what Identify answers, how Unpack names and writes its file, and how damaged
// streams are told.

#include "UntarTestSupport.h"

#include "engines/api/EngineResult.h"
#include "engines/untar/UnpackedName.h"
#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;
using Tar = TarBuilder;

bool toolsInstalled(const std::string& tools)
{
    return std::system(("for t in " + tools + "; do command -v $t >/dev/null || exit 1; done").c_str()) == 0;
}

class StreamRequestTest : public ::testing::Test {
  protected:
    std::string write(const std::string& bytes, const std::string& name)
    {
        writeFile(m_work.path() / name, bytes);
        return m_work.file(name);
    }
    std::string work(const std::string& relative = "") const { return m_work.file("work/" + relative); }

    TemporaryDirectory m_work;
};

TEST(UnpackedName, ComesFromTheArchiveNameAndNeverTakesIt)
{
    const std::pair<const char*, const char*> cases[] = {
        {"x.tgz", "x.tar"},
        {"X.TAZ", "X.tar"},
        {"x.tar.gz", "x.tar"},
        {"x.tar.Z", "x.tar"},
        {"notes.gz", "notes"},
        {"notes.z", "notes"},
        {"a.tbz2", "a.tar"},
        {"a.txz", "a.tar"},
        {"a.tar.zst", "a.tar"},
        {"a.lz", "a"},
        {"data.bin", "data.bin.unpacked"},
        {"..gz", "..gz.unpacked"},
        {".gz", ".gz.unpacked"},
        {"archive", "archive.unpacked"},
    };
    for (const auto& [archive, unpacked] : cases)
        EXPECT_EQ(unpackedNameFor(archive), unpacked) << archive;
    EXPECT_EQ(alternativeName("x.tar", 2), "x (2).tar");
    EXPECT_EQ(alternativeName("notes", 3), "notes (3)");
    EXPECT_EQ(alternativeName(".hidden", 2), ".hidden (2)");
}

TEST_F(StreamRequestTest, IdentifyTellsEachKindByItsContentNotItsName)
{
    if (!toolsInstalled("compress bzip2 xz zstd lzip"))
        GTEST_SKIP() << "a compressor is missing (./test installs them)";
    const std::string tar = Tar().add(Tar::file("a.txt", "a")).finish();
    write(tar, "plain");
    struct Case {
        const char* command;
        const char* file;
        uint32_t type;
    } cases[] = {
        {"gzip -c plain", "g.dat", StreamType::Gzip},
        {"compress -c plain", "c.dat", StreamType::Compress},
        {"bzip2 -c plain", "b.dat", StreamType::Bzip2},
        {"xz -c plain", "x.dat", StreamType::Xz},
        {"zstd -qc plain", "z.dat", StreamType::Zstandard},
        {"lzip -c plain", "l.dat", StreamType::Lzip},
        {"cat plain", "p.tgz", StreamType::Plain},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(std::system(("cd " + m_work.path().string() + " && " + c.command + " > " + c.file).c_str()),
                  0);
        StreamRequest request;
        EngineRun run = runStream(request, StreamFunction::Identify, m_work.file(c.file));
        EXPECT_EQ(run.result, c.type) << c.command;
        EXPECT_EQ(request.holdsTar, 1u) << c.command;
        EXPECT_EQ(std::string(request.message).empty(), c.type != StreamType::Plain) << request.message;
        EXPECT_EQ(std::string(request.outputPath),
                  c.type == StreamType::Plain ? "" : c.file + std::string(".unpacked"));
    }
    StreamRequest text;
    EXPECT_EQ(runStream(text, StreamFunction::Identify, write("text", "t.gz")).result, StreamType::Plain);
    EXPECT_EQ(text.holdsTar, 0u);
    EXPECT_EQ(std::string(text.message), "t.gz is not compressed: it begins with none of the signatures of "
                                         "GZIP, compress, BZIP2, XZ, Zstandard or LZIP data.");
}

// The name a GZIP header stores may be anything ("../evil"); the unpacked file is named from the
// archive's own name and takes its permissions and time, as gzip gives them.
TEST_F(StreamRequestTest, UnpackNamesTheFileFromTheArchiveNeverFromTheStream)
{
    const std::string tar = Tar().add(Tar::file("a.txt", "a")).finish();
    const std::string archive = write(gzipOf(tar, "../evil"), "x.tgz");
    ::chmod(archive.c_str(), 0640);
    struct timespec times[2] = {{0, UTIME_NOW}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, archive.c_str(), times, 0);
    StreamRequest request;
    EngineRun run = runStream(request, StreamFunction::Unpack, archive, work());
    ASSERT_EQ(run.result, EngineResult::Ok) << request.message;
    EXPECT_EQ(std::string(request.outputPath), work("x.tar"));
    EXPECT_EQ(readFile(work("x.tar")), tar);
    EXPECT_EQ(request.unpackedSize, tar.size());
    EXPECT_EQ(request.holdsTar, 1u);
    struct stat status {};
    ASSERT_EQ(::stat(work("x.tar").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(status.st_mtime, 1000000000);
    EXPECT_FALSE(fs::exists(m_work.file("evil")));
    EXPECT_EQ(std::distance(fs::directory_iterator(work()), fs::directory_iterator()), 1);
    EXPECT_FALSE(run.statuses.empty());
    EXPECT_EQ(run.statuses.front(), "Unpacking: x.tgz");
}

TEST_F(StreamRequestTest, AnExistingOutputIsRefusedReplacedOrGivenAFreshName)
{
    const std::string archive = write(gzipOf("new"), "notes.gz");
    struct Case {
        uint32_t existing;
        uint32_t result;
        const char* file;
        const char* content;
    } cases[] = {
        {StreamExisting::Refuse, EngineResult::EntriesSkipped, "notes", "old"},
        {StreamExisting::FreshName, EngineResult::Ok, "notes (2)", "new"},
        {StreamExisting::Replace, EngineResult::Ok, "notes", "new"},
    };
    for (const Case& c : cases) {
        fs::remove_all(work());
        writeFile(work("notes"), "old");
        StreamRequest request;
        request.existingOutput = c.existing;
        EngineRun run = runStream(request, StreamFunction::Unpack, archive, work());
        EXPECT_EQ(run.result, c.result) << c.existing << request.message;
        EXPECT_EQ(readFile(work(c.file)), c.content) << c.existing;
    }
}

// Every failure says why, and an unpack that fails leaves no file at all.
TEST_F(StreamRequestTest, DamagedOrPlainInputIsToldAndLeavesNoFile)
{
    const std::string good = gzipOf(randomBytes(200000, 9));
    std::string badCrc = good;
    badCrc[badCrc.size() - 8] ^= 1;
    std::string badLength = good;
    badLength[badLength.size() - 1] ^= 1;
    struct Case {
        const char* what;
        std::string bytes;
        uint32_t result;
        std::string said;
    } cases[] = {
        {"plain", "not compressed", EngineResult::BadArchive, "d.gz is not compressed: it begins with none"},
        {"truncated", good.substr(0, good.size() / 2), EngineResult::CrcError,
         "d.gz: the GZIP data ends inside member 1 (the file is truncated). No file was kept."},
        {"CRC", badCrc, EngineResult::CrcError,
         "d.gz: CRC error: the unpacked data of GZIP member 1 does not match the CRC-32 in its trailer."},
        {"length", badLength, EngineResult::CrcError,
         "d.gz: the unpacked data of GZIP member 1 does not have the length its trailer records."},
        {"second member damaged", good + std::string("\x1f\x8b\x09\x00", 4) + std::string(20, 'x'),
         EngineResult::CrcError, "d.gz: the GZIP data of member 2 is damaged (unknown compression method)."},
    };
    for (const Case& c : cases) {
        fs::remove_all(work());
        StreamRequest request;
        EngineRun run = runStream(request, StreamFunction::Unpack, write(c.bytes, "d.gz"), work());
        EXPECT_EQ(run.result, c.result) << c.what;
        EXPECT_NE(std::string(request.message).find(c.said), std::string::npos)
            << c.what << ": " << request.message;
        EXPECT_TRUE(!fs::exists(work()) || fs::is_empty(work())) << c.what;
        EXPECT_EQ(request.outputPath[0], '\0') << c.what;
        StreamRequest test;
        EXPECT_EQ(runStream(test, StreamFunction::Test, m_work.file("d.gz")).result, c.result) << c.what;
    }
}

TEST_F(StreamRequestTest, MembersAreJoinedAndWhatFollowsTheLastIsWeighed)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::string unpacked;
        uint32_t warnings;
    } cases[] = {
        {"two members", gzipOf("one ") + gzipOf("two"), "one two", 0},
        {"empty", gzipOf(""), "", 0},
        {"zero padding", gzipOf("data") + std::string(512, '\0'), "data", 0},
        {"garbage", gzipOf("data") + "trailing garbage", "data", 1},
    };
    for (const Case& c : cases) {
        fs::remove_all(work());
        StreamRequest request;
        EngineRun run = runStream(request, StreamFunction::Unpack, write(c.bytes, "m.gz"), work());
        ASSERT_EQ(run.result, EngineResult::Ok) << c.what << request.message;
        EXPECT_EQ(readFile(work("m")), c.unpacked) << c.what;
        EXPECT_EQ(request.holdsTar, 0u) << c.what;
        EXPECT_EQ(request.warnings, c.warnings) << c.what;
        EXPECT_EQ(run.mentioned("m.gz: 16 bytes of other data after the end of the GZIP data were ignored."),
                  c.warnings == 1)
            << c.what << run.allMessages();
    }
}

TEST_F(StreamRequestTest, CancelStopsUnpackingAndLeavesNoFile)
{
    const std::string archive = write(gzipOf(randomBytes(4 << 20, 2)), "big.gz");
    StreamRequest request;
    EngineRun run;
    request.function = StreamFunction::Unpack;
    std::snprintf(request.inputPath, sizeof request.inputPath, "%s", archive.c_str());
    std::snprintf(request.workDirectory, sizeof request.workDirectory, "%s", work().c_str());
    reportTo(request, run);
    int calls = 0;
    run.onStatus = [&](const std::string&) { return ++calls > 1 ? 1 : 0; };
    EXPECT_EQ(untarStream(&request), EngineResult::Cancelled);
    EXPECT_TRUE(fs::is_empty(work()));
}

} // namespace
} // namespace quarvo::testing
