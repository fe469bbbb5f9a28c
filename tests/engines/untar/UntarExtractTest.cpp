// The TAR engine's extraction and test against archives built here byte by byte, hostile ones
// included: every entry goes beneath the destination or nowhere, and every refusal names its entry.

#include "UntarTestSupport.h"

#include "engines/api/EngineResult.h"
#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sys/stat.h>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;
using Tar = TarBuilder;

constexpr int64_t ArchiveTime = 1735732800; // the builder's 2025-01-01 12:00:00 UTC

// Every path under root with what it is: a file's bytes, "dir", or "-> target".
std::map<std::string, std::string> treeOf(fs::path root)
{
    std::map<std::string, std::string> tree;
    if (!fs::exists(root))
        return tree;
    if (!root.has_filename())
        root = root.parent_path();
    for (const fs::directory_entry& item : fs::recursive_directory_iterator(root)) {
        // Taken apart lexically: fs::relative would follow a link to what it names.
        const std::string relative = item.path().lexically_relative(root).string();
        if (item.is_symlink())
            tree[relative] = "-> " + fs::read_symlink(item.path()).string();
        else if (item.is_directory())
            tree[relative] = "dir";
        else
            tree[relative] = readFile(item.path());
    }
    return tree;
}

mode_t modeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

time_t timeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mtime;
}

class UntarExtract : public ::testing::Test {
  protected:
    std::string write(const std::string& bytes, const std::string& name = "archive.tar")
    {
        writeFile(m_work.path() / name, bytes);
        return m_work.file(name);
    }
    std::string out(const std::string& relative = "") const { return m_work.file("out/" + relative); }

    TemporaryDirectory m_work;
};

TEST_F(UntarExtract, FilesDirectoriesAndLinksComeBackWithModesAndTimes)
{
    Tar tar;
    tar.add(Tar::directory("dir/", 0750))
        .add(Tar::file("dir/tool", "#!/bin/sh\n", 06755)) // set-user-ID and set-group-ID dropped
        .add(Tar::directory("dir/ro/", 01555))            // sticky dropped; read-only once its file is in
        .add(Tar::file("dir/ro/inner.txt", "inner"))
        .add(Tar::symbolicLink("dir/link", "tool"))
        .add(Tar::hardLink("hard", "dir/tool"));
    std::vector<std::pair<std::string, std::string>> written;
    EngineRun run = runUntarExtract(write(tar.finish()), out(), [&](UntarCommand& command) {
        command.entryPathCallback = [](const char* path, const char* name, void* data) {
            static_cast<decltype(written)*>(data)->emplace_back(path, name);
            return 1;
        };
        command.entryPathCallbackData = &written;
    });
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(treeOf(out()), (std::map<std::string, std::string>{{"dir", "dir"},
                                                                 {"dir/tool", "#!/bin/sh\n"},
                                                                 {"dir/ro", "dir"},
                                                                 {"dir/ro/inner.txt", "inner"},
                                                                 {"dir/link", "-> tool"},
                                                                 {"hard", "#!/bin/sh\n"}}));
    EXPECT_EQ(modeOf(out("dir")), 0750u);
    EXPECT_EQ(modeOf(out("dir/tool")), 0755u);
    EXPECT_EQ(modeOf(out("dir/ro")), 0555u);
    for (const char* path : {"dir", "dir/tool", "dir/ro", "dir/ro/inner.txt"})
        EXPECT_EQ(timeOf(out(path)), ArchiveTime) << path;
    struct stat original {
    }, linked{};
    ASSERT_EQ(::stat(out("dir/tool").c_str(), &original), 0);
    ASSERT_EQ(::stat(out("hard").c_str(), &linked), 0);
    EXPECT_EQ(original.st_ino, linked.st_ino);
    EXPECT_EQ(written,
              (std::vector<std::pair<std::string, std::string>>{{"dir", "dir/"},
                                                                {"dir/tool", "dir/tool"},
                                                                {"dir/ro", "dir/ro/"},
                                                                {"dir/ro/inner.txt", "dir/ro/inner.txt"},
                                                                {"dir/link", "dir/link"},
                                                                {"hard", "hard"}}));
    EXPECT_TRUE(run.mentioned("Extracted 6 of 6 entries: no errors.")) << run.allMessages();
    fs::permissions(out("dir/ro"), fs::perms::owner_write, fs::perm_options::add); // for the clean-up
}

