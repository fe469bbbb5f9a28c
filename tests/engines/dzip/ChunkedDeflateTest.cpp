#include "DzipTestSupport.h"

#include "engines/api/EngineResult.h"
#include "engines/api/UnzipCommand.h"
#include "engines/dzip/DeflateChunkEncoder.h"
#include "engines/dzip/EntryEncoder.h"
#include "engines/dzip/ZipOperation.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

using namespace quarvo;
using namespace quarvo::testing;
namespace fs = std::filesystem;

namespace {

enum class Content { Text, SkewedNoise, Random, Zeros, NoiseThenText };

std::string contentOf(Content content, size_t size, unsigned seed)
{
    switch (content) {
    case Content::Text:
        return textData(size, seed);
    case Content::SkewedNoise:
        return skewedNoise(size, seed);
    case Content::Random:
        return randomBytes(size, seed);
    case Content::NoiseThenText:
        return skewedNoise(size / 2, seed) + textData(size - size / 2, seed);
    case Content::Zeros:
        break;
    }
    return std::string(size, '\0');
}

std::span<const uint8_t> bytesOf(const std::string& text, size_t offset, size_t size)
{
    return {reinterpret_cast<const uint8_t*>(text.data()) + offset, size};
}

} // namespace

// Pieces deflated apart and joined make one stream, whatever each piece became: libdeflate's
// blocks with the final bit taken off, Huffman-only coding, or stored blocks, and around the
// stored block's largest size.
TEST(DeflateChunkEncoder, PiecesJoinIntoOneStreamThatInflatesToTheInput)
{
    constexpr size_t Stored = 0;
    struct Case {
        Content content;
        size_t size;
        size_t pieceSize;
        int level;
        size_t percent; // the most the stream may take of the input, or Stored: no more than stored blocks
    } cases[] = {
        {Content::Text, 300000, 65536, 6, 50},      {Content::Text, 65536, 65536, 6, 50},
        {Content::Text, 65537, 65536, 1, 50},       {Content::SkewedNoise, 200000, 50000, 6, 75},
        {Content::Random, 200000, 65535, 6, Stored}, {Content::Random, 131071, 65536, 9, Stored},
        {Content::Zeros, 1 << 20, 100000, 2, 1},    {Content::Text, 5, 1, 6, Stored},
        {Content::Text, 0, 1000, 6, Stored},        {Content::Zeros, 1000, 999, 6, 90},
        // Text after a run of noise is deflated again, not left to Huffman codes alone.
        {Content::NoiseThenText, 400000, 50000, 6, 50},
        // Pieces large enough for their samples to choose the coding.
        {Content::SkewedNoise, 700000, 300000, 6, 75}, {Content::Random, 700000, 300000, 6, Stored},
        {Content::NoiseThenText, 700000, 700000, 6, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(c.content) << " " << c.size << " by " << c.pieceSize);
        const std::string input = contentOf(c.content, c.size, static_cast<unsigned>(c.size));
        DeflateChunkEncoder encoder(c.level);
        std::vector<uint8_t> stream;
        size_t offset = 0;
        do {
            const size_t size = std::min(c.pieceSize, input.size() - offset);
            ASSERT_TRUE(encoder.encode(bytesOf(input, offset, size), offset + size == input.size(), stream));
            offset += size;
        } while (offset < input.size());
        EXPECT_EQ(inflateRaw(stream, input.size()), input);
        const size_t pieces = std::max<size_t>(1, (input.size() + c.pieceSize - 1) / c.pieceSize);
        if (c.percent == Stored) {
            EXPECT_LE(stream.size(), input.size() + 5 * (input.size() / 65535 + pieces)) << "stored, not grown";
        } else {
            EXPECT_LT(stream.size(), input.size() * c.percent / 100);
        }
    }
}

// The CRC of a file is the CRC of its pieces combined in order, however it is cut.
TEST(DeflateChunkEncoder, CombinedPieceCrcsEqualTheWholeCrc)
{
    std::mt19937 random(21);
    const std::string bytes = randomBytes(1 << 18, 3);
    for (int round = 0; round < 200; ++round) {
        const size_t total = random() % bytes.size();
        uint32_t combined = 0;
        for (size_t offset = 0; offset < total;) {
            const size_t size = std::min<size_t>(total - offset, random() % 70000);
            const uint32_t piece = updateCrc32(0, bytesOf(bytes, offset, size).data(), size);
            combined = combineCrc32(combined, piece, size);
            offset += size;
        }
        ASSERT_EQ(combined, crcOf(bytes.substr(0, total))) << "round " << round << ", " << total << " bytes";
    }
}

namespace {

// Adds through dzip with limits small enough that a few hundred KB are streamed in pieces.
class ChunkedAdd : public ::testing::Test {
  protected:
    static constexpr StreamingLimits Limits{64 * 1024, 16 * 1024};

    void SetUp() override
    {
        source = work.path() / "src";
        fs::create_directories(source);
    }

