// Extraction and test decode entries on several threads while the caller hears of them in archive
// order. Whatever the number of threads, the caller must hear the same results, messages and status
// texts in the same order, and find the same files, also when it cancels at any entry.
#include "DunzipTestSupport.h"
#include "engines/api/EngineResult.h"
#include "engines/common/PkwareCipher.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

namespace quarvo {
namespace {

using namespace quarvo::testing;
namespace fs = std::filesystem;

constexpr const char* Password = "parallel";

std::string lines(size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string text;
    while (text.size() < size)
        text += "line " + std::to_string(generator() % 1000) + " of some text\n";
    text.resize(size);
    return text;
}

// A stored entry under the traditional cipher with password.
ZipBuilder::Entry encrypted(const std::string& name, const std::string& data, const std::string& password)
{
    ZipBuilder::Entry entry = ZipBuilder::stored(name, data);
    PkwareCipher cipher(password);
    std::array<uint8_t, PkwareCipher::HeaderSize> header =
        cipher.makeHeader(PkwareCipher::checkByteFor(entry.crc32, entry.modTime, false));
    std::string body = data;
    cipher.encrypt(std::span(reinterpret_cast<uint8_t*>(body.data()), body.size()));
    entry.data = std::string(header.begin(), header.end()) + body;
    entry.compressedSize = static_cast<uint32_t>(entry.data.size());
    entry.flags |= 1;
    return entry;
}

ZipBuilder::Entry link(const std::string& name, const std::string& target)
{
    ZipBuilder::Entry entry = ZipBuilder::stored(name, target);
    entry.externalAttributes = (0120000u | 0777u) << 16;
    return entry;
}

// Good entries in several directories and of both inflate paths' sizes, among damaged (CRC error,
// unknown method, a broken deflate stream), encrypted (right and wrong password), duplicated,
// refused and link entries, and names that meet once directory names are dropped.
std::string mixedArchive()
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored("dir/", ""));
    for (int i = 0; i < 16; ++i) {
        const std::string text = lines(static_cast<size_t>(i) * 5000 + 1, static_cast<unsigned>(i));
        const std::string name = (i % 3 ? "many/f" : "other/sub/f") + std::to_string(i) + ".txt";
        builder.add(i % 2 ? ZipBuilder::stored(name, text) : ZipBuilder::deflated(name, deflateRaw(text), text));
    }
    builder.add(ZipBuilder::stored("other/sub/f1.txt", "meets many/f1.txt without directory names"));
    ZipBuilder::Entry crc = ZipBuilder::stored("damaged/crc.txt", "these bytes changed");
    crc.crc32 ^= 1;
    builder.add(crc);
    ZipBuilder::Entry method = ZipBuilder::stored("damaged/method.bin", "unknown");
    method.method = 77;
    builder.add(method);
    const std::string text = lines(100000, 9);
    std::string broken = deflateRaw(text);
    broken[broken.size() / 2] ^= 0x55;
    builder.add(ZipBuilder::deflated("damaged/broken.txt", broken, text));
    builder.add(encrypted("secret/right.txt", "opened with the password", Password));
    builder.add(encrypted("secret/wrong.txt", "made with another password", "another"));
    builder.add(ZipBuilder::stored("same.txt", "first")).add(ZipBuilder::stored("same.txt", "second"));
    builder.add(ZipBuilder::stored("../escape.txt", "refused"));
    builder.add(link("dir/link", "large.txt"));
    const std::string large = lines(9 << 20, 1); // streamed rather than inflated in one call
    builder.add(ZipBuilder::deflated("dir/large.txt", deflateRaw(large, 1), large));
    builder.add(ZipBuilder::stored("new/deeper/last.txt", "last"));
    return builder.finish();
}

// What a caller sees of one run: the result, every message, each entry's status text once (repeats
// come with progress as often as time allows), and the files with their contents.
struct Seen {
    uint16_t result = 0;
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    std::vector<std::string> files;

    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& seen, std::ostream* out)
{
    *out << "result " << seen.result;
    for (const auto& [title, texts] : {std::pair{"messages", &seen.messages}, std::pair{"statuses", &seen.statuses},
                                       std::pair{"files", &seen.files}}) {
        *out << "\n" << title << ":";
        for (const std::string& text : *texts)
            *out << "\n  " << text;
    }
}

