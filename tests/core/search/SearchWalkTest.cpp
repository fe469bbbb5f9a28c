#include "core/search/ArchiveScan.h"
#include "core/search/SearchLocations.h"

#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <linux/capability.h>
#include <map>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace quarvo {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryDirectory;
using testing::writeFile;
using testing::ZipBuilder;

std::string archiveWith(std::vector<ZipBuilder::Entry> entries, std::string comment = {})
{
    ZipBuilder builder;
    for (ZipBuilder::Entry& entry : entries)
        builder.add(std::move(entry));
    ZipBuilder::End end;
    end.comment = std::move(comment);
    return builder.finish(end);
}

ZipBuilder::Entry commented(std::string name, std::string comment)
{
    ZipBuilder::Entry entry = ZipBuilder::stored(std::move(name), "data");
    entry.comment = std::move(comment);
    return entry;
}

// The same archive with its counts and directory offset saturated and given in ZIP64 end records,
// as writers of archives past 4 GiB or 65,535 entries store them.
std::string asZip64(const std::string& plain, uint64_t entries)
{
    const size_t endOffset = plain.size() - 22;
    const uint32_t directorySize =
        uint32_t(uint8_t(plain[endOffset + 12])) | uint32_t(uint8_t(plain[endOffset + 13])) << 8;
    const uint64_t directoryOffset = endOffset - directorySize;
    return plain.substr(0, endOffset) +
           ZipBuilder::zip64EndRecords(entries, directorySize, directoryOffset, endOffset) +
           ZipBuilder::endRecord(0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, "");
}

// Every line found, by the archive it belongs to; within an archive in the order reported. The
// order of archives within a directory is the file system's, which the test does not fix.
using Findings = std::map<std::string, std::vector<std::string>>;

struct Recorder {
    Findings findings;
    std::vector<std::string> examined;
    SearchListener listener{[this](const std::string& path) { examined.push_back(path); },
                            [this](const SearchResultLine& line) {
                                std::vector<std::string>& lines = findings[line.archivePath];
                                // The archive's path comes first, and only once.
                                EXPECT_EQ(line.kind == SearchResultLine::Kind::Archive, lines.empty())
                                    << line.text;
                                lines.push_back(line.text);
                            }};
};

// A tree of archives at several depths, with the things a walk over a real disk meets.
class SearchTree : public ::testing::Test {
  protected:
    void SetUp() override
    {
        writeFile(file("top.zip"),
                  archiveWith({ZipBuilder::stored("readme.txt", "r"), ZipBuilder::stored("src/main.c", "m")},
                              "nothing here"));
        writeFile(file("a/deep.ZIP"), archiveWith({commented("docs/README.md", "see the readme, please"),
                                                   commented("docs/other.md", "a readme too")}));
        writeFile(file("a/b/c/commented.zip"), archiveWith({ZipBuilder::stored("x.bin", "x")}, "A README."));
        writeFile(file("a/b/zip64.zip"),
                  asZip64(archiveWith({ZipBuilder::stored("big/readme.txt", "r")}), 1));
        // The end record counts three entries where the directory holds two: the scan ends at the
        // end record, and what it found stays listed.
        ZipBuilder damaged;
        damaged.add(ZipBuilder::stored("readme.txt", "r")).add(ZipBuilder::stored("lost.txt", "l"));
        ZipBuilder::End lying;
        lying.entriesOnThisDisk = lying.entriesTotal = 3;
        writeFile(file("a/damaged.zip"), damaged.finish(lying));
        writeFile(file("a/nodirectory.zip"), "readme readme readme");
        // The last disk of a set: its comment is searched, its directory on earlier disks is not asked for.
        writeFile(file("a/spanned.zip"), ZipBuilder::endRecord(2, 0, 0, 3, 100, 0, "readme for disk 3"));
        writeFile(file("a/.hidden.zip"), archiveWith({ZipBuilder::stored("readme.txt", "r")}));
        writeFile(file("a/readonly.zip"), archiveWith({ZipBuilder::stored("readme.txt", "r")}));
        fs::permissions(file("a/readonly.zip"), fs::perms::owner_read | fs::perms::group_read);
        writeFile(file("a/self.EXE"), "MZ stub" + archiveWith({ZipBuilder::stored("setup/readme.txt", "r")}));
        writeFile(file("a/plain.exe"), "MZ no archive here, just a readme");
        ASSERT_EQ(::mkfifo(file("a/fifo.zip").c_str(), 0600), 0);
        fs::create_directory_symlink("..", file("a/b/loop"));
        fs::create_directory_symlink(m_root.path(), file("a/root"));
        fs::create_symlink(file("top.zip"), file("a/link.zip"));
    }

