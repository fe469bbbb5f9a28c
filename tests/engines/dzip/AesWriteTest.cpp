// AES-256 entries written by dzip, checked with 7-Zip: every path a file takes into the archive
// (whole in memory or streamed, deflated or stored, empty), the update and freshen paths that
// replace entries, and a password that never reaches the log or the messages.

#include "DzipTestSupport.h"
#include "engines/api/EngineResult.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* Password = "pass w\xC3\xB6rd";

class AesWrite : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolAvailable("7z"))
            GTEST_SKIP() << "7z is not installed";
    }

    uint16_t add(const std::string& archive, const std::string& items, uint32_t function, uint32_t level,
                 EngineRecord& record)
    {
        ZipCommand command = makeCommand(function, archive, items, record);
        command.compressionLevel = level;
        command.recurse = 1;
        command.encrypt = 1;
        command.password = Password;
        command.encryption = ZipEncryption::Aes256;
        return dzip(&command);
    }

    // 7-Zip's word on the archive: it must test it with the password and name every file's method.
    void expectSevenZipReads(const std::string& archive, const std::map<std::string, std::string>& files)
    {
        const std::string quoted = " '-p" + std::string(Password) + "' '" + archive + "'";
        EXPECT_NE(commandOutput("7z t" + quoted + " 2>&1").find("Everything is Ok"), std::string::npos);
        const std::string technical = commandOutput("7z l -slt" + quoted);
        for (const auto& [name, bytes] : files) {
            const std::string out = work.file("7z-out");
            fs::remove_all(out);
            commandOutput("7z x -y '-o" + out + "'" + quoted + " '" + name + "' >/dev/null 2>&1");
            EXPECT_EQ(readFile(out + "/" + name), bytes) << name;
        }
        // Every file entry is AES-256, over deflate or stored data; 7-Zip lists entries in blocks
        // of "Key = value" lines, directories with "Folder = +".
        size_t methods = 0;
        for (size_t at = technical.find("\nPath = "); at != std::string::npos;
             at = technical.find("\nPath = ", at + 1)) {
            const std::string block = technical.substr(at, technical.find("\n\n", at) - at);
            if (block.find("\nFolder = +") != std::string::npos ||
                block.find("\nType = zip") != std::string::npos)
                continue; // a directory, or the archive itself
            EXPECT_NE(block.find("\nMethod = AES-256 "), std::string::npos) << block;
            ++methods;
        }
        EXPECT_EQ(methods, files.size()) << technical;
    }

    TemporaryDirectory work;
};

TEST_F(AesWrite, EveryPathIntoTheArchivePassesSevenZip)
{
    std::string text;
    while (text.size() < 200000)
        text += "a line of text that compresses well " + std::to_string(text.size() % 97) + "\n";
    // Above the whole-file limit of 32 MiB: streamed, its header written again once sizes are known.
    const std::map<std::string, std::string> files = {
        {"in/empty", ""},
        {"in/small.txt", "x"},
        {"in/text.txt", text},
        {"in/random.bin", randomBytes(100000, 4)},
        {"in/large.bin", randomBytes(33u << 20, 5) + text},
    };
    for (const auto& [name, bytes] : files)
        writeFile(work.path() / name, bytes);
    for (const uint32_t level : {0u, 5u}) {
        const std::string archive = work.file("level" + std::to_string(level) + ".zip");
        EngineRecord record;
        ASSERT_EQ(add(archive, work.file("in"), ZipFunction::Add, level, record), EngineResult::Ok);
        std::map<std::string, std::string> stored;
        for (const auto& [name, bytes] : files)
            stored[work.file(name).substr(1)] = bytes;
        expectSevenZipReads(archive, stored);
        EXPECT_NE(commandOutput("7z t -pwrong '" + archive + "' 2>&1").find("Wrong password"),
                  std::string::npos);
    }
}

TEST_F(AesWrite, FreshenAndUpdateReplaceEntriesWithAesOnes)
{
    writeFile(work.path() / "in/kept.txt", "kept\n");
    writeFile(work.path() / "in/changed.txt", "old\n");
    setModified(work.path() / "in/changed.txt", 1600000000);
    const std::string archive = work.file("a.zip");
    EngineRecord record;
    ASSERT_EQ(add(archive, work.file("in"), ZipFunction::Add, 5, record), EngineResult::Ok);

    writeFile(work.path() / "in/changed.txt", std::string(5000, 'n'));
    setModified(work.path() / "in/changed.txt", 1700000000);
    ASSERT_EQ(add(archive, work.file("in"), ZipFunction::Freshen, 5, record), EngineResult::Ok);
    writeFile(work.path() / "in/new.txt", "new\n");
    ASSERT_EQ(add(archive, work.file("in"), ZipFunction::Update, 5, record), EngineResult::Ok);

    const std::string prefix = work.file("in").substr(1) + "/";
    expectSevenZipReads(archive, {{prefix + "kept.txt", "kept\n"},
                                  {prefix + "changed.txt", std::string(5000, 'n')},
                                  {prefix + "new.txt", "new\n"}});
}

TEST_F(AesWrite, ThePasswordReachesNeitherTheLogNorAMessage)
{
    ScopedEnvironment state("XDG_STATE_HOME", work.file("state"));
    writeFile(work.path() / "in/file.txt", "content\n");
    EngineRecord record;
    const std::string archive = work.file("a.zip"), items = work.file("in");
    ZipCommand command = makeCommand(ZipFunction::Add, archive, items, record);
    command.recurse = 1;
    command.writeLog = 1;
    command.encrypt = 1;
    command.password = Password;
    command.encryption = ZipEncryption::Aes256;
    ASSERT_EQ(dzip(&command), EngineResult::Ok);
    const std::string log = readFile(work.file("state/quarvo/zip.log"));
    EXPECT_NE(log.find("file.txt"), std::string::npos) << "the log was written";
    EXPECT_EQ(log.find(Password), std::string::npos);
    for (const std::string& text : record.messages)
        EXPECT_EQ(text.find(Password), std::string::npos) << text;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(work.path()))
        EXPECT_EQ(entry.path().string().find(Password), std::string::npos);
}

} // namespace
} // namespace quarvo::testing
