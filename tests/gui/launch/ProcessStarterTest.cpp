#include "gui/launch/ProcessStarter.h"

#include "ChildProcesses.h"
#include "ParentSignalState.h"

#include <QTest>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <unistd.h>

using namespace quarvo;
using namespace quarvo::gui;
using namespace quarvo::testing;


namespace {

std::string currentDirectory()
{
    return std::filesystem::current_path().string();
}

} // namespace

class ProcessStarterTest : public QObject {
    Q_OBJECT

  private slots:
    // The child runs in the directory given, gets a name full of shell syntax as one literal word, and
    // this process stays where it was. Both a path and a bare name found on PATH start.
    void startsInTheWorkingDirectoryWithArgumentsWordForWord_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("path") << QStringLiteral("/bin/sh");
        QTest::newRow("name on PATH") << QStringLiteral("sh");
    }
    void startsInTheWorkingDirectoryWithArgumentsWordForWord()
    {
        QFETCH(QString, program);
        TemporaryDirectory directory;
        std::filesystem::create_directories(directory.path() / "work dir");
        std::string workingDirectory = directory.file("work dir");
        std::string before = currentDirectory();
        const std::string name = "a;rm -rf ~ $(touch pwned) `x` \"q\" 'r' *";

        StartResult started = startProgram(
            program.toStdString(), {"-c", "pwd > out; printf %s \"$1\" > arg", "sh", name}, workingDirectory);

        QVERIFY(started.ok());
        QCOMPARE(waitForExitCode(started->pid), 0);
        QCOMPARE(readFile(directory.path() / "work dir/out"), workingDirectory + "\n");
        QCOMPARE(readFile(directory.path() / "work dir/arg"), name);
        QVERIFY(!std::filesystem::exists(directory.path() / "work dir/pwned"));
        QCOMPARE(currentDirectory(), before);
    }

    void reportsWhyAProgramDidNotStart_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("workingDirectory");
        QTest::addColumn<int>("code");
        QTest::newRow("name not on PATH") << "quarvo-no-such-program"
                                          << "." << LaunchCode::FileNotFound;
        QTest::newRow("missing path") << "bin/missing"
                                      << "." << LaunchCode::FileNotFound;
        QTest::newRow("missing directory") << "/bin/sh"
                                           << "gone" << LaunchCode::PathNotFound;
        QTest::newRow("directory is a file") << "/bin/sh"
                                             << "plain.txt" << LaunchCode::PathNotFound;
        QTest::newRow("no execute permission") << "./plain.txt"
                                               << "." << LaunchCode::CouldNotLaunch;
        QTest::newRow("a directory") << "./bin"
                                     << "." << LaunchCode::CouldNotLaunch;
        // Executable, but no "#!" line: it is refused, never handed to /bin/sh to interpret.
        QTest::newRow("not a program") << "bin/commands"
                                       << "." << LaunchCode::CouldNotLaunch;
    }
    void reportsWhyAProgramDidNotStart()
    {
        QFETCH(QString, program);
        QFETCH(QString, workingDirectory);
        QFETCH(int, code);
        TemporaryDirectory directory;
        writeFile(directory.path() / "plain.txt", "text\n");
        writeScript(directory.path() / "bin/commands", "touch ran\n");
        // Relative program paths are taken from this process's directory, the sandbox here.
        std::string before = currentDirectory();
        std::filesystem::current_path(directory.path());

        StartResult started =
            startProgram(program.toStdString(), {}, directory.file(workingDirectory.toStdString()));
        std::filesystem::current_path(before);

        QVERIFY(!started.ok());
        QCOMPARE(started.error().code, code);
        QVERIFY(started.error().systemError != 0);
        QVERIFY(!std::filesystem::exists(directory.path() / "ran"));
    }

    // A bare name is looked for along PATH in order. A file of that name that may not be executed
    // does not end the search, but is what gets reported when nothing runnable follows.
    void searchesPathLikeTheShell_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("ran");
        QTest::newRow("second directory") << "missing:denied:good" << 0 << "good";
        QTest::newRow("only a denied one") << "missing:denied" << LaunchCode::CouldNotLaunch << "";
        QTest::newRow("none") << "missing" << LaunchCode::FileNotFound << "";
    }
    void searchesPathLikeTheShell()
    {
        QFETCH(QString, path);
        QFETCH(int, code);
        QFETCH(QString, ran);
        TemporaryDirectory directory;
        writeFile(directory.path() / "denied/quarvo-tool", "#!/bin/sh\necho denied > ran\n");
        writeScript(directory.path() / "good/quarvo-tool", "#!/bin/sh\necho good > ran\n");
        std::string searchPath;
        for (const QString& element : path.split(':'))
            searchPath += (searchPath.empty() ? "" : ":") + directory.file(element.toStdString());
        ScopedEnvironment environment("PATH", searchPath);

        StartResult started = startProgram("quarvo-tool", {}, directory.path().string());

        if (code != 0) {
            QVERIFY(!started.ok());
            QCOMPARE(started.error().code, code);
            return;
        }
        QVERIFY(started.ok());
        QCOMPARE(waitForExitCode(started->pid), 0);
        QCOMPARE(QString::fromStdString(readFile(directory.path() / "ran")), ran + "\n");
    }

    // A started program leads a session of its own, so that Quarvo's exit or a hangup of its terminal
    // does not end it, and starts with no signal ignored or blocked, whatever Quarvo ignores or blocks.
    void startsDetachedWithDefaultSignals()
    {
        TemporaryDirectory directory;
        StartResult started = [&] {
            ParentSignalState parent;
            return startProgram("sleep", {"30"}, directory.path().string());
        }();
        QVERIFY(started.ok());
        pid_t pid = started->pid;

        std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
        pid_t session = ::getsid(pid);
        pid_t group = ::getpgid(pid);
        ::kill(pid, SIGKILL);
        QCOMPARE(waitForExitCode(pid), -1);

        QCOMPARE(session, pid);
        QCOMPARE(group, pid);
        QCOMPARE(QString::fromStdString(statusField(status, "SigIgn")), QStringLiteral("0000000000000000"));
        QCOMPARE(QString::fromStdString(statusField(status, "SigBlk")), QStringLiteral("0000000000000000"));
    }

    void givesAPidfdOfTheChild()
    {
        TemporaryDirectory directory;
        StartResult started = startProgram("/bin/sh", {"-c", "exit 0"}, directory.path().string());
        QVERIFY(started.ok());
        QVERIFY(started->hasProcess());
        QVERIFY(bool(started->pidfd));
        std::string link =
            std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(started->pidfd.get()));
        QCOMPARE(link, std::string("anon_inode:[pidfd]"));
        QCOMPARE(waitForExitCode(started->pid), 0);
    }
};

QTEST_GUILESS_MAIN(ProcessStarterTest)
#include "ProcessStarterTest.moc"
