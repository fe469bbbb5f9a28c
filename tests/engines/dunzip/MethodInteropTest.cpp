// Archives whose entries use the methods beyond deflate, and AES encryption, written by the tools
// people send them with: each is tested and extracted by dunzip, and what it extracts must be byte
// for byte what 7-Zip extracts from the same archive.

#include "DunzipTestSupport.h"
#include "engines/api/EngineResult.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace quarvo {
namespace {

using namespace quarvo::testing;

constexpr const char* Password = "s3cret pass";

class MethodInterop : public ::testing::Test {
  protected:
    void SetUp() override
    {
        std::string words;
        while (words.size() < 3 << 20)
            words += "line " + std::to_string(words.size() % 7919) + " of some compressible text\n";
        // Repeats 40,000 bytes apart and a long run: Deflate64 codes them with its far distance codes
        // and its 16-bit lengths.
        const std::string far = randomBytes(40000, 8);
        files = {{"text.txt", words},
                 {"sub/random.bin", randomBytes(200000, 3)},
                 {"far.bin", far + "x" + far},
                 {"run.bin", std::string(300000, 'z')},
                 {"small", "hi\n"},
                 {"empty", ""}};
        for (const auto& [name, bytes] : files)
            writeFile(work.path() / "in" / name, bytes);
    }

    std::string in() const { return "cd '" + work.file("in") + "' && "; }

    // Tests and extracts archive with dunzip, then compares every file with 7-Zip's extraction.
    void expectSameAsSevenZip(const std::string& archive, const std::string& label,
                              const std::string& password = {})
    {
        auto configure = [&](UnzipCommand& command) {
            command.decrypt = !password.empty();
            command.password = password.empty() ? nullptr : password.c_str();
        };
        const UnzipRun test = runDunzip(archive, "", configure);
        EXPECT_EQ(test.result, EngineResult::Ok) << label << "\n" << test.allMessages();
        const std::string ours = work.file("ours-" + label), theirs = work.file("7z-" + label);
        const UnzipRun run = runDunzip(archive, ours, configure);
        ASSERT_EQ(run.result, EngineResult::Ok) << label << "\n" << run.allMessages();
        const std::string passwordOption = password.empty() ? "" : " '-p" + password + "'";
        ASSERT_TRUE(runQuietly("7z x -y" + passwordOption + " '-o" + theirs + "' '" + archive + "'"))
            << label;
        ASSERT_EQ(treeOf(ours), treeOf(theirs)) << label;
        for (const std::string& name : treeOf(theirs)) {
            if (!name.ends_with("/"))
                EXPECT_EQ(readFile(ours + "/" + name), readFile(theirs + "/" + name)) << label << " " << name;
        }
        for (const auto& [name, bytes] : files)
            EXPECT_EQ(readFile(ours + "/" + name), bytes) << label << " " << name;
    }

    TemporaryDirectory work;
    std::map<std::string, std::string> files;
};

TEST_F(MethodInterop, SevenZipMethodsAndEncryption)
{
    if (!haveTool("7z"))
        GTEST_SKIP() << "7z is not installed";
    struct Case {
        const char* label;
        const char* options;
        bool encrypted;
    };
    const Case cases[] = {
        {"bzip2", "-mm=BZip2", false},
        {"lzma", "-mm=LZMA", false},
        {"lzma-end-marker", "-mm=LZMA:eos", false},
        {"xz", "-mm=XZ", false},
        {"deflate64", "-mm=Deflate64", false},
        {"ppmd", "-mm=PPMd", false},
        {"ppmd-strongest", "-mm=PPMd -mx=9", false},
        {"deflate64-strongest", "-mm=Deflate64 -mx=9", false},
        {"aes128", "-mem=AES128", true},
        {"aes192", "-mm=BZip2 -mem=AES192", true},
        {"aes256", "-mm=LZMA -mem=AES256", true},
        {"aes256-deflate64", "-mm=Deflate64 -mem=AES256", true},
        {"aes256-ppmd", "-mm=PPMd -mem=AES256", true},
    };
    for (const Case& c : cases) {
        const std::string archive = work.file(std::string(c.label) + ".zip");
        const std::string password = c.encrypted ? std::string(" '-p") + Password + "'" : "";
        ASSERT_TRUE(runQuietly(in() + "7z a -tzip " + c.options + password + " '" + archive + "' ."))
            << c.label;
        expectSameAsSevenZip(archive, c.label, c.encrypted ? Password : "");
    }
}

TEST_F(MethodInterop, PythonZipfileBzip2AndLzma)
{
    if (!haveTool("python3") || !haveTool("7z"))
        GTEST_SKIP() << "python3 or 7z is not installed";
    for (const char* method : {"ZIP_BZIP2", "ZIP_LZMA"}) {
        const std::string archive = work.file(std::string(method) + ".zip");
        ASSERT_TRUE(runQuietly(
            in() + "python3 -c \"import zipfile, os\nwith zipfile.ZipFile('" + archive + "', 'w', zipfile." +
            method +
            ") as z:\n for d, _, fs in os.walk('.'):\n  for f in fs: z.write(os.path.join(d, f))\""));
        expectSameAsSevenZip(archive, method);
    }
}

TEST_F(MethodInterop, InfoZipBzip2)
{
    if (!haveTool("zip") || !runQuietly("zip -h2 | grep -q bzip2") || !haveTool("7z"))
        GTEST_SKIP() << "zip with bzip2, or 7z, is not installed";
    const std::string archive = work.file("zip-bzip2.zip");
    ASSERT_TRUE(runQuietly(in() + "zip -qr -Z bzip2 '" + archive + "' ."));
    expectSameAsSevenZip(archive, "zip-bzip2");
}

// No common tool puts Zstandard into ZIP archives yet; the entry holds what the zstd program writes,
// multi-frame and single-frame, the way the format says.
TEST_F(MethodInterop, ZstandardStreamsOfTheZstdProgram)
{
    if (!haveTool("zstd"))
        GTEST_SKIP() << "zstd is not installed";
    const std::string& text = files["text.txt"];
    const std::string source = work.file("in/text.txt");
    const std::string single = work.file("single.zst"), first = work.file("first.zst"),
                      second = work.file("second.zst");
    ASSERT_TRUE(runQuietly("zstd -q -19 '" + source + "' -o '" + single + "'"));
    // Two frames back to back, as a writer that flushes per block makes them.
    ASSERT_TRUE(runQuietly("head -c 1000000 '" + source + "' | zstd -q -o '" + first + "'"));
    ASSERT_TRUE(runQuietly("tail -c +1000001 '" + source + "' | zstd -q -o '" + second + "'"));
    const std::string framed = readFile(first) + readFile(second);
    ZipBuilder builder;
    for (const auto& [name, stream] :
         {std::pair{"single.txt", readFile(single)}, std::pair{"framed.txt", framed}}) {
        ZipBuilder::Entry entry = ZipBuilder::stored(name, stream);
        entry.method = 93;
        entry.crc32 = crc32Of(text);
        entry.uncompressedSize = static_cast<uint32_t>(text.size());
        builder.add(entry);
    }
    const std::string archive = work.file("zstd.zip");
    writeFile(archive, builder.finish());
    const UnzipRun run = runDunzip(archive, work.file("out"));
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(readFile(work.file("out/single.txt")), text);
    EXPECT_EQ(readFile(work.file("out/framed.txt")), text);
}

} // namespace
} // namespace quarvo
