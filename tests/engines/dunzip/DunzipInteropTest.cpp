// Archives written by other programs, extracted and tested by dunzip. Each case makes its archive
// with the real tool and is skipped when the tool is not installed.

#include "DunzipTestSupport.h"
#include "engines/api/EngineResult.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

namespace quarvo {
namespace {

using namespace quarvo::testing;

class DunzipInterop : public ::testing::Test {
  protected:
    void SetUp() override
    {
        std::mt19937 generator(7);
        std::string random(300000, '\0');
        for (char& c : random)
            c = static_cast<char>(generator());
        std::string words;
        while (words.size() < 12 << 20) // above the one-call inflate limit: streamed
            words += "the quick brown fox " + std::to_string(words.size() % 977) + "\n";
        files = {{"text.txt", "hello\n"},
                 {"sub/random.bin", random},
                 {"sub/deeper/big.txt", words},
                 {"empty", ""}};
        for (const auto& [name, bytes] : files)
            writeFile(work.path() / "in" / name, bytes);
    }

    std::string in() const { return "cd '" + work.file("in") + "' && "; }
    std::string archive() const { return work.file("archive.zip"); }

    void expectExtractedAndTested(const std::string& password = {})
    {
        auto configure = [&](UnzipCommand& command) {
            command.decrypt = !password.empty();
            command.password = password.empty() ? nullptr : password.c_str();
        };
        UnzipRun test = runDunzip(archive(), "", configure);
        EXPECT_EQ(test.result, EngineResult::Ok) << test.allMessages();
        EXPECT_TRUE(test.mentioned("No errors detected"));
        UnzipRun run = runDunzip(archive(), work.file("out"), configure);
        ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
        for (const auto& [name, bytes] : files)
            EXPECT_EQ(readFile(work.file("out/" + name)), bytes) << name;
    }

    TemporaryDirectory work;
    std::map<std::string, std::string> files;
};

TEST_F(DunzipInterop, InfoZip)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    ASSERT_TRUE(runQuietly(in() + "zip -r '" + archive() + "' ."));
    expectExtractedAndTested();
}

TEST_F(DunzipInterop, InfoZipStreamedWithDataDescriptors)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    // "-fd" forces data descriptors: the local headers carry no CRC or sizes.
    ASSERT_TRUE(runQuietly(in() + "zip -r -fd '" + archive() + "' ."));
    expectExtractedAndTested();
}

TEST_F(DunzipInterop, PythonZipfile)
{
    if (!haveTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    ASSERT_TRUE(runQuietly(in() + "python3 -c \"import zipfile, os\nwith zipfile.ZipFile('" + archive() +
                           "', 'w', zipfile.ZIP_DEFLATED) as z:\n  for d, _, fs in os.walk('.'):\n    "
                           "[z.write(os.path.join(d, f)) for f in fs]\""));
    expectExtractedAndTested();
}

TEST_F(DunzipInterop, SevenZip)
{
    if (!haveTool("7z"))
        GTEST_SKIP() << "7z is not installed";
    ASSERT_TRUE(runQuietly(in() + "7z a -tzip '" + archive() + "' ."));
    expectExtractedAndTested();
}

TEST_F(DunzipInterop, Bsdtar)
{
    if (!haveTool("bsdtar"))
        GTEST_SKIP() << "bsdtar is not installed";
    ASSERT_TRUE(runQuietly(in() + "bsdtar --format zip -cf '" + archive() + "' text.txt sub empty"));
    expectExtractedAndTested();
}

TEST_F(DunzipInterop, TraditionalEncryptionFromInfoZipAndSevenZip)
{
    struct Case {
        const char* tool;
        std::string command;
    };
    const Case cases[] = {
        {"zip", "zip -r -P secret '" + archive() + "' ."},
        {"7z", "7z a -tzip -psecret -mem=ZipCrypto '" + archive() + "' ."},
    };
    for (const Case& c : cases) {
        if (!haveTool(c.tool))
            continue;
        std::filesystem::remove(archive());
        std::filesystem::remove_all(work.file("out"));
        ASSERT_TRUE(runQuietly(in() + c.command)) << c.tool;
        expectExtractedAndTested("secret");

        std::filesystem::remove_all(work.file("out"));
        for (const char* wrong : {"wrong", ""}) {
            UnzipRun run = runDunzip(archive(), work.file("out"), [&](UnzipCommand& command) {
                command.decrypt = 1;
                command.password = wrong;
            });
            // The cipher's one-byte check lets a wrong password through once in 256 entries; the
            // data's CRC then refuses it. Either way nothing is extracted.
            EXPECT_TRUE(run.result == EngineResult::WrongPassword || run.result == EngineResult::CrcError)
                << c.tool << " " << wrong << " " << run.result;
            for (const auto& [name, bytes] : files) {
                if (!bytes.empty()) {
                    EXPECT_FALSE(std::filesystem::exists(work.file("out/" + name))) << c.tool << " " << name;
                }
            }
        }
    }
}

TEST_F(DunzipInterop, ExtractedFilesMatchWhatUnzipExtracts)
{
    if (!haveTool("zip") || !haveTool("unzip"))
        GTEST_SKIP() << "zip or unzip is not installed";
    ASSERT_TRUE(runQuietly(in() + "zip -r '" + archive() + "' ."));
    ASSERT_TRUE(runQuietly("unzip -q '" + archive() + "' -d '" + work.file("theirs") + "'"));
    UnzipRun run = runDunzip(archive(), work.file("ours"));
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(treeOf(work.file("ours")), treeOf(work.file("theirs")));
    EXPECT_TRUE(runQuietly("diff -r '" + work.file("ours") + "' '" + work.file("theirs") + "'"));
}

TEST_F(DunzipInterop, ArchivesWithDataInFrontOfThem)
{
    // A stub joined with cat: the stored offsets do not count it, and the directory is found right
    // before the end record, as unzip, 7-Zip and Python find it.
    writeFile(work.path() / "stub.bin", std::string(4321, '\x90'));
    const std::string plain = work.file("plain.zip");
    const std::string join = "(cat '" + work.file("stub.bin") + "' '" + plain + "' > '" + archive() + "')";
    bool ran = false;
    if (haveTool("zip")) {
        ASSERT_TRUE(runQuietly(in() + "zip -r '" + plain + "' . && " + join));
        expectExtractedAndTested();
        ran = true;
    }
    if (haveTool("7z")) {
        std::filesystem::remove(plain);
        std::filesystem::remove_all(work.file("out"));
        ASSERT_TRUE(runQuietly(in() + "7z a -tzip '" + plain + "' . && " + join));
        expectExtractedAndTested();
        ran = true;
    }
    if (!ran)
        GTEST_SKIP() << "neither zip nor 7z is installed";
}

TEST_F(DunzipInterop, InfoZipZip64RecordsThatCarryNothing)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    // -fz: ZIP64 end record and locator, ZIP64 extra fields in every header, small values.
    ASSERT_TRUE(runQuietly(in() + "zip -r -fz '" + archive() + "' ."));
    expectExtractedAndTested();

    // Standard input into a pipe: the same records, and 24-byte data descriptors after the data.
    const std::string piped = work.file("piped.zip");
    ASSERT_TRUE(runQuietly(in() + "(zip -q - - < sub/deeper/big.txt | cat > '" + piped + "')"));
    UnzipRun run = runDunzip(piped, work.file("piped"));
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(readFile(work.file("piped/-")), files["sub/deeper/big.txt"]);
}

} // namespace
} // namespace quarvo
