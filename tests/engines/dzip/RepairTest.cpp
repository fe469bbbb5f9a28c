#include "DzipTestSupport.h"

#include "core/zip/Zip64Records.h"
#include "core/zip/ZipRecords.h"
#include "engines/api/EngineResult.h"
#include "engines/api/ZipCommand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <zlib.h>

using namespace quarvo;
using namespace quarvo::testing;
namespace fs = std::filesystem;

namespace {

class RepairTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolAvailable("zip"))
            GTEST_SKIP() << "zip is not installed";
        writeFile(work.path() / "in" / "alpha.txt", std::string(5000, 'a') + "alpha");
        writeFile(work.path() / "in" / "beta.bin", "beta beta beta");
        writeFile(work.path() / "in" / "gamma.txt", "gamma");
        archive = work.file("damaged.zip");
        ASSERT_EQ(std::system(("cd '" + work.file("in") + "' && zip -q '" + archive +
                               "' alpha.txt beta.bin gamma.txt")
                                  .c_str()),
                  0);
        original = readFile(archive);
    }

    uint16_t fix(bool thorough)
    {
        const std::string noItems = "\"\"";
        ZipCommand command = makeCommand(ZipFunction::Add, archive, noItems, record);
        command.repair = 1;
        command.thoroughRepair = thorough;
        return dzip(&command);
    }

    TemporaryDirectory work;
    std::string archive;
    std::string original;
    EngineRecord record;
};

const std::vector<std::string> allNames = {"alpha.txt", "beta.bin", "gamma.txt"};

} // namespace

TEST_F(RepairTest, RebuildsATruncatedCentralDirectory)
{
    const size_t directory = original.find("PK\x01\x02");
    ASSERT_NE(directory, std::string::npos);
    writeFile(archive, original.substr(0, directory + 30));
    for (bool thorough : {false, true}) {
        writeFile(archive, original.substr(0, directory + 30));
        ASSERT_EQ(fix(thorough), EngineResult::Ok);
        expectToolsAccept(archive);
        EXPECT_EQ(namesIn(archive), allNames);
    }
}

// What stands in front of the archive may be a self-extractor's program: it is kept, while junk
// after the last entry is not.
TEST_F(RepairTest, BytesBeforeTheArchiveAreKeptAndJunkAfterItDropped)
{
    const std::string front = "bytes before the archive, PK but no header";
    writeFile(archive, front + original + "trailing junk PK\x03\x04 xx");
    EXPECT_EQ(fix(false), EngineResult::Ok);
    expectToolsAccept(archive);
    EXPECT_EQ(namesIn(archive), allNames);
    EXPECT_EQ(readFile(archive).substr(0, front.size() + 4), front + "PK\x03\x04");
    EXPECT_EQ(readFile(archive).find("trailing junk"), std::string::npos);
}

TEST_F(RepairTest, ThoroughRepairSkipsACorruptEntryAndKeepsTheRest)
{
    // Damage the first entry's data: the plain repair stops at it, the thorough one finds the rest.
    std::string damaged = original;
    const size_t data = 30 + std::string("alpha.txt").size() + 28; // header, name, Info-ZIP's extra fields
    for (size_t i = data; i < data + 8; ++i)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);
    const size_t directory = damaged.find("PK\x01\x02");
    writeFile(archive, damaged.substr(0, directory));
    EXPECT_NE(fix(false), EngineResult::Ok);
    EXPECT_EQ(readFile(archive), damaged.substr(0, directory)); // not replaced when nothing was recovered
    EXPECT_EQ(fix(true), EngineResult::Ok);
    expectToolsAccept(archive);
    EXPECT_EQ(namesIn(archive), (std::vector<std::string>{"beta.bin", "gamma.txt"}));
}

TEST_F(RepairTest, ThoroughRepairFollowsDataDescriptors)
{
    // Python's zipfile writes data descriptors when its output is a pipe.
    const std::string streamed = work.file("streamed.zip");
    const std::string script = "import sys, zipfile\n"
                               "z = zipfile.ZipFile(sys.stdout.buffer, \"w\", zipfile.ZIP_DEFLATED)\n"
                               "z.writestr(\"-\", b\"streamed data \" * 200)\n"
                               "z.close()\n";
    ASSERT_EQ(std::system(("python3 -c '" + script + "' | cat > '" + streamed + "'").c_str()), 0);
    const std::string bytes = readFile(streamed);
    ASSERT_TRUE(bytes[6] & 8) << "expected a data descriptor";
    archive = streamed;
    writeFile(archive, "junk" + bytes.substr(0, bytes.find("PK\x01\x02")));
    EXPECT_EQ(fix(true), EngineResult::Ok);
    expectToolsAccept(archive);
    EXPECT_EQ(namesIn(archive), (std::vector<std::string>{"-"}));
}

TEST_F(RepairTest, NothingRecoverableLeavesTheFileAlone)
{
    writeFile(archive, "this is not an archive at all");
    EXPECT_EQ(fix(true), EngineResult::BadArchive);
    EXPECT_EQ(readFile(archive), "this is not an archive at all");
    EXPECT_EQ(leftoverTemporaryFiles(work.path()), 0);
}