    std::string file(const std::string& relative) const { return m_root.file(relative); }
    std::string root() const { return m_root.path().string(); }

    TemporaryDirectory m_root;
};

TEST_F(SearchTree, FindsNamesAndKeyWordsAtEveryDepthPassingByWhatIsNoArchive)
{
    // A FIFO named like an archive must never be opened for reading: that would wait for a writer.
    ::alarm(60);
    struct Case {
        const char* rule;
        SearchCriteria criteria;
        Findings expected;
    };
    const std::string top = file("top.zip"), deep = file("a/deep.ZIP"),
                      commentedZip = file("a/b/c/commented.zip"), zip64 = file("a/b/zip64.zip"),
                      damaged = file("a/damaged.zip"), spanned = file("a/spanned.zip"),
                      self = file("a/self.EXE"), link = file("a/link.zip");
    const Case cases[] = {
        {"names at every depth, through a link to a file, ZIP64 and damaged directories",
         {"", "*readme*", true, false},
         {{top, {top, "     readme.txt"}},
          {link, {link, "     readme.txt"}},
          {deep, {deep, "     docs/README.md"}},
          {zip64, {zip64, "     big/readme.txt"}},
          {damaged, {damaged, "     readme.txt"}}}},
        {"without subdirectories only the location itself",
         {"", "*readme*", false, false},
         {{top, {top, "     readme.txt"}}}},
        {"self-extractors only when asked for",
         {"", "*/readme.txt", true, true},
         {{self, {self, "     setup/readme.txt"}}, {zip64, {zip64, "     big/readme.txt"}}}},
        {"the key word in archive and entry comments; once listed, comments are no longer searched",
         {"readme", "", true, false},
         {{deep, {deep, "     docs/README.md   (Key Found)"}},
          {commentedZip, {commentedZip, "     (Key found)"}},
          {spanned, {spanned, "     (Key found)"}}}},
        {"a name match and a comment hit in one archive",
         {"README", "docs/o*", true, false},
         {{deep, {deep, "     docs/README.md   (Key Found)", "     docs/other.md"}},
          {commentedZip, {commentedZip, "     (Key found)"}},
          {spanned, {spanned, "     (Key found)"}}}},
        {"an empty pattern matches no name", {"", "", true, true}, {}},
    };
    for (const Case& test : cases) {
        Recorder recorder;
        std::atomic<bool> cancel = false;
        EXPECT_EQ(searchLocation(root(), test.criteria, recorder.listener, cancel), WalkOutcome::Done)
            << test.rule;
        EXPECT_EQ(recorder.findings, test.expected) << test.rule;
    }
    ::alarm(0);
}

TEST_F(SearchTree, WalksByPathsVisitingEachDirectoryOnceWithoutFollowingLinks)
{
    const fs::path before = fs::current_path();
    Recorder recorder;
    std::atomic<bool> cancel = false;
    ASSERT_EQ(searchLocation(root() + "/", {"", "*", true, true}, recorder.listener, cancel),
              WalkOutcome::Done);
    EXPECT_EQ(fs::current_path(), before);
    std::map<std::string, int> seen;
    for (const std::string& path : recorder.examined)
        ++seen[path];
    for (const auto& [path, count] : seen)
        EXPECT_EQ(count, 1) << path;
    EXPECT_EQ(seen.count(root() + "/"), 1u);
    EXPECT_EQ(seen.count(file("a/b/c/")), 1u);
    // Links to directories are not entered; the FIFO, hidden and read-only files are not examined.
    for (const char* never : {"a/b/loop/", "a/root/", "a/fifo.zip", "a/.hidden.zip", "a/readonly.zip"})
        EXPECT_EQ(seen.count(file(never)), 0u) << never;
    // The location itself may be named through a link.
    Recorder throughLink;
    ASSERT_EQ(searchLocation(file("a/root"), {"", "src/*", false, false}, throughLink.listener, cancel),
              WalkOutcome::Done);
    EXPECT_EQ(throughLink.findings,
              (Findings{{file("a/root/top.zip"), {file("a/root/top.zip"), "     src/main.c"}}}));
}

// Linux lets a thread give up capabilities for itself alone: without the two that override file
// permissions, root meets a directory it may not read as every other user does.
bool dropPermissionOverridesInThisThread()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        data[capability / 32].effective &= ~(1u << (capability % 32));
    return ::syscall(SYS_capset, &header, data) == 0;
}

