// The TAR engine's directory functions, as the TAR document will drive them: Open, NextEntry as many
// times as Open counted, Reread, Close, and the results of each without an open archive.

#include "UntarTestSupport.h"

#include "engines/api/EngineResult.h"
#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace quarvo::testing {
namespace {

using Tar = TarBuilder;

struct Listed {
    std::string name;
    std::string secondName;
    uint32_t type;
    uint64_t size;
    uint32_t permissions;
    int64_t time;
    bool operator==(const Listed&) const = default;
};

class UntarList : public ::testing::Test {
  protected:
    std::string write(const std::string& bytes, const std::string& name)
    {
        writeFile(m_work.path() / name, bytes);
        return m_work.file(name);
    }
    UntarCommand openCommand(const std::string& path, uint32_t listing)
    {
        m_path = path;
        UntarCommand command;
        command.archivePath = m_path.c_str();
        command.listing = listing;
        reportTo(command, m_run);
        return command;
    }
    std::vector<Listed> deliverAll(UntarCommand& command)
    {
        std::vector<Listed> listed;
        command.function = UntarFunction::NextEntry;
        for (uint32_t i = 0; i < command.entryCount; ++i) {
            EXPECT_EQ(untar(&command), EngineResult::Ok) << i;
            const TarEntryRecord& r = *command.entryRecord;
            EXPECT_EQ(r.index, i);
            EXPECT_EQ(r.crc32, 0u);
            listed.push_back({r.name, r.secondName, r.type, r.size, r.mode & 07777, r.modificationTime});
        }
        EXPECT_EQ(untar(&command), UntarResult::NoMoreEntries);
        return listed;
    }

