#include "gui/app/SystemProgramLauncher.h"
#include "gui/app/SystemLaunchServices.h"

#include "support/TemporaryDirectory.h"

#include <QTest>

#include <cerrno>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;

namespace {

// System services that answer as told and remember what they were asked.
class ScriptedServices : public SystemLaunchServices {
  public:
    LaunchAttempt association{LaunchCode::NoAssociation, 0};
    Started started{0, ENOENT};
    std::vector<std::string> requests;
    std::function<void()> watchedEnd;

    LaunchAttempt startAssociatedProgram(const std::string& file, const std::string&) override
    {
        requests.push_back("associate " + file);
        return association;
    }
    Started startProcess(const std::string& program, const std::vector<std::string>&,
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

// The launcher port over the system's services: working directories checked first, system errors
// turned into launch codes, the end of a watched process reported by its id.
class SystemProgramLauncherTest : public QObject {
    Q_OBJECT

  private slots:
    void systemFailuresBecomeLaunchCodes()
    {
        TemporaryDirectory root;
        const std::string directory = root.path().string();
        writeFile(root.file("a.txt"), "a");
        struct Case {
            int error;
            int code;
        };
        for (Case test :
             {Case{ENOENT, LaunchCode::FileNotFound}, Case{ENOTDIR, LaunchCode::PathNotFound},
              Case{EACCES, LaunchCode::CouldNotLaunch}, Case{ENOEXEC, LaunchCode::CouldNotLaunch}}) {
            auto services = std::make_unique<ScriptedServices>();
            services->started = {0, test.error};
            SystemProgramLauncher launcher(std::move(services));
            QCOMPARE(launcher.startProgram("/bin/true", {}, directory).result, test.code);
        }

        auto owned = std::make_unique<ScriptedServices>();
        ScriptedServices& services = *owned;
        SystemProgramLauncher launcher(std::move(owned));
        services.started = {4242, 0};
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
