#include "gui/launch/ProgramAssociation.h"
#include "gui/launch/ProcessStarter.h"
#include "gui/launch/ProcessWatcher.h"

#include "ChildProcesses.h"
#include "ParentSignalState.h"

#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <csignal>
#include <cstdlib>

using namespace quarvo;
using namespace quarvo::gui;
using namespace quarvo::testing;

namespace {

constexpr int GenerousTimeoutMilliseconds = 10000;

// A desktop of its own for this test process: the data and configuration directories the
// freedesktop lookups read, holding one viewer made the default for text/plain and another that
// merely takes it, and the one glob that tells a ".txt" name. GIO reads the environment once, on
// first use, so main() sets it up before anything else runs.
class IsolatedDesktop : public TemporaryDirectory {
  public:
    IsolatedDesktop()
    {
        setenv("XDG_DATA_HOME", file("data").c_str(), 1);
        setenv("XDG_DATA_DIRS", file("system-data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", file("system-config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", file("runtime").c_str(), 1);
        // Nothing here may reach a real session bus or display.
        for (const char* name :
             {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP"})
            unsetenv(name);

        writeFile(path() / "data/mime/globs2", "50:text/plain:*.txt\n");
        writeFile(path() / "data/applications/aaa-other-viewer.desktop",
                  desktopEntry("Other Viewer", "/bin/true %f"));
        writeFile(path() / "data/applications/quarvo-test-viewer.desktop",
                  desktopEntry("Quarvo Test Viewer", file("viewer.sh") + " %f"));
        writeFile(path() / "config/mimeapps.list",
                  "[Default Applications]\ntext/plain=quarvo-test-viewer.desktop\n");
        // It reports how it was started: argument count, directory, session, own pid, signal state,
        // then each argument on a line. Only built-in commands read its state: the shell blocks every
        // signal for a moment whenever it starts another process.
        writeScript(
            path() / "viewer.sh",
            "#!/bin/sh\n"
            "{ echo \"$#\"; pwd\n"
            "  read -r pid command state parent group session rest < /proc/$$/stat; echo \"$session\"\n"
            "  echo $$\n"
            "  while read -r key value; do\n"
            "    case $key in SigBlk:|SigIgn:) echo \"$key $value\";; esac\n"
            "  done < /proc/$$/status\n"
            "  printf '%s\\n' \"$@\"\n"
            "} > " +
                file("report.txt") + "\n");
        for (const char* directory : {"system-data", "system-config", "runtime", "work"})
            std::filesystem::create_directories(path() / directory);
        ::chmod(file("runtime").c_str(), 0700);
    }

  private:
    static std::string desktopEntry(const std::string& name, const std::string& command)
    {
        return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + command +
               "\nMimeType=text/plain;\n";
    }
};

const IsolatedDesktop* desktop = nullptr;

QStringList reportLines()
{
    return QString::fromStdString(readFile(desktop->path() / "report.txt")).split('\n');
}

} // namespace

class ProgramAssociationTest : public QObject {
    Q_OBJECT

  private slots:
    // The type comes from the name where a glob knows it, else from the first bytes.
    void findsTheDefaultProgramForTheFilesType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("program");
        QTest::newRow("by name") << "notes.txt" << QByteArray("words") << "quarvo-test-viewer.desktop";
        QTest::newRow("by contents") << "README" << QByteArray("plain words\n")
                                     << "quarvo-test-viewer.desktop";
        QTest::newRow("nobody takes it")
            << "blob.quarvo-unknown" << QByteArray("\x00\x01\x02\xff\xfe", 5) << "";
    }
    void findsTheDefaultProgramForTheFilesType()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, program);
        std::string path = desktop->file("files/" + name.toStdString());
        writeFile(path, bytes.toStdString());

        std::optional<AssociatedProgram> found = programFor(path);

        if (program.isEmpty()) {
            QVERIFY(!found);
            return;
        }
        QVERIFY(found);
        QCOMPARE(QString::fromStdString(found->id()), program);
        QCOMPARE(QString::fromStdString(found->displayName()), QStringLiteral("Quarvo Test Viewer"));
        QCOMPARE(found->executable(), desktop->file("viewer.sh"));
    }

    // The program gets the file as one argument however it is named, runs in the working directory,
    // detached and with default signals like any started program, and its pid is the one to watch.
    void opensTheFileWithTheProgram()
    {
        std::string path = desktop->file("files/a b;c $(touch pwned) 'q'.txt");
        writeFile(path, "text");
        std::optional<AssociatedProgram> program = programFor(path);
        QVERIFY(program);

        // This process ignores SIGINT and blocks SIGUSR1 while it starts the program.
        StartResult started = [&] {
            ParentSignalState parent;
            return openWithProgram(*program, path, desktop->file("work"));
        }();

        QVERIFY(started.ok());
        QVERIFY(started->hasProcess());
        pid_t pid = started->pid;
        ProcessWatcher watcher;
        QSignalSpy ended(&watcher, &ProcessWatcher::processEnded);
        QVERIFY(watcher.watch(std::move(started).value()));
        QVERIFY(ended.wait(GenerousTimeoutMilliseconds));
        QCOMPARE(ended.at(0).at(0).toLongLong(), qint64(pid));
        QCOMPARE(ended.at(0).at(1).toInt(), 0);

        QStringList expected{"1",
                             QString::fromStdString(desktop->file("work")),
                             QString::number(pid),
                             QString::number(pid),
                             "SigBlk: 0000000000000000",
                             "SigIgn: 0000000000000000",
                             QString::fromStdString(path),
                             ""};
        QCOMPARE(reportLines(), expected);
        QVERIFY(!std::filesystem::exists(desktop->path() / "work/pwned"));
    }

    void reportsAMissingWorkingDirectory()
    {
        std::string path = desktop->file("files/other.txt");
        writeFile(path, "text");
        std::optional<AssociatedProgram> program = programFor(path);
        QVERIFY(program);

        StartResult started = openWithProgram(*program, path, desktop->file("no such directory"));

        QVERIFY(!started.ok());
        QCOMPARE(started.error().code, LaunchCode::PathNotFound);
    }
};

int main(int argc, char** argv)
{
    IsolatedDesktop isolated;
    desktop = &isolated;
    QCoreApplication application(argc, argv);
    ProgramAssociationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ProgramAssociationTest.moc"
