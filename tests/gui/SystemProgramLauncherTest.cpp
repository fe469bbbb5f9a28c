#include "gui/app/SystemProgramLauncher.h"
#include "gui/launch/SystemLaunchServices.h"

#include "support/TemporaryDirectory.h"

#include <QTest>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;

namespace {

// System services that answer as told and remember what they were asked.
class ScriptedServices : public SystemLaunchServices {
  public:
    LaunchAttempt association{LaunchCode::NoAssociation, 0};
    LaunchAttempt started{LaunchCode::FileNotFound, 0};
    std::vector<std::string> requests;
    std::function<void()> watchedEnd;

    LaunchAttempt startAssociatedProgram(const std::string& file, const std::string&) override
    {
        requests.push_back("associate " + file);
        return association;
    }
    LaunchAttempt startProcess(const std::string& program, const std::vector<std::string>&,
                               const std::string&) override
    {
        requests.push_back("start " + program);
        return started;
    }
    void watchProcess(int64_t, const std::string&, std::function<void()> onEnd) override
    {
        watchedEnd = std::move(onEnd);
    }
    bool activateProcessWindow(int64_t processId) override { return processId == 7; }
};

} // namespace

// The launcher port over the system's services: working directories and files checked first, the end
// of a watched process reported by its id.
class SystemProgramLauncherTest : public QObject {
    Q_OBJECT

  private slots:
    void workingDirectoriesAndFilesAreCheckedBeforeTheSystemIsAsked()
    {
        TemporaryDirectory root;
        const std::string directory = root.path().string();
        writeFile(root.file("a.txt"), "a");
        auto owned = std::make_unique<ScriptedServices>();
        ScriptedServices& services = *owned;
        SystemProgramLauncher launcher(std::move(owned));
        services.started = {LaunchCode::Started, 4242};
        QCOMPARE(launcher.startProgram("/bin/true", {}, directory),
                 (LaunchAttempt{LaunchCode::Started, 4242}));
        // A working directory that is gone, or a file that is, never reaches the system.
        QCOMPARE(launcher.startProgram("/bin/true", {}, root.file("gone")).result, LaunchCode::PathNotFound);
        QCOMPARE(launcher.openByAssociation(root.file("gone.txt"), directory).result,
                 LaunchCode::FileNotFound);
        QCOMPARE(launcher.openByAssociation(root.file("a.txt"), directory).result, LaunchCode::NoAssociation);
        QCOMPARE(services.requests,
                 (std::vector<std::string>{"start /bin/true", "associate " + root.file("a.txt")}));
        QVERIFY(launcher.activate(7));
        QVERIFY(!launcher.activate(8));
    }

    void theEndOfAWatchedProcessIsReportedWithItsId()
    {
        auto owned = std::make_unique<ScriptedServices>();
        ScriptedServices& services = *owned;
        SystemProgramLauncher launcher(std::move(owned));
        std::vector<int64_t> ended;
        launcher.setProcessEndedHandler([&ended](int64_t processId) { ended.push_back(processId); });
        launcher.watch(31337, "/tmp/copy.txt");
        QVERIFY(services.watchedEnd);
        services.watchedEnd();
        QCOMPARE(ended, std::vector<int64_t>{31337});
    }

    void withoutServicesNothingStarts()
    {
        TemporaryDirectory root;
        writeFile(root.file("a.txt"), "a");
        SystemProgramLauncher launcher(nullptr);
        QCOMPARE(launcher.openByAssociation(root.file("a.txt"), root.path().string()).result,
                 LaunchCode::NoAssociation);
        QCOMPARE(launcher.startProgram("/bin/true", {}, root.path().string()).result,
                 LaunchCode::CouldNotLaunch);
        QVERIFY(!launcher.activate(1));
    }
};

QTEST_MAIN(SystemProgramLauncherTest)
#include "SystemProgramLauncherTest.moc"