// A file already on disk is kept unless overwrite is set; a later entry of the same name (what
// tar -r appends) replaces the one this run wrote, as tar does.
TEST_F(UntarExtract, ExistingFilesAreKeptUnlessOverwriteAndLaterCopiesWin)
{
    Tar tar;
    tar.add(Tar::file("a.txt", "first")).add(Tar::file("b.txt", "archive")).add(Tar::file("a.txt", "second"));
    const std::string archive = write(tar.finish());
    writeFile(out("b.txt"), "on disk");
    EngineRun kept = runUntarExtract(archive, out());
    EXPECT_EQ(kept.result, EngineResult::EntriesSkipped);
    EXPECT_TRUE(kept.mentioned("Skipped b.txt: a file of that name exists.")) << kept.allMessages();
    EXPECT_EQ(readFile(out("a.txt")), "second");
    EXPECT_EQ(readFile(out("b.txt")), "on disk");

    EngineRun replaced = runUntarExtract(archive, out(), [](UntarCommand& c) { c.overwrite = 1; });
    EXPECT_EQ(replaced.result, EngineResult::Ok) << replaced.allMessages();
    EXPECT_EQ(readFile(out("b.txt")), "archive");
}

TEST_F(UntarExtract, HostileArchivesWriteNothingOutsideTheDestination)
{
    const std::string outside = m_work.file("outside");
    writeFile(outside + "/secret", "keep me");
    auto tarOf = [](std::vector<Tar::Entry> entries) {
        Tar tar;
        for (const Tar::Entry& entry : entries)
            tar.add(entry);
        return tar.finish();
    };
    Tar::Entry huge = Tar::file("huge.bin", "only this much");
    huge.declaredSize = 10'000'000'000ull;
    Tar::Entry badChecksum = Tar::file("second.txt", "2");
    badChecksum.breakChecksum = true;
    // Data that does not compress, so that half of the GZIP stream ends inside it.
    const std::string goodTar =
        tarOf({Tar::file("first.txt", randomBytes(100000, 3)), Tar::file("last.txt", "z")});
    const std::string goodGzip = gzipOf(goodTar);
    struct Case {
        const char* what;
        std::string archive;
        uint32_t result;
        std::string named; // a part of the message that names the entry
        std::vector<std::string> extracted;
    } cases[] = {
        {"traversal",
         tarOf({Tar::file("../escape.txt", "x"), Tar::file("ok.txt", "ok")}),
         EngineResult::EntriesSkipped,
         "Refused ../escape.txt",
         {"ok.txt"}},
        {"absolute name",
         tarOf({Tar::file(outside + "/abs.txt", "x")}),
         EngineResult::EntriesSkipped,
         "Refused " + outside + "/abs.txt: the name is an absolute path",
         {}},
        {"file through an earlier link",
         tarOf({Tar::symbolicLink("link", outside), Tar::file("link/planted.txt", "x")}),
         EngineResult::EntriesSkipped,
         "Skipped link link -> " + outside,
         {"link", "link/planted.txt"}},
        {"link climbing out",
         tarOf({Tar::symbolicLink("up", "../../outside/secret")}),
         EngineResult::EntriesSkipped,
         "Skipped link up -> ../../outside/secret",
         {}},
        {"hard link to a file outside",
         tarOf({Tar::hardLink("stolen", "../outside/secret")}),
         EngineResult::EntriesSkipped,
         "Skipped link stolen -> ../outside/secret",
         {}},
        {"hard link to an absolute path",
         tarOf({Tar::hardLink("passwd", "/etc/passwd")}),
         EngineResult::EntriesSkipped,
         "Skipped link passwd -> /etc/passwd",
         {}},
        {"device nodes and a FIFO",
         tarOf({Tar::special("char", '3'), Tar::special("block", '4'), Tar::special("fifo", '6')}),
         EngineResult::EntriesSkipped,
         "Skipped fifo: device nodes, FIFOs and sockets are not extracted",
         {}},
        {"size far past the end",
         Tar().add(huge).body(),
         EngineResult::CrcError,
         "huge.bin: the archive ends inside its data",
         {}},
        {"bad header checksum",
         tarOf({Tar::file("first.txt", "1"), badChecksum, Tar::file("third.txt", "3")}),
         EngineResult::BadArchive,
         "the header after first.txt is damaged",
         {"first.txt", "third.txt"}},
        {"truncated GZIP stream",
         goodGzip.substr(0, goodGzip.size() / 2),
         EngineResult::CrcError,
         "first.txt: the GZIP data ends inside member 1",
         {}},
        {"CRC error",
         goodGzip.substr(0, goodGzip.size() - 8) + std::string("\x01\x02\x03\x04", 4) +
             goodGzip.substr(goodGzip.size() - 4),
         EngineResult::CrcError,
         "CRC error",
         {"first.txt", "last.txt"}},
    };
    for (const Case& c : cases) {
        fs::remove_all(out());
        const std::map<std::string, std::string> before = treeOf(m_work.path() / "outside");
        EngineRun run = runUntarExtract(write(c.archive), out());
        EXPECT_EQ(run.result, c.result) << c.what << "\n" << run.allMessages();
        EXPECT_TRUE(run.mentioned(c.named)) << c.what << "\n" << run.allMessages();
        EXPECT_EQ(treeOf(m_work.path() / "outside"), before) << c.what;
        std::vector<std::string> extracted;
        for (const auto& [path, content] : treeOf(out()))
            extracted.push_back(path);
        EXPECT_EQ(extracted, c.extracted) << c.what;
        for (const std::string& message : run.messages)
            EXPECT_EQ(message.find('\n'), std::string::npos) << c.what << ": " << message;
    }
}

