#include "engines/common/Destination.h"
#include "engines/api/EngineResult.h"
#include "engines/common/DeferredEntries.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace quarvo {
namespace {

using quarvo::testing::readFile;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

std::vector<uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

class ExtractionDestination : public ::testing::Test {
  protected:
    void SetUp() override
    {
        writeFile(m_work.file("outside/secret"), "outside");
        fs::create_directories(m_work.file("out"));
        Result<Destination> opened = Destination::open(m_work.file("out"));
        ASSERT_TRUE(opened) << opened.error().message;
        m_destination.emplace(std::move(opened).value());
    }
    std::string out(const std::string& relative) const { return m_work.file("out/" + relative); }
    Result<Ok> writeAndCommit(const std::vector<std::string>& components, std::string_view text)
    {
        Result<PendingFile> file = m_destination->createFile(components);
        if (!file)
            return file.error();
        EXPECT_TRUE(file->write(bytesOf(text)));
        return file->commit(0644, std::time_t{1000000000});
    }

    TemporaryDirectory m_work;
    std::optional<Destination> m_destination;
};

// Links planted in the destination before the extraction never lead a write outside it: a directory
// on the way that is a link is refused, and a file named like a link replaces the link.
TEST_F(ExtractionDestination, PlantedLinksAreNeverWrittenThrough)
{
    fs::create_directory_symlink(m_work.file("outside"), out("planted-dir"));
    fs::create_symlink(m_work.file("outside/secret"), out("planted-file"));

    Result<Ok> throughDirectory = writeAndCommit({"planted-dir", "secret"}, "through the link");
    ASSERT_FALSE(throughDirectory);
    EXPECT_NE(throughDirectory.error().message.find("\"planted-dir\" is a link"), std::string::npos);

    ASSERT_TRUE(writeAndCommit({"planted-file"}, "replaces the link"));
    EXPECT_FALSE(fs::is_symlink(out("planted-file")));
    EXPECT_EQ(readFile(out("planted-file")), "replaces the link");
    EXPECT_EQ(readFile(m_work.file("outside/secret")), "outside");

    Result<Ok> hardThroughDirectory = m_destination->makeHardLink({"stolen"}, {"planted-dir", "secret"});
    EXPECT_FALSE(hardThroughDirectory);
    EXPECT_FALSE(fs::exists(out("stolen")));
}

TEST_F(ExtractionDestination, AFileNotCommittedLeavesNothingBehind)
{
    {
        Result<PendingFile> file = m_destination->createFile({"dir", "partial.txt"});
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->write(bytesOf("half of it")));
    }
    EXPECT_TRUE(fs::is_empty(out("dir")));
}

// A file is put in place whatever held its name: a file or a link is replaced (the link's target
// untouched), a directory is not; no temporary name is ever left beside it.
TEST_F(ExtractionDestination, CommittingReplacesAFileOrLinkAndLeavesNoTemporaryName)
{
    struct Case {
        const char* name;
        std::function<void(const std::string&)> plant;
        bool replaced;
    };
    const std::vector<Case> cases = {
        {"free", [](const std::string&) {}, true},
        {"file", [](const std::string& path) { writeFile(path, "old"); }, true},
        {"link", [this](const std::string& path) { fs::create_symlink(m_work.file("outside/secret"), path); },
         true},
        {"dangling", [](const std::string& path) { fs::create_symlink("nowhere", path); }, true},
        {"directory", [](const std::string& path) { fs::create_directory(path); }, false},
    };
    for (const Case& c : cases) {
        c.plant(out(c.name));
        EXPECT_EQ(bool(writeAndCommit({c.name}, "new")), c.replaced) << c.name;
        EXPECT_EQ(fs::is_regular_file(fs::symlink_status(out(c.name))), c.replaced) << c.name;
        if (c.replaced) {
            EXPECT_EQ(readFile(out(c.name)), "new") << c.name;
        }
    }
    EXPECT_EQ(readFile(m_work.file("outside/secret")), "outside");
    // A file sealed and then given up leaves nothing either.
    {
        Result<PendingFile> file = m_destination->createFile({"given-up"});
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->write(bytesOf("sealed")));
        ASSERT_TRUE(file->seal(0644, timespec{1000000000, 0}));
    }
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(out("")))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dangling", "directory", "file", "free", "link"}));
}

