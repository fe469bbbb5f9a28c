#include "gui/launch/ProcessWatcher.h"
#include "gui/launch/ProcessStarter.h"

#include "ChildProcesses.h"

#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <filesystem>
#include <map>

using namespace quarvo::gui;
using namespace quarvo::testing;

Q_DECLARE_METATYPE(ProcessWatcher::Method)

namespace {

constexpr int GenerousTimeoutMilliseconds = 10000;

StartedProcess startShell(const TemporaryDirectory& directory, const std::string& script)
{
    StartResult started = startProgram("/bin/sh", {"-c", script}, directory.path().string());
    if (!started.ok())
        qFatal("cannot start /bin/sh");
    return std::move(started).value();
}

// Whether pid has been reaped: waiting for it finds no such child.
bool isReaped(pid_t pid)
{
    return ::waitpid(pid, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

// How many pidfds this process holds.
int openPidFds()
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        count += std::filesystem::read_symlink(entry.path(), error) == "anon_inode:[pidfd]";
    }
    return count;
}

// The exit statuses reported so far, by process.
std::map<qint64, int> endings(const QSignalSpy& spy)
{
    std::map<qint64, int> statuses;
    for (const QList<QVariant>& arguments : spy)
        statuses[arguments.at(0).toLongLong()] = arguments.at(1).toInt();
    return statuses;
}

} // namespace

// Every case runs with both ways of watching: pidfds and the polling fallback.
class ProcessWatcherTest : public QObject {
    Q_OBJECT

  private:
    void bothMethods()
    {
        QTest::addColumn<ProcessWatcher::Method>("method");
        QTest::newRow("pidfd") << ProcessWatcher::Method::PidFdWherePossible;
        QTest::newRow("polling") << ProcessWatcher::Method::Polling;
    }

  private slots:
    void reportsEachEndWithItsStatusAndReaps_data() { bothMethods(); }
    void reportsEachEndWithItsStatusAndReaps()
    {
        QFETCH(ProcessWatcher::Method, method);
        TemporaryDirectory directory;
        ProcessWatcher watcher(nullptr, method);
        QSignalSpy ended(&watcher, &ProcessWatcher::processEnded);
        StartedProcess exiting = startShell(directory, "sleep 0.2; exit 3");
        StartedProcess killed = startShell(directory, "sleep 0.3; kill -KILL $$");
        pid_t exitingPid = exiting.pid;
        pid_t killedPid = killed.pid;

        killed.pidfd = quarvo::UniqueFd();
        int pidFdsBefore = openPidFds();

        QVERIFY(watcher.watch(std::move(exiting)));
        QVERIFY(watcher.watch(killedPid)); // by number alone: the watcher opens its own pidfd
        QVERIFY(watcher.isWatching(exitingPid));
        // The polling fallback holds none; with pidfds, the adopted one was counted before.
        int expectedPidFds = method == ProcessWatcher::Method::Polling ? pidFdsBefore - 1 : pidFdsBefore + 1;
        QCOMPARE(openPidFds(), expectedPidFds);

        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, GenerousTimeoutMilliseconds);
        std::map<qint64, int> expected{{exitingPid, 3}, {killedPid, 128 + SIGKILL}};
        QCOMPARE(endings(ended), expected);
        QVERIFY(isReaped(exitingPid));
        QVERIFY(isReaped(killedPid));
        QVERIFY(!watcher.isWatching(exitingPid));
        QVERIFY(!watcher.isWatching(killedPid));
    }

    // A process that ended before the watch began is reported too, but from the event loop, never
    // from inside watch().
    void reportsAnEarlierEndFromTheEventLoop_data() { bothMethods(); }
    void reportsAnEarlierEndFromTheEventLoop()
    {
        QFETCH(ProcessWatcher::Method, method);
        TemporaryDirectory directory;
        ProcessWatcher watcher(nullptr, method);
        QSignalSpy ended(&watcher, &ProcessWatcher::processEnded);
        StartedProcess process = startShell(directory, "exit 0");
        siginfo_t information{};
        QCOMPARE(::waitid(P_PID, id_t(process.pid), &information, WEXITED | WNOWAIT), 0);
        pid_t pid = process.pid;

        QVERIFY(watcher.watch(std::move(process)));
        QCOMPARE(ended.count(), 0);
        QVERIFY(ended.wait(GenerousTimeoutMilliseconds));
        QCOMPARE(ended.at(0).at(0).toLongLong(), qint64(pid));
        QCOMPARE(ended.at(0).at(1).toInt(), 0);
        QVERIFY(isReaped(pid));
    }

    // A process reaped by somebody else still ends its watch, with no status to tell.
    void reportsAProcessReapedElsewhereWithoutStatus_data() { bothMethods(); }
    void reportsAProcessReapedElsewhereWithoutStatus()
    {
        QFETCH(ProcessWatcher::Method, method);
        TemporaryDirectory directory;
        ProcessWatcher watcher(nullptr, method);
        QSignalSpy ended(&watcher, &ProcessWatcher::processEnded);
        StartedProcess process = startShell(directory, "sleep 0.2; exit 5");
        pid_t pid = process.pid;
        QVERIFY(watcher.watch(std::move(process)));

        QCOMPARE(waitForExitCode(pid), 5);

        QVERIFY(ended.wait(GenerousTimeoutMilliseconds));
        QCOMPARE(ended.at(0).at(1).toInt(), ProcessWatcher::UnknownExitStatus);
    }

    void refusesToWatchAProcessTwice()
    {
        TemporaryDirectory directory;
        ProcessWatcher watcher;
        QSignalSpy ended(&watcher, &ProcessWatcher::processEnded);
        StartedProcess process = startShell(directory, "sleep 0.2");
        pid_t pid = process.pid;

        QVERIFY(watcher.watch(std::move(process)));
        QVERIFY(!watcher.watch(pid));

        QVERIFY(ended.wait(GenerousTimeoutMilliseconds));
        QCOMPARE(ended.at(0).at(1).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(ProcessWatcherTest)
#include "ProcessWatcherTest.moc"