TEST_F(UntarExtract, DataAfterTheEndOfTheGzipStreamIsAWarningAndZerosAreNot)
{
    const std::string gzip = gzipOf(Tar().add(Tar::file("a.txt", "a")).finish());
    struct Case {
        const char* what;
        std::string trailing;
        uint32_t warnings;
    } cases[] = {{"garbage", "garbage\n", 1}, {"padding", std::string(2000, '\0'), 0}};
    for (const Case& c : cases) {
        EngineRun run = runUntarExtract(write(gzip + c.trailing, "a.tgz"), out(),
                                        [](UntarCommand& command) { command.overwrite = 1; });
        EXPECT_EQ(run.result, EngineResult::Ok) << c.what << run.allMessages();
        EXPECT_EQ(run.warnings, c.warnings) << c.what;
        EXPECT_EQ(readFile(out("a.txt")), "a") << c.what;
        EXPECT_EQ(run.mentioned("a.tgz: 8 bytes of other data after the end of the GZIP data were ignored."),
                  c.warnings == 1)
            << c.what << run.allMessages();
    }
}

TEST_F(UntarExtract, NamesAndPatternsSelectEntriesAndMissesAreReported)
{
    Tar tar;
    tar.add(Tar::file("a.txt", "a")).add(Tar::file("src/main.c", "m")).add(Tar::file("src/util.c", "u"));
    const std::string archive = write(tar.finish());
    struct Case {
        const char* specification;
        uint32_t result;
        std::vector<std::string> extracted;
        std::string said;
    } cases[] = {
        {"\"a.txt\" src/*.c", EngineResult::Ok, {"a.txt", "src", "src/main.c", "src/util.c"}, ""},
        {"A.TXT missing.txt",
         EngineResult::EntriesSkipped,
         {"a.txt"},
         "No entry of the archive matches missing.txt."},
        {"nothing*", EngineResult::NothingToDo, {}, "No entry of the archive matches the names given."},
    };
    for (const Case& c : cases) {
        fs::remove_all(out());
        EngineRun run = runUntarExtract(
            archive, out(), [&](UntarCommand& command) { command.itemSpecification = c.specification; });
        EXPECT_EQ(run.result, c.result) << c.specification << "\n" << run.allMessages();
        std::vector<std::string> extracted;
        for (const auto& [path, content] : treeOf(out()))
            extracted.push_back(path);
        EXPECT_EQ(extracted, c.extracted) << c.specification;
        if (!c.said.empty()) {
            EXPECT_TRUE(run.mentioned(c.said)) << c.specification << "\n" << run.allMessages();
        }
    }
}

