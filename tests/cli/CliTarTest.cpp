// quarvo-cli on TAR archives and compressed streams against the real tools: archives made by GNU tar
// (gnu, posix, ustar and v7 formats), bsdtar and Python's tarfile, compressed by gzip, compress,
// bzip2, xz, zstd and lzip, must list as GNU tar lists them and extract to the same bytes, modes,
// times and links as GNU tar gives; hostile archives must leave everything outside the destination
// as it was and name the entry at fault.

#include "support/ProcessRunner.h"
#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace quarvo::testing {
namespace {

namespace fs = std::filesystem;
using Tar = TarBuilder;

constexpr int Success = 0;
constexpr int Warning = 1;
constexpr int BadArchive = 2;
constexpr int CrcError = 7;
constexpr int EntriesSkipped = 11;
constexpr int NothingToDo = 12;

std::set<std::string> linesOf(const std::string& text)
{
    std::set<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.insert(line);
    return lines;
}

// Every file, directory and link under root with what GNU tar restores of it: a file's bytes, mode,
// time to the nanosecond and link count; a directory's mode (and time, when asked); a link's target
// and time.
//
// GNU tar sets a directory's time when the archive moves on from it, so a directory that later
// entries return to (bsdtar's order) keeps the time of extraction; quarvo sets every directory's
// time at the end. Directory times are therefore compared with the source instead.
std::map<std::string, std::string> snapshot(fs::path root, bool directoryTimes = true)
{
    std::map<std::string, std::string> tree;
    if (!fs::exists(root))
        return tree;
    for (const fs::directory_entry& item : fs::recursive_directory_iterator(root)) {
        // Taken apart lexically: fs::relative would follow a link to what it names.
        const std::string relative = item.path().lexically_relative(root).string();
        struct stat status {};
        ::lstat(item.path().c_str(), &status);
        std::ostringstream text;
        if (S_ISLNK(status.st_mode)) {
            text << "-> " << fs::read_symlink(item.path()).string() << " @" << status.st_mtim.tv_sec << "."
                 << status.st_mtim.tv_nsec;
        } else if (S_ISDIR(status.st_mode) && !directoryTimes) {
            text << std::oct << (status.st_mode & 07777);
        } else {
            text << std::oct << (status.st_mode & 07777) << std::dec << " @" << status.st_mtim.tv_sec << "."
                 << status.st_mtim.tv_nsec;
            if (S_ISREG(status.st_mode))
                text << " x" << status.st_nlink << " " << crc32Of(readFile(item.path())) << "/"
                     << status.st_size;
        }
        tree[relative] = text.str();
    }
    return tree;
}

class CliTar : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!toolsInstalled({"tar", "bsdtar", "python3", "gzip", "compress", "bzip2", "xz", "zstd", "lzip"}))
            GTEST_SKIP() << "tar, bsdtar, python3 or a compressor is missing (./test installs them)";
    }

    ProcessOutcome cli(const std::vector<std::string>& arguments)
    {
        return runProcess(QUARVO_CLI_PATH, arguments, m_dir.path());
    }
    void shellSucceeds(const std::string& command)
    {
        ProcessOutcome outcome = runProcess("sh", {"-c", command}, m_dir.path());
        ASSERT_EQ(outcome.exitCode, 0) << command << "\n" << outcome.out << outcome.err;
    }
    std::string path(const std::string& relative) const { return m_dir.file(relative); }

    // A tree with what the formats differ in: a long name, a UTF-8 name, an empty file and
    // directory, a symbolic and a hard link, a sparse file, modes and times of every kind.
    void makeSourceTree(bool withLongName)
    {
        writeFile(path("src/text.txt"), "line\n" + std::string(5000, 't'));
        writeFile(path("src/data.bin"), randomBytes(100000, 3));
        writeFile(path("src/empty"), "");
        writeFile(path("src/n\xC3\xA4me \xE2\x82\xAC.txt"), "utf-8\n");
        if (withLongName)
            writeFile(path("src/long/" + std::string(60, 'd') + "/" + std::string(90, 'f') + ".txt"),
                      "long\n");
        fs::create_directories(path("src/emptydir"));
        fs::permissions(path("src/data.bin"), fs::perms(0600));
        writeFile(path("src/tool.sh"), "#!/bin/sh\n");
        fs::permissions(path("src/tool.sh"), fs::perms(0755));
        fs::create_symlink("text.txt", path("src/link"));
        fs::create_hard_link(path("src/text.txt"), path("src/hard"));
        shellSucceeds("truncate -s 3M src/sparse.bin && printf data | dd of=src/sparse.bin bs=1 seek=1048576 "
                      "conv=notrunc 2>/dev/null && touch -d '2021-03-04 05:06:07.123456789' src/text.txt && "
                      "find src -type d -exec touch -d '2020-01-01 00:00:00' {} +");
    }

    TemporaryDirectory m_dir;
    ScopedEnvironment m_locale{"LC_ALL", "C.UTF-8"};
};