std::vector<std::string> filesBeneath(const std::string& root)
{
    std::vector<std::string> files;
    if (!fs::exists(root))
        return files;
    for (const std::string& path : treeOf(root)) {
        const fs::path full = fs::path(root) / path;
        if (fs::is_symlink(full))
            files.push_back(path + " -> " + fs::read_symlink(full).string());
        else if (fs::is_regular_file(full))
            files.push_back(path + " = " + std::to_string(std::hash<std::string>{}(readFile(full))));
        else
            files.push_back(path);
    }
    return files;
}

class DunzipParallel : public ::testing::Test {
  protected:
    // Runs dunzip with threads deciding entries; cancelAt, when given, says which status to cancel at.
    Seen run(unsigned threads, bool test, const std::function<void(UnzipCommand&)>& configure = {},
             const std::function<bool(const std::string&)>& cancelAt = {})
    {
        ScopedEnvironment setting("QUARVO_UNZIP_THREADS", std::to_string(threads));
        if (!m_reuseDestination)
            ++m_runs;
        const std::string destination = test ? "" : work.file("out" + std::to_string(m_runs));
        UnzipRun unzip = runDunzip(
            m_archive, destination,
            [&](UnzipCommand& command) {
                command.decrypt = 1;
                command.password = Password;
                if (configure)
                    configure(command);
            },
            [&](const std::string& text) { return cancelAt && cancelAt(text) ? 1 : 0; });
        Seen seen{unzip.result, unzip.messages, {}, test ? std::vector<std::string>{} : filesBeneath(destination)};
        for (const std::string& status : unzip.statuses) {
            if (seen.statuses.empty() || seen.statuses.back() != status)
                seen.statuses.push_back(status);
        }
        return seen;
    }

    TemporaryDirectory work;
    std::string m_archive = [this] {
        writeFile(work.path() / "mixed.zip", mixedArchive());
        return work.file("mixed.zip");
    }();
    int m_runs = 0;
    bool m_reuseDestination = false; // the next run extracts where the last one did
};

TEST_F(DunzipParallel, EveryThreadCountReportsWhatOneThreadDoes)
{
    struct Case {
        const char* label;
        bool test;
        std::function<void(UnzipCommand&)> configure;
        uint16_t result; // the first problem met
    };
    const Case cases[] = {
        {"test", true, {}, EngineResult::CrcError},
        {"extract", false, {}, EngineResult::CrcError},
        // Every file lands in the destination itself, so later entries meet earlier ones' files.
        {"extract without directory names", false, [](UnzipCommand& c) { c.noDirectoryNames = 1; },
         EngineResult::EntriesSkipped},
    };
    for (const Case& c : cases) {
        const Seen alone = run(1, c.test, c.configure);
        EXPECT_EQ(alone.result, c.result) << c.label;
        for (unsigned threads : {2u, 4u})
            EXPECT_EQ(run(threads, c.test, c.configure), alone) << c.label << " on " << threads << " threads";
    }
}

TEST_F(DunzipParallel, ExtractingOverAnEarlierExtractionReportsTheSame)
{
    // The second run finds every file on disk: skipped one by one, or replaced with overwrite.
    for (uint32_t overwrite : {0u, 1u}) {
        auto configure = [&](UnzipCommand& c) { c.overwrite = overwrite; };
        std::vector<Seen> seconds;
        for (unsigned threads : {1u, 2u}) {
            const Seen first = run(1, false, configure);
            m_reuseDestination = true;
            seconds.push_back(run(threads, false, configure));
            m_reuseDestination = false;
            EXPECT_EQ(seconds.back().files, first.files) << "overwrite " << overwrite;
        }
        EXPECT_EQ(seconds[1], seconds[0]) << "overwrite " << overwrite;
        if (!overwrite)
            EXPECT_NE(seconds[0].messages, run(1, false, configure).messages) << "the second run found no files";
    }
}

// Cancelling at any entry's status leaves exactly what one thread leaves: the entries before it
// whole, nothing of it or after it (no temporary file, no directory made only for them).
TEST_F(DunzipParallel, CancellingAtAnyEntryLeavesWhatOneThreadLeaves)
{
    for (bool test : {false, true}) {
        const Seen whole = run(1, test);
        for (size_t entry = 0; entry < whole.statuses.size(); ++entry) {
            const std::string& text = whole.statuses[entry];
            const Seen alone = run(1, test, {}, [&](const std::string& status) { return status == text; });
            const Seen parallel = run(2, test, {}, [&](const std::string& status) { return status == text; });
            EXPECT_EQ(alone.result, EngineResult::Cancelled) << text;
            EXPECT_EQ(parallel, alone) << (test ? "test" : "extract") << ", cancelled at " << text;
        }
    }
}

} // namespace
} // namespace quarvo