TEST_F(ExtractionDestination, WritesAtOffsetsLeaveHolesOfZeros)
{
    Result<PendingFile> file = m_destination->createFile({"sparse"});
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->writeAt(4, bytesOf("data")));
    ASSERT_TRUE(file->resize(12));
    ASSERT_TRUE(file->commit(0600, timespec{1000000000, 250000000}));
    EXPECT_EQ(readFile(out("sparse")), std::string(4, '\0') + "data" + std::string(4, '\0'));
    struct stat status {};
    ASSERT_EQ(::stat(out("sparse").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_EQ(status.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(status.st_mtim.tv_nsec, 250000000);
}

TEST_F(ExtractionDestination, HardLinksShareTheFileAndLinkALinkItself)
{
    ASSERT_TRUE(writeAndCommit({"dir", "file"}, "shared"));
    ASSERT_TRUE(m_destination->makeLink({"symlink"}, "dir/file"));
    ASSERT_TRUE(m_destination->makeHardLink({"other", "hard"}, {"dir", "file"}));
    ASSERT_TRUE(m_destination->makeHardLink({"hard-to-link"}, {"symlink"}));
    struct stat original {
    }, linked{}, linkToLink{};
    ASSERT_EQ(::stat(out("dir/file").c_str(), &original), 0);
    ASSERT_EQ(::stat(out("other/hard").c_str(), &linked), 0);
    EXPECT_EQ(original.st_ino, linked.st_ino);
    ASSERT_EQ(::lstat(out("hard-to-link").c_str(), &linkToLink), 0);
    EXPECT_TRUE(S_ISLNK(linkToLink.st_mode));
}

// Links come after every file and are refused when they would lead out; directories get their mode
// and time once nothing more is written inside them, so a read-only one still receives its files.
TEST_F(ExtractionDestination, DeferredLinksAndDirectoriesAreDoneLastAndSafely)
{
    EngineReporter::Callbacks callbacks;
    std::vector<std::string> messages;
    callbacks.message = [](const char* text, uint32_t, void* data) {
        static_cast<std::vector<std::string>*>(data)->emplace_back(text);
        return 0;
    };
    callbacks.messageData = &messages;
    EngineReporter reporter(callbacks, nullptr);
    DeferredEntries deferred;
    ASSERT_TRUE(m_destination->makeDirectories({"ro"}));
    deferred.addDirectory("ro/", {"ro"}, 0555, timespec{1000000000, 0});
    deferred.addSymbolicLink("escape", {"escape"}, "../outside/secret");
    deferred.addSymbolicLink("ro/inside", {"ro", "inside"}, "../file");
    deferred.addHardLink("hard", {"hard"}, {"ro", "inside"}, "ro/inside");
    ASSERT_TRUE(writeAndCommit({"file"}, "f"));

    std::vector<uint16_t> failures;
    std::vector<std::string> made;
    deferred.finish(
        *m_destination, reporter, [&](uint16_t code) { failures.push_back(code); },
        [&](const DeferredEntries::Link& link) { made.push_back(link.shownName); });

    EXPECT_EQ(failures, std::vector<uint16_t>{EngineResult::EntriesSkipped});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "Skipped link escape -> ../outside/secret: it points outside the destination directory.");
    EXPECT_EQ(made, (std::vector<std::string>{"ro/inside", "hard"}));
    EXPECT_FALSE(fs::exists(out("escape")) || fs::is_symlink(out("escape")));
    EXPECT_EQ(fs::read_symlink(out("ro/inside")), "../file");
    EXPECT_TRUE(fs::is_symlink(out("hard")));
    struct stat status {};
    ASSERT_EQ(::stat(out("ro").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0555u);
    EXPECT_EQ(status.st_mtime, 1000000000);
    fs::permissions(out("ro"), fs::perms::owner_write, fs::perm_options::add); // for the clean-up
}

} // namespace
} // namespace quarvo