TEST_F(UntarExtract, JunkedPathsAndConvertedLineEnds)
{
    Tar tar;
    tar.add(Tar::directory("deep/")).add(Tar::file("deep/er/text.txt", "one\ntwo\r\nthree\n"));
    EngineRun run = runUntarExtract(write(tar.finish()), out(), [](UntarCommand& command) {
        command.noDirectoryNames = 1;
        command.convertLineEnds = 1;
    });
    ASSERT_EQ(run.result, EngineResult::Ok) << run.allMessages();
    EXPECT_EQ(treeOf(out()), (std::map<std::string, std::string>{{"text.txt", "one\r\ntwo\r\nthree\r\n"}}));
}

TEST_F(UntarExtract, CancelLeavesNoPartOfTheFileBeingWritten)
{
    Tar tar;
    tar.add(Tar::file("small.txt", "s")).add(Tar::file("big.bin", randomBytes(3 << 20, 5)));
    const std::string archive = write(gzipOf(tar.finish()), "big.tgz");
    EngineRun run = runUntarExtract(archive, out(), [](UntarCommand&) {});
    ASSERT_EQ(run.result, EngineResult::Ok);
    fs::remove_all(out());
    EngineRun cancelled;
    UntarCommand command;
    command.function = UntarFunction::Extract;
    command.archivePath = archive.c_str();
    const std::string destination = out();
    command.destinationDirectory = destination.c_str();
    reportTo(command, cancelled);
    int bigStatuses = 0;
    cancelled.onStatus = [&](const std::string& text) {
        return text == "Extracting: big.bin" && ++bigStatuses > 1;
    };
    cancelled.result = untar(&command);
    EXPECT_EQ(cancelled.result, EngineResult::Cancelled);
    EXPECT_EQ(treeOf(out()), (std::map<std::string, std::string>{{"small.txt", "s"}}));
}

TEST_F(UntarExtract, TestReadsEveryEntryAndFlagsWhatExtractionWouldRefuse)
{
    Tar good;
    good.add(Tar::file("a.txt", "a")).add(Tar::directory("d/")).add(Tar::symbolicLink("d/l", "../a.txt"));
    EngineRun passed = runUntarExtract(write(good.finish()), "");
    EXPECT_EQ(passed.result, EngineResult::Ok) << passed.allMessages();
    EXPECT_TRUE(passed.mentioned("No errors detected in 3 entries.")) << passed.allMessages();

    Tar unsafe;
    unsafe.add(Tar::file("../up.txt", "u")).add(Tar::symbolicLink("l", "/etc"));
    EngineRun flagged = runUntarExtract(write(unsafe.finish()), "");
    EXPECT_EQ(flagged.result, EngineResult::EntriesSkipped);
    EXPECT_TRUE(flagged.mentioned("Unsafe name ../up.txt")) << flagged.allMessages();
    EXPECT_TRUE(flagged.mentioned("Unsafe link l -> /etc")) << flagged.allMessages();
    EXPECT_FALSE(fs::exists(m_work.file("up.txt")));
}

} // namespace
} // namespace quarvo::testing