    uint16_t add(const std::function<void(ZipCommand&)>& adjust = {})
    {
        const std::string items = "\"" + (source / "*.*").string() + "\"";
        ZipCommand command = makeCommand(ZipFunction::Add, archive, items, record);
        if (adjust)
            adjust(command);
        return ZipOperation(command, Limits).run();
    }

    // What our own dunzip extracts of name, or "(failed)".
    std::string extractedByDunzip(const std::string& name, const std::string& password)
    {
        const fs::path destination = work.path() / "out";
        fs::remove_all(destination);
        fs::create_directories(destination);
        UnzipCommand command;
        command.function = UnzipFunction::Extract;
        command.archivePath = archive.c_str();
        command.itemSpecification = "*.*";
        const std::string directory = destination.string();
        command.destinationDirectory = directory.c_str();
        command.overwrite = 1;
        command.decrypt = password.empty() ? 0 : 1;
        command.password = password.c_str();
        if (dunzip(&command) != EngineResult::Ok)
            return "(failed)";
        return readFile(destination / name);
    }

    TemporaryDirectory work;
    fs::path source;
    std::string archive = work.file("a.zip");
    EngineRecord record;
};

} // namespace

// Around the streaming limit (64 KiB) and the piece size (16 KiB), each kind of content, and the
// encryptions and factor 0 on a streamed file: unzip, 7z, Python and dunzip read back the bytes.
TEST_F(ChunkedAdd, EntriesAroundTheLimitsReadBackIdenticallyEverywhere)
{
    enum Encryption { None, Traditional, Aes };
    struct Case {
        Content content;
        size_t size;
        Encryption encryption;
        uint32_t level;
    } cases[] = {
        {Content::Text, 64 * 1024 - 1, None, 5},       {Content::Text, 64 * 1024, None, 5},
        {Content::Text, 64 * 1024 + 1, None, 5},       {Content::Text, 80 * 1024 - 1, None, 5},
        {Content::Text, 80 * 1024, None, 5},           {Content::Text, 80 * 1024 + 1, None, 5},
        {Content::SkewedNoise, 100000, None, 5},       {Content::Random, 100000, None, 5},
        {Content::Text, 100000, Traditional, 5},       {Content::Text, 100000, Aes, 8},
        {Content::Random, 100000, Traditional, 5},     {Content::Text, 100000, None, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(c.content) << " " << c.size << " encryption "
                                        << c.encryption << " level " << c.level);
        fs::remove(archive);
        const std::string content = contentOf(c.content, c.size, static_cast<unsigned>(c.size));
        writeFile(source / "piece.bin", content);
        const std::string password = c.encryption == None ? "" : "chunk pw";
        ASSERT_EQ(add([&](ZipCommand& command) {
                      command.compressionLevel = c.level;
                      command.encrypt = c.encryption != None;
                      command.password = password.c_str();
                      command.encryption = c.encryption == Aes ? ZipEncryption::Aes256 : ZipEncryption::Traditional;
                  }),
                  EngineResult::Ok);
        if (c.encryption == Aes) { // 7z alone of the three reads AES
            EXPECT_EQ(std::system(("7z t -p'" + password + "' '" + archive + "' >/dev/null 2>&1").c_str()), 0);
        } else {
            expectToolsAccept(archive, password);
            const std::vector<ListedEntry> entries = listArchive(archive, password);
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries[0].size, content.size());
            EXPECT_EQ(entries[0].crc, crcOf(content));
        }
        EXPECT_TRUE(extractedByDunzip("piece.bin", password) == content) << "dunzip read other bytes";
        if (c.content == Content::Random) {
            EXPECT_LT(fs::file_size(archive), content.size() + 400) << "incompressible data is stored";
        }
    }
}

// A cancel while the pieces are in flight, and a file cut short or grown while it is streamed,
// change nothing and leave no temporary file.
TEST_F(ChunkedAdd, CancelAndShrinkingSourceLeaveTheArchiveAsItWas)
{
    writeFile(source / "a.txt", "first");
    ASSERT_EQ(add(), EngineResult::Ok);
    const std::string before = readFile(archive);
    const std::string big = textData(400000, 4);
    struct Case {
        const char* what;
        uint16_t result;
    } cases[] = {{"cancel", EngineResult::Cancelled},
                 {"shrink", EngineResult::ReadError},
                 {"grow", EngineResult::ReadError}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(source / "big.txt", big);
        record = {};
        int deflatingStatuses = 0;
        record.stopWhen = [&](const std::string& text, uint32_t) {
            if (text != "Deflating: big.txt" || ++deflatingStatuses != 3)
                return false;
            const std::string what = c.what;
            if (what == "shrink")
                fs::resize_file(source / "big.txt", 200000);
            else if (what == "grow")
                fs::resize_file(source / "big.txt", big.size() + 1);
            return what == "cancel";
        };
        EXPECT_EQ(add(), c.result);
        EXPECT_GE(deflatingStatuses, 3) << "stopped after some pieces were written";
        EXPECT_EQ(readFile(archive), before);
        EXPECT_EQ(leftoverTemporaryFiles(work.path()), 0);
    }
}
