// Damaged entries of every method beyond deflate, and of AES: a flipped byte, a stream cut short,
// sizes that lie, a wrong password, a changed authentication code. Each must fail that entry by name
// with a non-zero result and leave no file, in extraction and in test alike. The entries start as
// real tools wrote them and are damaged here, so the damage is the only thing wrong with them.

#include "DunzipTestSupport.h"
#include "core/zip/ByteSource.h"
#include "core/zip/WinZipAesField.h"
#include "core/zip/ZipRecords.h"
#include "engines/api/EngineResult.h"
#include "engines/dunzip/ArchiveIndex.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace quarvo {
namespace {

using namespace quarvo::testing;

constexpr const char* Password = "right one";
constexpr const char* AuthenticationFailure = "the authentication code does not match";

// The first entry of a tool's archive, taken apart so a test can change any part and build it again.
std::optional<ZipBuilder::Entry> firstEntryOf(const std::string& archive)
{
    MemoryByteSource source({reinterpret_cast<const uint8_t*>(archive.data()), archive.size()});
    Result<ArchiveIndex, IndexError> index = ArchiveIndex::load(source);
    if (!index || index->entries.empty())
        return std::nullopt;
    const ArchiveEntry& found = index->entries.front();
    Result<LocalHeader> local =
        parseLocalHeader({reinterpret_cast<const uint8_t*>(archive.data()) + found.localHeaderOffset,
                          archive.size() - found.localHeaderOffset});
    if (!local)
        return std::nullopt;
    ZipBuilder::Entry entry;
    entry.name = found.name;
    entry.data = archive.substr(found.localHeaderOffset + local->recordSize, found.compressedSize);
    entry.versionNeeded = found.fields.versionNeeded;
    entry.flags = found.fields.flags & ~0x0008; // the builder writes sizes in the local header
    entry.method = found.fields.method;
    entry.crc32 = found.fields.crc32;
    entry.compressedSize = static_cast<uint32_t>(found.compressedSize);
    entry.uncompressedSize = static_cast<uint32_t>(found.uncompressedSize);
    if (found.aes) {
        std::vector<uint8_t> extra;
        appendWinZipAesField(extra, *found.aes);
        entry.extra.assign(extra.begin(), extra.end());
    }
    return entry;
}

std::string sample()
{
    std::string text;
    while (text.size() < 200000)
        text += "entry " + std::to_string(text.size() * 7 % 1009) + " holds words and numbers\n";
    return text + randomBytes(50000, 9);
}

class MethodCorruption : public ::testing::Test {
  protected:
    // One archive per source, each holding the sample as "data.bin".
    struct Source {
        std::string label;
        std::string command; // run in the work directory; writes archive.zip from data.bin
        bool encrypted = false;
    };

    std::optional<ZipBuilder::Entry> make(const Source& source)
    {
        const std::string directory = work.file(source.label);
        writeFile(directory + "/data.bin", sample());
        if (!runQuietly("cd '" + directory + "' && " + source.command))
            return std::nullopt;
        return firstEntryOf(readFile(directory + "/archive.zip"));
    }

    // Extracts and tests an archive of the one entry; both must fail it by name and write nothing.
    void expectRefused(const ZipBuilder::Entry& entry, const std::string& label, const std::string& password,
                       const std::string& expectedText)
    {
        ZipBuilder builder;
        builder.add(entry);
        const std::string archive = work.file(label + ".zip");
        writeFile(archive, builder.finish());
        const std::string out = work.file("out-" + label);
        auto configure = [&](UnzipCommand& command) {
            command.decrypt = !password.empty();
            command.password = password.empty() ? nullptr : password.c_str();
        };
        for (const std::string& destination : {out, std::string()}) {
            const UnzipRun run = runDunzip(archive, destination, configure);
            EXPECT_NE(run.result, EngineResult::Ok) << label;
            EXPECT_TRUE(run.mentioned(entry.name + ": " + expectedText)) << label << "\n"
                                                                         << run.allMessages();
        }
        EXPECT_TRUE(treeOf(out).empty()) << label; // no partial or temporary file
    }