TEST_F(CliTar, ArchivesOfEveryPeerListTestAndExtractAsGnuTarDoes)
{
    makeSourceTree(true);
    const std::map<std::string, std::string> source = snapshot(m_dir.path());
    // What made the archive, and the command that did.
    const std::vector<std::pair<std::string, std::string>> producers = {
        {"GNU tar, gnu format", "tar --format=gnu -S -cf a.tar src"},
        {"GNU tar, posix format", "tar --format=posix -S -cf a.tar src"},
        {"GNU tar, ustar format", "tar --format=ustar -cf a.tar --exclude=sparse.bin src"},
        {"bsdtar", "bsdtar -cf a.tar src"},
        {"bsdtar, pax", "bsdtar --format=pax -cf a.tar src"},
        {"Python tarfile, GNU", "python3 -c 'import tarfile; t = tarfile.open(\"a.tar\", \"w\", "
                                "format=tarfile.GNU_FORMAT); t.add(\"src\"); t.close()'"},
        {"Python tarfile, pax", "python3 -c 'import tarfile; t = tarfile.open(\"a.tar\", \"w\", "
                                "format=tarfile.PAX_FORMAT); t.add(\"src\"); t.close()'"},
        {"gzip", "tar --format=gnu -S -czf a.tar src"},
        // compress exits 2 when its output is not smaller than its input, which is no failure here.
        {"compress", "tar --format=gnu -S -cf x.tar src && { compress -c x.tar > a.tar || [ $? = 2 ]; }"},
        {"bzip2", "tar --format=posix -S -jcf a.tar src"},
        {"xz", "tar --format=posix -S -Jcf a.tar src"},
        {"zstd", "tar --format=posix -S --zstd -cf a.tar src"},
        {"lzip", "tar --format=posix -S --lzip -cf a.tar src"},
    };
    for (const auto& [what, command] : producers) {
        SCOPED_TRACE(what);
        fs::remove_all(path("ours"));
        fs::remove_all(path("gnu"));
        fs::remove(path("a.tar"));
        shellSucceeds(command);
        // The same name whatever the content: quarvo-cli goes by content.
        ProcessOutcome listed = cli({"list", "a.tar"});
        ASSERT_EQ(listed.exitCode, Success) << listed.err;
        ProcessOutcome gnuListed =
            runProcess("tar", {"--quoting-style=literal", "-tf", "a.tar"}, m_dir.path());
        EXPECT_EQ(linesOf(listed.out), linesOf(gnuListed.out));

        ProcessOutcome tested = cli({"test", "a.tar"});
        EXPECT_EQ(tested.exitCode, Success) << tested.err;
        ProcessOutcome extracted = cli({"extract", "-d", "ours", "a.tar"});
        EXPECT_EQ(extracted.exitCode, Success) << extracted.err;
        shellSucceeds("mkdir gnu && tar -xpf a.tar --no-same-owner -C gnu");
        EXPECT_EQ(snapshot(path("ours"), false), snapshot(path("gnu"), false));
        for (const auto& [name, what] : snapshot(path("ours"))) {
            if (fs::is_directory(path("ours/" + name)) && !fs::is_symlink(path("ours/" + name))) {
                EXPECT_EQ(what, source.at(name)) << name;
            }
        }
    }
}