TEST_F(SearchTree, PassesByADirectoryItCannotReadAndGoesOn)
{
    writeFile(file("a/locked/inside.zip"), archiveWith({ZipBuilder::stored("readme.txt", "r")}));
    fs::permissions(file("a/locked"), fs::perms::none);
    Recorder recorder;
    WalkOutcome outcome = WalkOutcome::Cancelled;
    bool locked = false;
    std::thread([&] {
        if (!dropPermissionOverridesInThisThread())
            return;
        const int descriptor = ::open(file("a/locked").c_str(), O_RDONLY | O_DIRECTORY);
        locked = descriptor < 0;
        if (descriptor >= 0)
            ::close(descriptor);
        std::atomic<bool> cancel = false;
        outcome = searchLocation(root(), {"", "readme.txt", true, false}, recorder.listener, cancel);
    }).join();
    fs::permissions(file("a/locked"), fs::perms::owner_all);
    ASSERT_TRUE(locked) << "the directory must be unreadable for the walk";
    EXPECT_EQ(outcome, WalkOutcome::Done);
    EXPECT_EQ(recorder.findings.count(file("a/locked/inside.zip")), 0u);
    EXPECT_EQ(recorder.findings.count(file("a/damaged.zip")), 1u);
    EXPECT_EQ(recorder.findings.count(file("top.zip")), 1u);
}

TEST_F(SearchTree, CancelStopsBetweenFilesAndTheNextLocationStillRuns)
{
    Recorder recorder;
    std::atomic<bool> cancel = false;
    int archivesSeen = 0;
    SearchListener listener = recorder.listener;
    listener.examining = [&](const std::string& path) {
        recorder.examined.push_back(path);
        // Cancel is pressed while the first archive is shown: it is not scanned.
        if (!path.ends_with('/') && ++archivesSeen == 1)
            cancel = true;
    };
    const SearchCriteria criteria{"", "readme.txt", true, false};
    const std::vector<WalkOutcome> outcomes =
        searchLocations(file("a") + ";" + file("missing") + ";" + root(), criteria, listener, cancel);
    EXPECT_EQ(outcomes, (std::vector<WalkOutcome>{WalkOutcome::Cancelled, WalkOutcome::CannotEnter,
                                                  WalkOutcome::Done}));
    EXPECT_FALSE(cancel);
    // The first location stopped before its first archive was read (a second path line for one of
    // them would have failed the recorder), and the last found all there is.
    Recorder whole;
    ASSERT_EQ(searchLocation(root(), criteria, whole.listener, cancel), WalkOutcome::Done);
    EXPECT_EQ(recorder.findings, whole.findings);
    EXPECT_EQ(whole.findings.count(file("a/damaged.zip")), 1u);

    // Closing the dialog ends the whole search: the parts after the current one are not started,
    // and a cancel pressed before the search began is not cleared away.
    int asked = 0;
    cancel = true;
    EXPECT_EQ(searchLocations(root() + ";" + root(), criteria, {}, cancel, [&] { return ++asked > 1; }),
              std::vector<WalkOutcome>{WalkOutcome::Cancelled});
    EXPECT_EQ(asked, 1);
}

TEST(ArchiveScan, TellsHowTheScanEnded)
{
    TemporaryDirectory directory;
    const std::string whole = archiveWith({ZipBuilder::stored("a", "a")});
    struct Case {
        const char* name;
        std::string bytes;
        ArchiveScanOutcome outcome;
    };
    const Case cases[] = {
        {"whole.zip", whole, ArchiveScanOutcome::Complete},
        {"zip64.zip", asZip64(whole, 1), ArchiveScanOutcome::Complete},
        {"short.zip", "PK", ArchiveScanOutcome::NoDirectory},
        {"lying.zip", asZip64(whole, 2), ArchiveScanOutcome::Truncated},
        {"disk3.zip", ZipBuilder::endRecord(2, 1, 0, 5, 10, 0, ""), ArchiveScanOutcome::OtherDisks},
    };
    for (const Case& test : cases) {
        writeFile(directory.file(test.name), test.bytes);
        EXPECT_EQ(scanArchive(directory.file(test.name), {"", "*", false, false}, {}), test.outcome)
            << test.name;
    }
    fs::create_directory(directory.file("dir.zip"));
    EXPECT_EQ(scanArchive(directory.file("dir.zip"), {}, {}), ArchiveScanOutcome::CannotOpen);
}

} // namespace
} // namespace quarvo