    TemporaryDirectory m_work;
    EngineRun m_run;
    std::string m_path;
};

TEST_F(UntarList, OpenDeliversEveryEntryInArchiveOrderUntilClosed)
{
    Tar tar;
    tar.add(Tar::directory("dir/", 0750))
        .add(Tar::file("dir/a.txt", "hello", 0444))
        .add(Tar::symbolicLink("dir/l", "a.txt"))
        .add(Tar::hardLink("h", "dir/a.txt"))
        .add(Tar::special("pipe", '6'));
    const std::vector<Listed> expected = {
        {"dir/", "", TarEntryType::Directory, 0, 0750, 1735732800},
        {"dir/a.txt", "", TarEntryType::File, 5, 0444, 1735732800},
        {"dir/l", "a.txt", TarEntryType::SymbolicLink, 0, 0777, 1735732800},
        {"h", "dir/a.txt", TarEntryType::HardLink, 0, 0644, 1735732800},
        {"pipe", "", TarEntryType::Fifo, 0, 0644, 1735732800},
    };
    UntarCommand command = openCommand(write(gzipOf(tar.finish()), "x.tgz"), 1);
    command.function = UntarFunction::Open;
    ASSERT_EQ(untar(&command), EngineResult::Ok) << m_run.allMessages();
    EXPECT_NE(command.handle, -1);
    EXPECT_EQ(command.entryCount, expected.size());
    EXPECT_EQ(command.streamType, StreamType::Gzip);
    EXPECT_EQ(deliverAll(command), expected);

    command.function = UntarFunction::Reread;
    ASSERT_EQ(untar(&command), EngineResult::Ok) << m_run.allMessages();
    EXPECT_EQ(deliverAll(command), expected);

    command.function = UntarFunction::Close;
    EXPECT_EQ(untar(&command), EngineResult::Ok);
    EXPECT_EQ(command.handle, -1);
}

// Extract on an open archive selects from the directory read at Open and reads the archive once more;
// the entry-path callback tells where each entry went.
TEST_F(UntarList, AnOpenArchiveExtractsTheEntriesItsDirectoryNames)
{
    Tar tar;
    tar.add(Tar::file("dir/a.txt", "a")).add(Tar::file("dir/b.txt", "b")).add(Tar::file("c.txt", "c"));
    UntarCommand command = openCommand(write(gzipOf(tar.finish()), "x.tgz"), 1);
    command.function = UntarFunction::Open;
    ASSERT_EQ(untar(&command), EngineResult::Ok) << m_run.allMessages();
    const std::string destination = m_work.file("out");
    std::vector<std::string> written;
    command.function = UntarFunction::Extract;
    command.itemSpecification = "DIR/A.TXT c.txt";
    command.destinationDirectory = destination.c_str();
    command.entryPathCallback = [](const char* path, const char* name, void* data) {
        static_cast<std::vector<std::string>*>(data)->push_back(std::string(name) + " -> " + path);
        return 1;
    };
    command.entryPathCallbackData = &written;
    ASSERT_EQ(untar(&command), EngineResult::Ok) << m_run.allMessages();
    EXPECT_EQ(written, (std::vector<std::string>{"dir/a.txt -> dir/a.txt", "c.txt -> c.txt"}));
    EXPECT_EQ(readFile(destination + "/dir/a.txt"), "a");
    EXPECT_FALSE(std::filesystem::exists(destination + "/dir/b.txt"));
    command.function = UntarFunction::Close;
    EXPECT_EQ(untar(&command), EngineResult::Ok);
}

TEST_F(UntarList, WithoutAnOpenArchiveTheFunctionsSayNothingIsOpen)
{
    UntarCommand command = openCommand(write(Tar().add(Tar::file("a", "a")).finish(), "a.tar"), 1);
    command.function = UntarFunction::Open;
    ASSERT_EQ(untar(&command), EngineResult::Ok);
    const int32_t closed = command.handle;
    command.function = UntarFunction::Close;
    ASSERT_EQ(untar(&command), EngineResult::Ok);
    for (uint32_t function : {UntarFunction::Reread, UntarFunction::NextEntry, UntarFunction::Close}) {
        for (int32_t handle : {-1, closed}) {
            command.function = function;
            command.handle = handle;
            EXPECT_EQ(untar(&command), UntarResult::NoArchiveOpen) << function << " " << handle;
        }
    }
    command.function = UntarFunction::Extract;
    command.handle = closed; // a stale handle is not taken for the archive path
    command.testOnly = 1;
    EXPECT_EQ(untar(&command), UntarResult::NoArchiveOpen);
}

// The count is a full 32-bit word, and with listing 0 nothing is kept: each entry goes to the
// callback as it is read.
TEST_F(UntarList, EntryCountsAreNotCutTo16Bits)
{
    constexpr uint32_t Count = 70000;
    Tar tar;
    for (uint32_t i = 0; i < Count; ++i)
        tar.add(Tar::file("f" + std::to_string(i), ""));
    UntarCommand command = openCommand(write(tar.finish(), "many.tar"), 0);
    uint32_t seen = 0;
    command.entryCallback = [](const TarEntryRecord* entry, void* data) {
        auto* count = static_cast<uint32_t*>(data);
        return entry->index == (*count)++ ? 0 : 1;
    };
    command.entryCallbackData = &seen;
    command.function = UntarFunction::Open;
    ASSERT_EQ(untar(&command), EngineResult::Ok) << m_run.allMessages();
    EXPECT_EQ(command.entryCount, Count);
    EXPECT_EQ(seen, Count);
    command.function = UntarFunction::NextEntry;
    EXPECT_EQ(untar(&command), UntarResult::NoMoreEntries);
    command.function = UntarFunction::Close;
    EXPECT_EQ(untar(&command), EngineResult::Ok);
}

TEST_F(UntarList, WhatIsNotATarArchiveIsRefusedInWordsThatSayWhy)
{
    struct Case {
        const char* what;
        std::string bytes;
        const char* name;
        uint32_t result;
        std::string said;
    } cases[] = {
        {"text", "just some text\n", "notes.tar", EngineResult::BadArchive,
         "notes.tar is not a TAR archive."},
        {"compressed text", gzipOf(std::string(600, 't')), "notes.gz", EngineResult::BadArchive,
         "notes.gz holds GZIP data that is not a TAR archive."},
        {"empty", "", "empty.tar", EngineResult::BadArchive, "empty.tar is not a TAR archive."},
        {"damaged GZIP header", std::string("\x1f\x8b\x08\xff", 4) + std::string(600, 'x'), "bad.tgz",
         EngineResult::CrcError, "bad.tgz: the GZIP data of member 1 is damaged"},
    };
    for (const Case& c : cases) {
        m_run = {};
        UntarCommand command = openCommand(write(c.bytes, c.name), 1);
        command.function = UntarFunction::Open;
        EXPECT_EQ(untar(&command), c.result) << c.what << m_run.allMessages();
        EXPECT_EQ(command.handle, -1) << c.what;
        EXPECT_TRUE(m_run.mentioned(c.said)) << c.what << "\n" << m_run.allMessages();
    }
    m_run = {};
    UntarCommand missing = openCommand(m_work.file("missing.tar"), 1);
    missing.function = UntarFunction::Open;
    EXPECT_EQ(untar(&missing), EngineResult::CannotOpenArchive);
    EXPECT_TRUE(m_run.mentioned("missing.tar: No such file or directory.")) << m_run.allMessages();
}

} // namespace
} // namespace quarvo::testing
