// What dzip must never lose while changing an archive: the bytes in front of it, every byte of a
// copied entry, entry comments and names as the listing reads them, and the archive file itself
// (its link, its mode and group, and the user's right to change it). Archives come from Info-ZIP's
// zip, which is the independent side here.

#include "DzipTestSupport.h"

#include "core/zip/ZipFormat.h"
#include "engines/api/EngineResult.h"
#include "engines/api/ZipCommand.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <sstream>

using namespace quarvo;
using namespace quarvo::testing;
namespace fs = std::filesystem;

namespace {

// The user and group "nobody", which owns nothing here.
constexpr uid_t Nobody = 65534;

int shell(const fs::path& directory, const std::string& command)
{
    return std::system(("cd '" + directory.string() + "' && (" + command + ") >/dev/null 2>&1").c_str());
}

class KeepBytes : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolAvailable("zip") || !toolAvailable("unzip"))
            GTEST_SKIP() << "zip or unzip is missing";
        source = work.path() / "src";
        writeFile(source / "keep.txt", "kept entry, copied byte for byte\n");
        writeFile(source / "last.txt", "the entry after it\n");
        writeFile(source / "new.txt", "a new file\n");
    }

    uint16_t change(const std::string& archive, uint32_t function, const std::string& items,
                    const std::function<void(ZipCommand&)>& adjust = {})
    {
        ZipCommand command = makeCommand(function, archive, items, record);
        if (adjust)
            adjust(command);
        return dzip(&command);
    }

    std::string pattern(const std::string& name) const { return "\"" + (source / name).string() + "\""; }

    TemporaryDirectory work;
    fs::path source;
    EngineRecord record;
};

} // namespace

// Every change copies what it keeps: the program in front of a self-extractor (whether zip -A
// adjusted its offsets or it was joined with cat) and each kept entry with its data descriptor in
// the form it was written (16 bytes from zip to a pipe, 24 with ZIP64 sizes from zip -fz to a
// pipe). The result has offsets counted from the start of the file and still runs.
TEST_F(KeepBytes, EveryChangeKeepsThePrefixAndEveryCopiedByte)
{
    const std::string sfx = commandOutput("command -v unzipsfx | tr -d '\\n'");
    ASSERT_FALSE(sfx.empty()) << "unzipsfx is missing";
    const std::string stub = readFile(sfx);
    const std::string archive = (source / "a.zip").string();
    struct Form {
        const char* producer;
        std::string command;
        bool hasStub;
        bool hasLast = true; // the archive holds keep.txt and then last.txt
    } forms[] = {
        {"zip to a file", "zip -q a.zip keep.txt last.txt", false},
        {"zip to a pipe (16-byte descriptors)", "zip -q - keep.txt last.txt | cat > a.zip", false},
        {"zip reading standard input (24-byte descriptors)", "zip -q - - < keep.txt | cat > a.zip", false,
         false},
        {"zip -fz (ZIP64 extra fields and end record of 32-bit values)", "zip -q -fz a.zip keep.txt last.txt",
         false},
        {"stub and zip -A", "zip -q t.zip keep.txt last.txt && cat " + sfx + " t.zip > a.zip && zip -qA a.zip",
         true},
        {"stub joined with cat", "zip -q - keep.txt last.txt | cat > t.zip && cat " + sfx + " t.zip > a.zip",
         true},
    };
    struct Operation {
        const char* name;
        uint32_t function;
        std::string items;
        std::function<void(ZipCommand&)> adjust;
    } operations[] = {
        {"add", ZipFunction::Add, pattern("new*.txt"), {}},
        {"move with a comment", ZipFunction::Add, pattern("new*.txt"),
         [](ZipCommand& c) {
             c.deleteSourceFiles = 1;
             c.commentGiven = 1;
             c.comment = "new comment";
         }},
        {"update", ZipFunction::Update, pattern("*.txt"), {}},
        {"freshen", ZipFunction::Freshen, pattern("last*.txt"), {}},
        {"delete", ZipFunction::Delete, "\"last.txt\"", {}},
        {"repair", ZipFunction::Add, "", [](ZipCommand& c) { c.repair = 1; }},
    };
    for (const Form& form : forms) {
        for (const Operation& operation : operations) {
            SCOPED_TRACE(std::string(form.producer) + ", " + operation.name);
            if (!form.hasLast && (operation.function == ZipFunction::Freshen || operation.function == ZipFunction::Delete))
                continue;
            fs::remove(archive);
            writeFile(source / "new.txt", "a new file\n");
            setModified(source / "last.txt", std::time(nullptr) - 86400);
            ASSERT_EQ(shell(source, form.command), 0);
            setModified(source / "last.txt", std::time(nullptr));
            const std::string before = readFile(archive);
            const size_t prefix = form.hasStub ? stub.size() : 0;
            ASSERT_EQ(before.substr(0, prefix), stub.substr(0, prefix));
            // Everything before the local header of last.txt (or the directory) is kept in every operation.
            const size_t kept = form.hasLast ? before.find("last.txt", prefix) - zipformat::LocalHeaderSize
                                             : before.find("PK\x01\x02", prefix);

            record = {};
            ASSERT_EQ(change(archive, operation.function, operation.items, operation.adjust), EngineResult::Ok)
                << ::testing::PrintToString(record.messages);
            const std::string after = readFile(archive);
            EXPECT_EQ(after.substr(0, kept), before.substr(0, kept));
            expectToolsAccept(archive);
            EXPECT_EQ(commandOutput("unzip -tq '" + archive + "' 2>&1").find("extra bytes"), std::string::npos);
            if (form.hasStub) {
                chmod(archive.c_str(), 0755);
                EXPECT_EQ(shell(source, "./a.zip -t"), 0) << "the self-extractor no longer runs";
            }
        }
    }
}