    TemporaryDirectory work;
};

TEST_F(MethodCorruption, DamagedEntriesOfEveryMethodFailByNameAndLeaveNoFile)
{
    if (!haveTool("7z") || !haveTool("python3") || !haveTool("zstd"))
        GTEST_SKIP() << "7z, python3 or zstd is not installed";
    const std::string sevenZip = "7z a -tzip archive.zip data.bin";
    const std::string aes = std::string(" -mem=AES256 '-p") + Password + "'";
    const Source sources[] = {
        {"bzip2", sevenZip + " -mm=BZip2"},
        {"lzma", sevenZip + " -mm=LZMA"},
        {"lzma-end-marker", "python3 -c \"import zipfile\nzipfile.ZipFile('archive.zip', 'w', "
                            "zipfile.ZIP_LZMA).write('data.bin')\""},
        {"xz", sevenZip + " -mm=XZ"},
        {"deflate64", sevenZip + " -mm=Deflate64"},
        {"ppmd", sevenZip + " -mm=PPMd"},
        {"zstandard", "zstd -q data.bin -o data.zst && python3 -c \"import zipfile\n"
                      "z = zipfile.ZipFile('archive.zip', 'w')\nz.write('data.zst', 'data.bin')\""},
        {"aes256-lzma", sevenZip + " -mm=LZMA" + aes, true},
        {"aes256-stored", sevenZip + " -mm=Copy" + aes, true},
    };
    // What each kind of damage does to an entry, and the words that must name it.
    struct Damage {
        std::string label;
        std::function<void(ZipBuilder::Entry&)> apply;
        std::string expectedText; // after "NAME: "; empty: any failure
    };
    const Damage damages[] = {
        {"flipped", [](ZipBuilder::Entry& e) { e.data[e.data.size() / 2] ^= 0x55; }, ""},
        {"truncated",
         [](ZipBuilder::Entry& e) {
             e.data.resize(e.data.size() / 2);
             e.compressedSize = static_cast<uint32_t>(e.data.size());
         },
         ""},
        {"size-too-large", [](ZipBuilder::Entry& e) { e.uncompressedSize += 1000; }, ""},
        {"size-too-small", [](ZipBuilder::Entry& e) { e.uncompressedSize -= 1000; }, ""},
    };
    for (const Source& source : sources) {
        std::optional<ZipBuilder::Entry> entry = make(source);
        ASSERT_TRUE(entry) << source.label;
        if (source.label == "zstandard") {
            entry->method = 93; // the stored zstd stream becomes a Zstandard entry of the sample
            entry->crc32 = crc32Of(sample());
            entry->uncompressedSize = static_cast<uint32_t>(sample().size());
        }
        const std::string password = source.encrypted ? Password : "";
        for (const Damage& damage : damages) {
            ZipBuilder::Entry damaged = *entry;
            damage.apply(damaged);
            // Under AES any change to the stored bytes is a change the code sees first.
            const bool changedBytes = damage.label == "flipped" || damage.label == "truncated";
            const std::string expected =
                source.encrypted && changedBytes ? AuthenticationFailure : damage.expectedText;
            expectRefused(damaged, source.label + "-" + damage.label, password, expected);
        }
        if (source.encrypted) {
            expectRefused(*entry, source.label + "-wrong-password", "wrong one", "wrong password");
            ZipBuilder::Entry changedCode = *entry;
            changedCode.data.back() ^= 1;
            expectRefused(changedCode, source.label + "-code", password, AuthenticationFailure);
        }
    }
}

// An LZMA stream's properties may name any dictionary up to 4 GiB; the entry never needs more than
// its own size, and that is all the decoder takes, so such a claim costs no memory.
TEST_F(MethodCorruption, AnLzmaDictionaryLargerThanTheEntryIsNotAllocated)
{
    if (!haveTool("7z"))
        GTEST_SKIP() << "7z is not installed";
    std::optional<ZipBuilder::Entry> entry =
        make({"lzma-dictionary", "7z a -tzip -mm=LZMA archive.zip data.bin"});
    ASSERT_TRUE(entry);
    // The dictionary size sits after the four-byte header and the properties byte.
    for (size_t i = 5; i < 9; ++i)
        entry->data[i] = '\xFF';
    ZipBuilder builder;
    builder.add(*entry);
    const std::string archive = work.file("dictionary.zip");
    writeFile(archive, builder.finish());
    const UnzipRun run = runDunzip(archive, work.file("out"));
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(readFile(work.file("out/data.bin")), sample());
}

// A Zstandard frame may ask for a window of up to 2 GiB; more than zstd's default of 128 MiB is
// granted only to an entry that large.
TEST_F(MethodCorruption, AZstandardWindowBeyondWhatTheEntryCanUseIsRefused)
{
    if (!haveTool("zstd"))
        GTEST_SKIP() << "zstd is not installed";
    const std::string text = sample();
    writeFile(work.file("data.bin"), text);
    // From a pipe zstd cannot know the size and writes the window asked for into the frame.
    ASSERT_TRUE(
        runQuietly("cd '" + work.path().string() +
                   "' && zstd -q --long=28 - -o wide.zst < data.bin && zstd -q - -o narrow.zst < data.bin"));
    for (const auto& [file, expected] :
         {std::pair{"wide.zst", EngineResult::OutOfMemory}, std::pair{"narrow.zst", EngineResult::Ok}}) {
        ZipBuilder::Entry entry = ZipBuilder::stored("data.bin", readFile(work.file(file)));
        entry.method = 93;
        entry.crc32 = crc32Of(text);
        entry.uncompressedSize = static_cast<uint32_t>(text.size());
        ZipBuilder builder;
        builder.add(entry);
        const std::string archive = work.file(std::string(file) + ".zip");
        writeFile(archive, builder.finish());
        const UnzipRun run = runDunzip(archive, "");
        EXPECT_EQ(run.result, expected) << file << "\n" << run.allMessages();
    }
}

} // namespace
} // namespace quarvo