// A recovered directory of 65,535 entries or more needs the ZIP64 end records, one fewer does not.
TEST_F(RepairTest, RecoveredCountFrom65535OnGetsZip64EndRecords)
{
    for (const size_t count : {65534u, 65535u}) {
        SCOPED_TRACE(count);
        std::vector<uint8_t> records; // local records of empty stored entries, no directory
        for (size_t i = 0; i < count; ++i) {
            LocalHeaderFields local;
            local.versionNeeded = 10;
            appendLocalHeader(records, local, "e" + std::to_string(i));
        }
        writeFile(archive, std::string(records.begin(), records.end()));
        ASSERT_EQ(fix(false), EngineResult::Ok);
        EXPECT_EQ(listArchive(archive).size(), count);
        const std::string bytes = readFile(archive);
        EXPECT_EQ(bytes.find("PK\x06\x06", records.size()) != std::string::npos, count >= 65535);
    }
}

namespace {

// A file of local records only, as a writer that died before its directory leaves it: a deflated
// entry of more than 4 GiB of stored blocks of zeros, sizes in its ZIP64 extra field, then a small
// entry that starts past 4 GiB. Only the block headers are written; the zeros are holes.
void writeRecordsPast4GiB(const std::string& path, uint64_t& blockedSize)
{
    constexpr uint64_t Blocks = 65537;
    constexpr uint64_t BlockSize = 0xFFFF;
    const uint64_t uncompressed = Blocks * BlockSize;
    blockedSize = Blocks * (5 + BlockSize);
    LocalHeaderFields big;
    big.versionNeeded = 45;
    big.method = 8;
    // The CRC-32 of the zeros, joined from the one of a block's worth by zlib.
    const std::vector<uint8_t> zeros(BlockSize, 0);
    const uLong run = crc32(0, zeros.data(), static_cast<uInt>(zeros.size()));
    uLong crc = crc32(0, nullptr, 0);
    for (uint64_t block = 0; block < Blocks; ++block)
        crc = crc32_combine64(crc, run, BlockSize);
    big.crc32 = static_cast<uint32_t>(crc);
    big.compressedSize = big.uncompressedSize = 0xFFFFFFFF;
    std::vector<uint8_t> bytes;
    appendLocalHeader(bytes, big, "a.bin", makeZip64ExtraBlock({uncompressed, blockedSize, std::nullopt}));
    const uint64_t dataStart = bytes.size();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    for (uint64_t block = 0; block < Blocks; ++block) {
        // Stored block: BFINAL on the last, BTYPE 00, then LEN and its complement.
        const char header[5] = {static_cast<char>(block + 1 == Blocks), '\xFF', '\xFF', '\0', '\0'};
        out.seekp(static_cast<std::streamoff>(dataStart + block * (5 + BlockSize)));
        out.write(header, sizeof header);
    }
    const std::string text = "after the big one";
    LocalHeaderFields small;
    small.versionNeeded = 10;
    small.crc32 = crcOf(text);
    small.compressedSize = small.uncompressedSize = static_cast<uint32_t>(text.size());
    bytes.clear();
    appendLocalHeader(bytes, small, "b.txt");
    out.seekp(static_cast<std::streamoff>(dataStart + blockedSize));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out << text;
}

} // namespace

// The rebuilt directory holds both entries at their full width (the large one's size is 0xFFFFFFFF,
// the marker itself, so it too is given in ZIP64 fields), with the ZIP64 end records the
// directory's offset needs; the deflated data of more than 4 GiB is checked whole.
TEST_F(RepairTest, RebuildsTheDirectoryOfAnEntryPast4GiBAndOneStartingAfterIt)
{
    constexpr uint64_t FourGiB = uint64_t{1} << 32;
    archive = work.file("big.zip");
    uint64_t blockedSize = 0;
    writeRecordsPast4GiB(archive, blockedSize);
    ASSERT_EQ(fix(false), EngineResult::Ok);
    // Python's zipfile reads the directory and the small entry back; the large one's data was
    // checked by the repair itself.
    std::istringstream rows(commandOutput(
        "python3 -c \"import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\nfor i in z.infolist(): "
        "print(i.filename, i.file_size, i.compress_size, i.header_offset)\nprint(z.read('b.txt').decode())\" '" +
        archive + "'"));
    std::string name;
    uint64_t uncompressed = 0, compressed = 0, offset = 0;
    ASSERT_TRUE(rows >> name >> uncompressed >> compressed >> offset);
    EXPECT_EQ(name, "a.bin");
    EXPECT_EQ(uncompressed, uint64_t{65537} * 0xFFFF);
    EXPECT_EQ(compressed, blockedSize);
    EXPECT_EQ(offset, 0u);
    ASSERT_TRUE(rows >> name >> uncompressed >> compressed >> offset);
    EXPECT_EQ(name, "b.txt");
    EXPECT_GT(offset, FourGiB);
    std::string text;
    std::getline(rows >> std::ws, text);
    EXPECT_EQ(text, "after the big one");
    EXPECT_EQ(leftoverTemporaryFiles(work.path()), 0);
}