// Repair finds entries whose descriptors hold 8-byte sizes (zip reading standard input into a pipe).
TEST_F(KeepBytes, RepairReadsDescriptorsWithZip64Sizes)
{
    const std::string archive = (source / "stdin.zip").string();
    ASSERT_EQ(shell(source, "zip -q - - < keep.txt | cat > stdin.zip"), 0);
    std::string damaged = readFile(archive);
    damaged.resize(damaged.find("PK\x01\x02")); // the directory is lost
    writeFile(archive, damaged);
    ASSERT_EQ(change(archive, ZipFunction::Add, "", [](ZipCommand& c) { c.repair = 1; }), EngineResult::Ok)
        << ::testing::PrintToString(record.messages);
    expectToolsAccept(archive);
    EXPECT_EQ(readFile(archive).substr(0, damaged.size()), damaged);
}

// Changing the archive through a symbolic link changes the file it names; the link stays, and the
// new file has the old one's mode (special bits too) and group.
TEST_F(KeepBytes, ArchiveKeepsItsLinkModeAndGroup)
{
    const fs::path real = work.path() / "real";
    fs::create_directories(real);
    const std::string target = (real / "out.zip").string();
    const std::string link = (work.path() / "link.zip").string();
    fs::create_symlink("real/out.zip", link);
    const group* daemonGroup = getgrnam("daemon");
    ASSERT_NE(daemonGroup, nullptr);
    struct Case {
        const char* operation;
        uint32_t function;
        std::string items;
        bool repair;
    } cases[] = {
        {"add", ZipFunction::Add, pattern("new*.txt"), false},
        {"delete", ZipFunction::Delete, "\"last.txt\"", false},
        {"repair", ZipFunction::Add, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        fs::remove(target);
        ASSERT_EQ(change(target, ZipFunction::Add, pattern("*.txt")), EngineResult::Ok);
        ASSERT_EQ(chown(target.c_str(), static_cast<uid_t>(-1), daemonGroup->gr_gid), 0);
        ASSERT_EQ(chmod(target.c_str(), 02640), 0);
        ASSERT_EQ(change(link, c.function, c.items, [&](ZipCommand& command) { command.repair = c.repair; }),
                  EngineResult::Ok)
            << ::testing::PrintToString(record.messages);
        EXPECT_TRUE(fs::is_symlink(link));
        struct stat status {};
        ASSERT_EQ(stat(target.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 02640u);
        EXPECT_EQ(status.st_gid, daemonGroup->gr_gid);
        EXPECT_EQ(leftoverTemporaryFiles(work.path()) + leftoverTemporaryFiles(real), 0);
        expectToolsAccept(target);
    }
}

// A user who may not write the archive is refused before anything is written, even where the
// directory would let a rename replace it. The test runs as root (as CI does) and changes the
// archive from a child that has become nobody.
TEST_F(KeepBytes, ArchiveTheUserMayNotWriteIsNeverReplaced)
{
    ASSERT_EQ(geteuid(), 0u) << "this test drops from root to nobody";
    const fs::path shared = work.path() / "shared";
    fs::create_directories(shared);
    chmod(work.path().c_str(), 0755);
    chmod(shared.c_str(), 0777);
    writeFile(shared / "new.txt", "new");
    chmod((shared / "new.txt").c_str(), 0644);
    const std::string archive = (shared / "a.zip").string();
    struct Case {
        const char* rule;
        uid_t owner;
        mode_t mode;
        uint32_t function;
        bool repair;
        uint16_t expected;
    } cases[] = {
        {"root's archive, add", 0, 0644, ZipFunction::Add, false, EngineResult::CannotOpenArchive},
        {"own archive without write permission, add", Nobody, 0444, ZipFunction::Add, false,
         EngineResult::CannotOpenArchive},
        {"root's archive, delete", 0, 0644, ZipFunction::Delete, false, EngineResult::CannotOpenArchive},
        {"root's archive, repair", 0, 0644, ZipFunction::Add, true, EngineResult::CannotOpenArchive},
        {"own writable archive, add", Nobody, 0644, ZipFunction::Add, false, EngineResult::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        fs::remove(archive);
        ASSERT_EQ(change(archive, ZipFunction::Add, pattern("keep.txt")), EngineResult::Ok);
        ASSERT_EQ(chown(archive.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(chmod(archive.c_str(), c.mode), 0);
        const std::string before = readFile(archive);
        struct stat beforeStatus {};
        stat(archive.c_str(), &beforeStatus);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0)
                _exit(100);
            EngineRecord childRecord;
            const std::string items = c.function == ZipFunction::Delete
                                          ? "\"keep.txt\""
                                          : "\"" + (shared / "new.txt").string() + "\"";
            ZipCommand command = makeCommand(c.function, archive, items, childRecord);
            command.repair = c.repair;
            const uint16_t result = dzip(&command);
            // The refusal says why and that nothing changed.
            const bool told = result == EngineResult::Ok ||
                              (childRecord.messages.size() == 1 &&
                               childRecord.messages[0].find("Permission denied") != std::string::npos &&
                               childRecord.messages[0].find("a.zip was not changed.") != std::string::npos);
            _exit(told ? result : 101);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.expected);
        struct stat afterStatus {};
        stat(archive.c_str(), &afterStatus);
        if (c.expected != EngineResult::Ok) {
            EXPECT_EQ(readFile(archive), before);
            EXPECT_EQ(afterStatus.st_ino, beforeStatus.st_ino) << "the archive was replaced";
        } else {
            EXPECT_NE(readFile(archive), before);
        }
        EXPECT_EQ(leftoverTemporaryFiles(shared), 0);
    }
}

// Names are matched as the listing reads them (zip in a UTF-8 locale stores UTF-8 without flag
// bit 11), so adding a file again replaces its entry; the new data keeps the entry's comment.
TEST_F(KeepBytes, ReplacedEntryIsFoundByItsListedNameAndKeepsItsComment)
{
    writeFile(source / "café.txt", "old");
    const std::string archive = (source / "a.zip").string();
    ASSERT_EQ(shell(source, "LC_ALL=C.UTF-8 zip -q a.zip café.txt keep.txt && printf '@ café.txt\\nthe "
                            "comment\\n@=café.txt\\n' | LC_ALL=C.UTF-8 zipnote -w a.zip"),
              0);
    ASSERT_NE(commandOutput("unzip -l '" + archive + "'").find("the comment"), std::string::npos)
        << "zipnote did not set the comment";
    writeFile(source / "café.txt", "new contents");
    ASSERT_EQ(change(archive, ZipFunction::Add, pattern("caf*.txt")), EngineResult::Ok);
    EXPECT_EQ(commandOutput("LC_ALL=C.UTF-8 unzip -Z1 '" + archive + "'"), "café.txt\nkeep.txt\n");
    EXPECT_EQ(commandOutput("LC_ALL=C.UTF-8 unzip -p '" + archive + "' café.txt"), "new contents");
    EXPECT_NE(commandOutput("unzip -l '" + archive + "'").find("the comment"), std::string::npos);
}

// Files whose names begin with a dot are left out only when asked, and then the user is told how
// many were.
TEST_F(KeepBytes, HiddenFilesLeftOutAreCounted)
{
    writeFile(source / ".hidden", "h");
    writeFile(source / ".dir" / "inner.txt", "i");
    const std::string archive = work.file("h.zip");
    struct Case {
        uint32_t include;
        const char* note;      // empty: no note
        bool hiddenStored;
    } cases[] = {
        {0, "Skipped 2 hidden files or folders (names beginning with a dot)", false},
        {1, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.include);
        fs::remove(archive);
        record = {};
        ASSERT_EQ(change(archive, ZipFunction::Add, pattern("*.*"),
                         [&](ZipCommand& command) {
                             command.recurse = 1;
                             command.includeSystemAndHidden = c.include;
                         }),
                  EngineResult::Ok);
        const bool noted = std::any_of(record.messages.begin(), record.messages.end(), [&](const std::string& m) {
            return *c.note && m.find(c.note) != std::string::npos;
        });
        EXPECT_EQ(noted, *c.note != 0) << ::testing::PrintToString(record.messages);
        const std::vector<std::string> names = namesIn(archive);
        EXPECT_EQ(std::count(names.begin(), names.end(), ".dir/inner.txt"), c.hiddenStored ? 1 : 0);
        EXPECT_EQ(std::count(names.begin(), names.end(), ".hidden"), c.hiddenStored ? 1 : 0);
    }
}

// Delete takes `*` as extraction does, reaching into subdirectories, names every item that matched
// nothing, and fails the run for those while still deleting what matched.
TEST_F(KeepBytes, DeletePatternsReachSubdirectoriesAndNameWhatMatchedNothing)
{
    const std::string archive = (source / "d.zip").string();
    writeFile(source / "d" / "b.txt", "b");
    writeFile(source / "d" / "e" / "c.txt", "c");
    struct Case {
        std::string items;
        uint16_t result;
        std::vector<std::string> left;
        std::vector<std::string> reported;
    } cases[] = {
        {"\"*\"", EngineResult::Ok, {}, {}},
        {"\"*.txt\"", EngineResult::Ok, {"d/", "d/e/"}, {}},
        {"\"d/*\"", EngineResult::Ok, {"keep.txt"}, {}},
        {"\"keep.txt\" \"no*.bin\" \"missing.txt\"", EngineResult::EntriesSkipped,
         {"d/", "d/b.txt", "d/e/", "d/e/c.txt"},
         {"no*.bin", "missing.txt"}},
        {"\"missing.txt\"", EngineResult::NothingToDo, {"d/", "d/b.txt", "d/e/", "d/e/c.txt", "keep.txt"},
         {"missing.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        fs::remove(archive);
        ASSERT_EQ(shell(source, "zip -qr d.zip keep.txt d"), 0);
        record = {};
        EXPECT_EQ(change(archive, ZipFunction::Delete, c.items), c.result);
        std::vector<std::string> left;
        std::istringstream lines(commandOutput("unzip -Z1 '" + archive + "' 2>/dev/null"));
        for (std::string line; std::getline(lines, line);) {
            if (line != "Empty zipfile.")
                left.push_back(line);
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, c.left);
        std::vector<std::string> reported;
        for (const std::string& message : record.messages)
            reported.push_back(message.substr(message.find(": ") + 2));
        EXPECT_EQ(reported, c.reported);
    }
}

// An archive that cannot be copied faithfully is refused in words that say why; a failed run says
// whether the archive was left as it was or never created, after the reason and its full stop.
TEST_F(KeepBytes, RefusalsSayWhyAndWhatBecameOfTheArchive)
{
    // A size saturated in the directory with no ZIP64 extra field to give it.
    ZipBuilder builder;
    ZipBuilder::Entry entry = ZipBuilder::stored("huge.bin", "");
    entry.flags = 0;
    builder.add(entry);
    builder.entries()[0].uncompressedSize = 0xFFFFFFFF;
    const std::string large = work.file("large.zip");
    writeFile(large, builder.finish());
    const std::string text = work.file("text.zip");
    writeFile(text, "not an archive");
    const std::string missing = work.file("no-such-directory/new.zip");
    struct Case {
        std::string archive;
        uint16_t result;
        std::string needed;
        std::string ending;
    } cases[] = {
        {large, EngineResult::BadArchive, "huge.bin is damaged", ". " + large + " was not changed."},
        {text, EngineResult::BadArchive, "not a ZIP archive", ". " + text + " was not changed."},
        {missing, EngineResult::CannotCreate, "No such file or directory", ". " + missing + " was not created."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        const std::string before = readFile(c.archive);
        record = {};
        EXPECT_EQ(change(c.archive, ZipFunction::Add, pattern("new*.txt")), c.result);
        ASSERT_EQ(record.messages.size(), 1u);
        const std::string& message = record.messages[0];
        EXPECT_NE(message.find(c.needed), std::string::npos) << message;
        EXPECT_TRUE(message.ends_with(c.ending)) << message;
        EXPECT_EQ(readFile(c.archive), before);
    }
}
