#include "core/tar/UnpackedFileTransfer.h"

#include "core/ui/DialogResult.h"
#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quarvo;
using namespace quarvo::testing;
namespace fs = std::filesystem;

namespace {

TEST(UnpackedFileTransfer, OnOneFileSystemTheFileIsRenamedOverTheDestinationAndFailuresAreTold)
{
    TemporaryDirectory directory;
    std::string source = directory.file("work/src.tar");
    std::string destination = directory.file("kept/src.tar");
    writeFile(source, "unpacked");
    writeFile(destination, "what the user had");
    ScriptedUserInterface ui;
    EXPECT_TRUE(transferUnpackedFile(ui, source, destination, "Saving TAR file..."));
    EXPECT_EQ(readFile(destination), "unpacked");
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(ui.progressOpenings(), 0);

    // A rename that fails is told, where it used to pass unnoticed, and the file stays.
    writeFile(source, "unpacked again");
    std::string nowhere = directory.file("missing/src.tar");
    ui.answerMessage(DialogResult::Ok);
    EXPECT_FALSE(transferUnpackedFile(ui, source, nowhere, "Saving TAR file..."));
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Error: Could not save to " + nowhere + "."});
    EXPECT_EQ(ui.messages()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(readFile(source), "unpacked again");
}

// Runs the transfers of the next test in a child with a 64 KiB file system of its own mounted at
// mountPoint, so that saving there crosses file systems and can run out of space. The child writes
// what it saw, one line per fact, for the parent to compare.
std::string inPrivateSmallFileSystem(const fs::path& work, const fs::path& mountPoint)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "pipe failed";
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::ostringstream report;
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0) {
            report << "cannot mount a file system of its own: " << std::strerror(errno) << "\n";
        } else {
            ScriptedUserInterface ui;
            std::string small = (work / "small").string();
            writeFile(small, std::string(16 * 1024, 's'));
            ::chmod(small.c_str(), 0640);
            std::string kept = (mountPoint / "small").string();
            report << "small saved: " << transferUnpackedFile(ui, small, kept, "Saving " + kept) << "\n";
            struct stat status {};
            ::stat(kept.c_str(), &status);
            report << "small copy: " << (readFile(kept) == std::string(16 * 1024, 's')) << " mode "
                   << std::oct << (status.st_mode & 0777) << std::dec << "\n";
            report << "small source left: " << fs::exists(small) << "\n";
            report << "wait text: " << (ui.progressTexts().empty() ? "" : ui.progressTexts()[0]) << "\n";

            std::string large = (work / "large").string();
            writeFile(large, randomBytes(200 * 1024, 7));
            std::string existing = (mountPoint / "large").string();
            writeFile(existing, "what the user had");
            ui.answerMessage(DialogResult::Ok);
            report << "large saved: " << transferUnpackedFile(ui, large, existing, "Saving " + existing) << "\n";
            report << "message: " << (ui.messages().empty() ? "" : ui.messages().back().text) << "\n";
            report << "large source kept: " << (readFile(large).size() == 200 * 1024) << "\n";
            report << "destination kept: " << readFile(existing) << "\n";
            report << "files there: " << std::distance(fs::directory_iterator(mountPoint), {}) << "\n";
        }
        std::string text = report.str();
        (void)!::write(pipeEnds[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t count; (count = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(count));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return text;
}

TEST(UnpackedFileTransfer, ToAnotherFileSystemItIsCopiedAndAFullDiskLeavesNoPartialFileAndTheOldOne)
{
    TemporaryDirectory directory;
    fs::create_directories(directory.path() / "work");
    fs::create_directories(directory.path() / "small-disk");
    std::string mountPoint = directory.file("small-disk");
    EXPECT_EQ(inPrivateSmallFileSystem(directory.path() / "work", mountPoint),
              "small saved: 1\n"
              "small copy: 1 mode 640\n"
              "small source left: 0\n"
              "wait text: Saving " + mountPoint + "/small\n"
              "large saved: 0\n"
              "message: Error: Could not save to " + mountPoint + "/large.\n\nDrive does not have enough free space.\n"
              "large source kept: 1\n"
              "destination kept: what the user had\n"
              "files there: 2\n");
}

} // namespace