TEST_F(CliTar, OldV7ArchivesAreReadToo)
{
    makeSourceTree(false);
    shellSucceeds("tar --format=v7 -cf v7.tar --exclude=sparse.bin --exclude='n*' src 2>/dev/null; "
                  "mkdir gnu && tar -xpf v7.tar --no-same-owner -C gnu");
    ProcessOutcome extracted = cli({"extract", "-d", "ours", "v7.tar"});
    EXPECT_EQ(extracted.exitCode, Success) << extracted.err;
    EXPECT_EQ(snapshot(path("ours")), snapshot(path("gnu")));
}

// A compressed file that holds no TAR archive unpacks to one file named from the archive's own
// name, whatever name its header stores.
TEST_F(CliTar, CompressedFilesUnpackUnderTheArchiveName)
{
    writeFile(path("plain.txt"), "some text\n" + randomBytes(30000, 8));
    writeFile(path("empty"), "");
    shellSucceeds(
        "gzip -c plain.txt > named.gz && gzip -nc plain.txt > unnamed.gz && "
        "gzip -c plain.txt > multi.gz && gzip -c empty >> multi.gz && gzip -c plain.txt >> multi.gz && "
        "gzip -c empty > empty.gz && compress -c plain.txt > old.Z && "
        "python3 -c 'import gzip; f = gzip.GzipFile(filename=\"../x\", mode=\"wb\", "
        "fileobj=open(\"evil.gz\", \"wb\")); f.write(b\"evil\"); f.close()'");
    struct Case {
        const char* archive;
        const char* unpacked;
        const char* reference; // the command that unpacks it the way gzip does
    } cases[] = {
        {"named.gz", "named", "gzip -dc named.gz"}, {"unnamed.gz", "unnamed", "gzip -dc unnamed.gz"},
        {"multi.gz", "multi", "gzip -dc multi.gz"}, {"empty.gz", "empty", "gzip -dc empty.gz"},
        {"old.Z", "old", "uncompress -c old.Z"},    {"evil.gz", "evil", "gzip -dc evil.gz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        fs::remove_all(path("out"));
        ProcessOutcome listed = cli({"list", c.archive});
        EXPECT_EQ(listed.exitCode, Success) << listed.err;
        EXPECT_EQ(listed.out, std::string(c.unpacked) + "\n");
        EXPECT_EQ(cli({"test", c.archive}).exitCode, Success);
        ProcessOutcome extracted = cli({"extract", "-d", "out", c.archive});
        EXPECT_EQ(extracted.exitCode, Success) << extracted.err;
        EXPECT_EQ(snapshot(path("out")).size(), 1u);
        EXPECT_EQ(readFile(path("out/") + c.unpacked),
                  runProcess("sh", {"-c", c.reference}, m_dir.path()).out);
        EXPECT_EQ(cli({"extract", "-d", "out", c.archive}).exitCode, EntriesSkipped) << "exists already";
        EXPECT_EQ(cli({"extract", "-o", "-d", "out", c.archive}).exitCode, Success);
    }
    EXPECT_FALSE(fs::exists(path("x")));
}

TEST_F(CliTar, HostileArchivesChangeNothingOutsideTheDestinationAndNameTheEntry)
{
    const std::string outside = path("outside");
    writeFile(outside + "/secret", "keep me");
    auto tarOf = [](std::vector<Tar::Entry> entries) {
        Tar tar;
        for (const Tar::Entry& entry : entries)
            tar.add(entry);
        return tar.add(Tar::file("good.txt", "good")).finish();
    };
    Tar::Entry huge = Tar::file("huge.bin", "short");
    huge.declaredSize = 50'000'000'000ull;
    Tar::Entry damaged = Tar::file("damaged.txt", "d");
    damaged.breakChecksum = true;
    const std::string gzip = gzipOf(tarOf({Tar::file("big.bin", randomBytes(200000, 6))}));
    struct Case {
        const char* what;
        std::string bytes;
        int exitCode;
        std::string named;
    } cases[] = {
        {"traversal", tarOf({Tar::file("../../escape.txt", "x")}), EntriesSkipped,
         "Refused ../../escape.txt"},
        {"absolute name", tarOf({Tar::file(outside + "/abs", "x")}), EntriesSkipped,
         "Refused " + outside + "/abs"},
        {"a link, then a file through it",
         tarOf({Tar::symbolicLink("via", outside), Tar::file("via/x", "x")}), EntriesSkipped,
         "Skipped link via -> " + outside},
        {"a hard link to a file outside", tarOf({Tar::hardLink("stolen", outside + "/secret")}),
         EntriesSkipped, "Skipped link stolen -> " + outside + "/secret"},
        {"device nodes", tarOf({Tar::special("null", '3'), Tar::special("disk", '4')}), EntriesSkipped,
         "Skipped disk: device nodes, FIFOs and sockets are not extracted."},
        {"a size far past the end", Tar().add(huge).body(), CrcError,
         "huge.bin: the archive ends inside its data"},
        {"a truncated stream", gzip.substr(0, gzip.size() / 2), CrcError,
         "big.bin: the GZIP data ends inside member 1"},
        {"a bad header checksum", tarOf({Tar::file("first.txt", "1"), damaged}), BadArchive,
         "the header after first.txt is damaged"},
        {"garbage after the end", gzip + "garbage", Warning,
         "hostile.tar: 7 bytes of other data after the end of the GZIP data were ignored."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(path("dest"));
        writeFile(path("hostile.tar"), c.bytes);
        const std::map<std::string, std::string> before = snapshot(outside);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"extract", "-d", "dest", "hostile.tar"},
              std::vector<std::string>{"extract", "-o", "-d", "dest", "hostile.tar"}}) {
            ProcessOutcome outcome = cli(arguments);
            EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.err;
            EXPECT_NE(outcome.err.find(c.named), std::string::npos) << outcome.err;
            EXPECT_EQ(outcome.out, "");
        }
        EXPECT_EQ(snapshot(outside), before);
        EXPECT_EQ(readFile(outside + "/secret"), "keep me");
        for (const auto& [name, what] : snapshot(path("dest"))) {
            EXPECT_TRUE(name == "good.txt" || name == "big.bin" || name == "first.txt" || name == "via" ||
                        name == "via/x")
                << name << " was left in the destination";
        }
    }
}

TEST_F(CliTar, NamesSelectEntriesAndAMissIsReportedAsForZip)
{
    writeFile(path("t.tar"), Tar().add(Tar::file("a.txt", "a")).add(Tar::file("b/c.txt", "c")).finish());
    ProcessOutcome some = cli({"extract", "-d", "out", "t.tar", "b/c.txt", "missing"});
    EXPECT_EQ(some.exitCode, EntriesSkipped) << some.err;
    EXPECT_NE(some.err.find("No entry of the archive matches missing."), std::string::npos) << some.err;
    EXPECT_EQ(readFile(path("out/b/c.txt")), "c");
    EXPECT_FALSE(fs::exists(path("out/a.txt")));
    EXPECT_EQ(cli({"extract", "-d", "out", "t.tar", "nothing*"}).exitCode, NothingToDo);
    ProcessOutcome junked = cli({"extract", "-j", "-d", "flat", "t.tar"});
    EXPECT_EQ(junked.exitCode, Success) << junked.err;
    EXPECT_EQ(readFile(path("flat/c.txt")), "c");
}

} // namespace
} // namespace quarvo::testing
