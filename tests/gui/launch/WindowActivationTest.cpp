#include "gui/launch/WindowActivation.h"
#include "gui/launch/ProcessFamily.h"
#include "gui/launch/ProcessStarter.h"

#include "ChildProcesses.h"

#include <QGuiApplication>
#include <QTest>

#include <csignal>
#include <unistd.h>

using namespace quarvo::gui;
using namespace quarvo::testing;

namespace {

constexpr int GenerousTimeoutMilliseconds = 10000;

using Parents = std::map<pid_t, pid_t>;
using Family = std::set<pid_t>;

} // namespace

Q_DECLARE_METATYPE(Parents)
Q_DECLARE_METATYPE(Family)

class WindowActivationTest : public QObject {
    Q_OBJECT

  private slots:
    // Only X11 lets a program bring another's window forward; offscreen (like Wayland) says no at
    // once, for a running process as for any other.
    void findsNoWindowWithoutX11()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
        QVERIFY(!activateWindowOfProcess(::getpid()));
        QVERIFY(!activateWindowOfProcess(0));
    }

    void readsTheParentFromAStatLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("parent");
        QTest::newRow("plain") << "1234 (viewer) S 1000 1234 1234 0 -1 4194560" << 1000;
        QTest::newRow("blanks in the command") << "77 (Web Content) R 76 77 77 0" << 76;
        QTest::newRow("parentheses in the command") << "5 (a) S 9 (b)) Z 3 5 5" << 3;
        QTest::newRow("no command") << "5 S 3 5 5" << -1;
        QTest::newRow("cut short") << "5 (a) S" << -1;
        QTest::newRow("parent not a number") << "5 (a) S x1 5" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void readsTheParentFromAStatLine()
    {
        QFETCH(QString, line);
        QFETCH(int, parent);
        std::optional<pid_t> found = parentFromStatLine(line.toStdString());
        QCOMPARE(found ? int(*found) : -1, parent);
    }

    void collectsAProcessAndItsDescendants_data()
    {
        QTest::addColumn<Parents>("parents");
        QTest::addColumn<Family>("family");
        QTest::newRow("alone") << Parents{{10, 1}, {11, 1}} << Family{10};
        QTest::newRow("children and grandchildren, not siblings or parents")
            << Parents{{10, 1}, {11, 10}, {12, 10}, {13, 11}, {14, 1}, {15, 14}} << Family{10, 11, 12, 13};
        QTest::newRow("a loop in a torn read ends") << Parents{{10, 11}, {11, 10}} << Family{10, 11};
        QTest::newRow("not listed any more") << Parents{{11, 10}} << Family{10, 11};
    }
    void collectsAProcessAndItsDescendants()
    {
        QFETCH(Parents, parents);
        QFETCH(Family, family);
        QCOMPARE(familyOf(10, parents), family);
    }

    // A program that shows its window from a process of its own: the real /proc lists it below the
    // started one.
    void findsARealGrandchild()
    {
        TemporaryDirectory directory;
        StartResult started =
            startProgram("/bin/sh", {"-c", "sleep 30 & echo $! > child; wait"}, directory.path().string());
        QVERIFY(started.ok());
        pid_t pid = started->pid;
        QTRY_VERIFY_WITH_TIMEOUT(readFile(directory.path() / "child").ends_with("\n"),
                                 GenerousTimeoutMilliseconds);
        pid_t child = std::stoi(readFile(directory.path() / "child"));

        Family family = familyOf(pid, currentParents());
        ::kill(-pid, SIGKILL); // the whole group: the started program leads its own
        waitForExitCode(pid);

        QVERIFY(family.count(pid));
        QVERIFY(family.count(child));
        QVERIFY(!family.count(::getpid()));
    }
};

QTEST_MAIN(WindowActivationTest)
#include "WindowActivationTest.moc"
