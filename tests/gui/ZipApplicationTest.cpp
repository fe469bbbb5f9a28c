#include "core/app/CancelFlags.h"
#include "core/app/CommandIds.h"
#include "core/app/DocumentKindTable.h"
#include "core/desktop/DesktopRegistration.h"
#include "core/engine/ZipEngineSession.h"
#include "core/framework/Document.h"
#include "core/framework/DocumentKind.h"
#include "core/launch/ViewerProgram.h"
#include "core/ui/DialogResult.h"
#include "gui/app/DocumentWindow.h"
#include "gui/app/InstanceChannel.h"
#include "gui/app/MainWindow.h"
#include "gui/app/OptionsDialogSet.h"
#include "gui/app/ZipApplication.h"
#include "gui/dialogs/CompressFilesDialog.h"
#include "gui/dialogs/ExtractFilesDialog.h"
#include "gui/dialogs/UnzipOptionsDialog.h"
#include "gui/dialogs/ZipOptionsDialog.h"
#include "engines/api/EngineResult.h"

#include "support/FakeEngine.h"
#include "support/TemporaryDirectory.h"

#include "ApplicationSandbox.h"
#include "ModalDialogs.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <filesystem>
#include <future>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::readFile;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::whenModalShows;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

// What the fake documents and windows did, shared by every test.
struct Journal {
    std::vector<std::string> events;
    std::deque<int> closeAnswers; // answers to the close questions; Yes when empty
    bool addFilesSucceeds = true;
};

Journal journal;

class FakeDocument : public Document {
public:
    explicit FakeDocument(bool archive) : m_archive(archive) {}
    bool onNewDocument() override
    {
        std::string path = QDir::current().filePath(QStringLiteral("new.zip")).toStdString();
        writeFile(path, "PK\x05\x06");
        setPath(path);
        return true;
    }
    bool onOpenDocument(const std::string& path) override
    {
        std::error_code error;
        return fs::is_regular_file(path, error);
    }
    void onCloseDocument() override { journal.events.push_back("closed " + title()); }
    int confirmClose(bool closeAllMode) override
    {
        journal.events.push_back(std::string(closeAllMode ? "asked all " : "asked ") + title());
        if (journal.closeAnswers.empty())
            return DialogResult::Yes;
        int answer = journal.closeAnswers.front();
        journal.closeAnswers.pop_front();
        return answer;
    }
    bool isArchive() const override { return m_archive; }

private:
    bool m_archive;
};

class FakeListing : public DocumentWindow {
public:
    using DocumentWindow::DocumentWindow;
    bool handlesCommand(int id) const override { return id == CommandId::Extract || id == CommandId::AddFiles; }
    bool isCommandEnabled(int) const override { return true; }
    void runCommand(int id) override { journal.events.push_back("command " + std::to_string(id) + " " + document().title()); }
    bool runCommandWithResult(int id) override
    {
        runCommand(id);
        return id != CommandId::AddFiles || journal.addFilesSucceeds;
    }
};

DocumentKindBindings fakeBindings()
{
    DocumentKindBindings bindings;
    auto window = [](Document& document, ApplicationContext&) -> DocumentWindow* { return new FakeListing(document); };
    bindings[DocumentKindId::Zip] = {[](ApplicationContext&) { return std::make_unique<FakeDocument>(true); }, window, {}};
    bindings[DocumentKindId::ZipJob] = {[](ApplicationContext&) { return std::make_unique<FakeDocument>(false); }, window,
                                        [](Document& document, JobKind kind, ApplicationContext&) {
                                            journal.events.push_back(std::string(kind == JobKind::ZipJob ? "zip job " : "unzip job ") +
                                                                     document.title());
                                            return 0;
                                        }};
    return bindings;
}

// The answer of a blocking sender on another thread, while this thread's event loop serves it.
template <typename Result>
Result whileServing(std::function<Result()> work)
{
    auto answer = std::async(std::launch::async, std::move(work));
    while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return answer.get();
}

} // namespace

class ZipApplicationTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;

    StartupEnvironment environment(QStringList arguments = {}) const
    {
        return m_directory->environment(std::move(arguments));
    }
    std::string archive(const std::string& name) const
    {
        std::string path = m_directory->file("archives/" + name);
        writeFile(path, "PK\x05\x06");
        return path;
    }
    std::optional<bool> send(ZipApplication& application, const std::string& text)
    {
        QString socket = application.instanceSocketPath();
        return whileServing<std::optional<bool>>([socket, text] { return sendExecuteString(socket, text, 10000); });
    }
    static QStringList windowTitles(ZipApplication& application)
    {
        QStringList titles;
        for (DocumentWindow* window : application.mainWindow()->documentWindows())
            titles << window->titleText();
        return titles;
    }

private slots:
    void init()
    {
        m_directory = std::make_unique<ApplicationSandbox>();
        journal = {};
    }

    void cleanup()
    {
        m_directory.reset();
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void startUpMakesTheScratchAndUnpackDirectoriesAndExitRemovesThem()
    {
        std::string scratch;
        std::string unpack;
        {
            ZipApplication application(environment(), fakeBindings());
            QCOMPARE(application.start(), std::nullopt);
            QVERIFY(application.mainWindow()->isVisible());
            QVERIFY(application.scratchDirectory());
            scratch = application.scratchDirectory()->path();
            QCOMPARE(fs::path(scratch).filename().string(), std::string("ZIPTEMP.TMP"));
            QVERIFY(fs::is_directory(scratch));
            QVERIFY(application.unpackDirectory());
            unpack = application.unpackDirectory()->path();
            QCOMPARE(fs::path(unpack).parent_path().parent_path(), fs::path(m_directory->file("cache/scratch")));
            QVERIFY(fs::is_directory(unpack));
            QCOMPARE(application.instanceSocketPath().toStdString(), m_directory->file("runtime/quarvosystem"));
            QVERIFY(application.instanceServer()->isListening());

            std::vector<int> kinds;
            for (const auto& kind : application.documents().kinds())
                kinds.push_back(kind->resourceId);
            QCOMPARE(kinds, (std::vector<int>{5, 11, 16, 19, 23, 22, 8, 10}));

            QVERIFY(application.mainWindow()->close());
            QCOMPARE(application.finish(), 0);
        }
        QVERIFY(!fs::exists(scratch));
        QVERIFY(!fs::exists(fs::path(scratch).parent_path()));
        QVERIFY(!fs::exists(fs::path(unpack).parent_path()));
        std::string profile = readFile(m_directory->file("quarvo.ini"));
        QVERIFY2(profile.find("AlwaysOnTop=0") != std::string::npos, profile.c_str());
        QVERIFY2(profile.find("CurrentDir=" + m_directory->path().string()) != std::string::npos, profile.c_str());
        QVERIFY2(profile.find("WindowState=1") != std::string::npos, profile.c_str());
    }

    void aFreshProfileStartsWithoutAskingAnything()
    {
        // No profile yet, and a working directory away from the program (the sandbox's): the
        // default viewer is the one built beside quarvo, and start-up shows no box.
        QVERIFY(!fs::exists(m_directory->file("quarvo.ini")));
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        QCOMPARE(m_guard.takeRejected(), QStringList());
        QCOMPARE(application.settings().viewerName, std::string("VIEWER.EXE"));
        QCOMPARE(resolveViewerProgram(application.settings().viewerName, application.settings().programDirectory()),
                 std::optional<std::string>(quarvo::testing::buildProgramDirectory() + "/quarvo-viewer"));
        QVERIFY(application.mainWindow()->close());
    }

    void aViewerThatCannotBeFoundIsReportedAtStartUp()
    {
        // A program directory without the viewer.
        const std::string program = m_directory->file("program");
        fs::create_directories(program);
        StartupEnvironment withoutViewer = environment();
        withoutViewer.programDirectory = program;
        QString message;
        QString options;
        quarvo::testing::whenModalShows([&](QWidget* box) {
            message = qobject_cast<QMessageBox*>(box)->text();
            QTest::keyClick(box, Qt::Key_Return);
            // Then the General Options dialog, to correct the name; it is cancelled.
            quarvo::testing::whenModalShows([&](QWidget* dialog) {
                options = dialog->windowTitle();
                qobject_cast<QDialog*>(dialog)->reject();
            });
        });
        ZipApplication application(withoutViewer, fakeBindings());
        QCOMPARE(application.start(), std::nullopt);
        QCOMPARE(message, QString::fromStdString("File not found: \n\"" + program + "/quarvo-viewer\""));
        QCOMPARE(options, QStringLiteral("Quarvo Options"));
        // Cancelled: the name that cannot be found is not used in this run.
        QCOMPARE(application.settings().viewerName, std::string());
        QVERIFY(application.mainWindow()->close());
    }

    void executeStringsArriveThroughTheInstanceSocket()
    {
        ZipApplication application(environment(), fakeBindings());
        QCOMPARE(application.start(), std::nullopt);
        std::string first = archive("first.zip");
        std::string job = archive("backup.cfz");

        QCOMPARE(send(application, "[open(\"" + first + "\")]"), std::optional<bool>(true));
        QCOMPARE(windowTitles(application), QStringList{"first.zip"});
        QCOMPARE(application.settings().recentFiles, std::vector<std::string>{first});

        // "[open(" must be spelled exactly; a failed open is still handled.
        QCOMPARE(send(application, "[OPEN(\"" + first + "\")]"), std::optional<bool>(false));
        QCOMPARE(send(application, "[open(\"" + m_directory->file("missing.zip") + "\")]"), std::optional<bool>(true));
        QCOMPARE(application.documents().documents().size(), size_t(1));

        // An archive named by execute opens and stays open, but the request is not handled.
        std::string second = archive("second.zip");
        QCOMPARE(send(application, "[execute(\"" + second + "\")]"), std::optional<bool>(false));
        QCOMPARE(windowTitles(application), (QStringList{"first.zip", "second.zip"}));

        // A job runs and closes again.
        QCOMPARE(send(application, "[EXECUTE(\"" + job + "\")]"), std::optional<bool>(true));
        QCOMPARE(journal.events, (std::vector<std::string>{"zip job backup.cfz", "closed backup.cfz"}));
        QCOMPARE(windowTitles(application), (QStringList{"first.zip", "second.zip"}));

        journal.events.clear();
        QCOMPARE(send(application, "[Extract(\"" + first + "\")]"), std::optional<bool>(true));
        QCOMPARE(journal.events, std::vector<std::string>{"command 3050 first.zip"});

        // The add request hands its names on as a list; one that cannot be told apart from the
        // request's quotes is refused with a message, and nothing is offered.
        std::vector<std::pair<std::string, std::vector<std::string>>> offered;
        application.setCompressOffer(
            [&](const std::string& archivePath, const std::vector<std::string>& files) {
                offered.emplace_back(archivePath, files);
                return true;
            });
        QCOMPARE(send(application, "[add(\"" + first + "\") \"/x/a.txt\" \"/x/b c.txt\")]"),
                 std::optional<bool>(true));
        QCOMPARE(offered.size(), size_t(1));
        QCOMPARE(offered[0].first, first);
        QCOMPARE(offered[0].second, (std::vector<std::string>{"/x/a.txt", "/x/b c.txt"}));
        QString refusal;
        quarvo::testing::answerMessageBox(QStringLiteral("OK"), &refusal);
        QCOMPARE(send(application, "[Add(\"\") \"/x/say \"hi\".txt\")]"), std::optional<bool>(false));
        QVERIFY2(refusal.contains(QStringLiteral("double quote")), qPrintable(refusal));
        QCOMPARE(offered.size(), size_t(1));

        QVERIFY(application.mainWindow()->close());
    }

    void aSecondStartHandsItsPathToTheRunningInstance()
    {
        ZipApplication running(environment(), fakeBindings());
        QCOMPARE(running.start(), std::nullopt);
        archive("forwarded.zip");

        // Relative to the second start's working directory; the running instance gets the full path.
        StartupEnvironment second = environment({QStringLiteral("archives/forwarded.zip")});
        std::optional<int> exitCode = whileServing<std::optional<int>>([second] {
            ZipApplication secondStart(second, {});
            return secondStart.start();
        });
        QCOMPARE(exitCode, std::optional<int>(0));
        QCOMPARE(windowTitles(running), QStringList{"forwarded.zip"});
        QCOMPARE(running.documents().documents().front()->path(), m_directory->file("archives/forwarded.zip"));

        // "--dde" sends any execute string and reports the answer in its exit code.
        std::string path = m_directory->file("archives/forwarded.zip");
        StartupEnvironment notHandled = environment({QStringLiteral("--dde"), QString::fromStdString("[OPEN(\"" + path + "\")]")});
        QCOMPARE(whileServing<std::optional<int>>([notHandled] { return ZipApplication(notHandled, {}).start(); }),
                 std::optional<int>(1));
        StartupEnvironment handled = environment({QStringLiteral("--dde"), QString::fromStdString("[extract(\"" + path + "\")]")});
        QCOMPARE(whileServing<std::optional<int>>([handled] { return ZipApplication(handled, {}).start(); }),
                 std::optional<int>(0));
        QVERIFY(running.mainWindow()->close());
    }

    void theExtractOptionReachesTheRunningInstanceOrAFreshOne()
    {
        std::string path = archive("forwarded.zip");
        {
            ZipApplication running(environment(), fakeBindings());
            QCOMPARE(running.start(), std::nullopt);
            StartupEnvironment second = environment({QStringLiteral("--extract"), QStringLiteral("archives/forwarded.zip")});
            QCOMPARE(whileServing<std::optional<int>>([second] { return ZipApplication(second, {}).start(); }),
                     std::optional<int>(0));
            QCOMPARE(journal.events, std::vector<std::string>{"command 3050 forwarded.zip"});
            QCOMPARE(running.documents().documents().front()->path(), path);
            QVERIFY(running.mainWindow()->close());
        }
        journal.events.clear();
        ZipApplication fresh(environment({QStringLiteral("--extract"), QStringLiteral("archives/forwarded.zip")}),
                             fakeBindings());
        QCOMPARE(fresh.start(), std::nullopt);
        QCOMPARE(journal.events, std::vector<std::string>{"command 3050 forwarded.zip"});
        QCOMPARE(windowTitles(fresh), QStringList{"forwarded.zip"});
        QVERIFY(fresh.mainWindow()->close());
    }

    void unregisterRemovesTheRegistrationAndExits()
    {
        quarvo::testing::ScopedEnvironment data("XDG_DATA_HOME", m_directory->file("data"));
        quarvo::testing::ScopedEnvironment config("XDG_CONFIG_HOME", m_directory->file("config"));
        DesktopDirectories directories = desktopDirectoriesFromEnvironment();
        RegistrationReport registered = registerWithDesktop(directories, "/opt/quarvo/bin/quarvo", [](const auto&) {});
        QVERIFY(!registered.written.empty());
        QCOMPARE(ZipApplication(environment({QStringLiteral("--unregister")}), fakeBindings()).start(),
                 std::optional<int>(0));
        for (const std::string& path : registered.written)
            QVERIFY2(!std::filesystem::exists(path), path.c_str());
        QVERIFY(!std::filesystem::exists(registrationManifestPath(directories)));
    }

    void theJobFormOfTheCommandLineRunsTheJobAndExits()
    {
        std::string job = archive("nightly.CFZ");
        std::string scratch;
        {
            ZipApplication application(environment({QString::fromStdString("-e" + job)}), fakeBindings());
            QCOMPARE(application.start(), std::optional<int>(0));
            QVERIFY(!application.mainWindow() || !application.mainWindow()->isVisible());
        }
        QCOMPARE(journal.events, (std::vector<std::string>{"zip job nightly.CFZ", "asked all nightly.CFZ", "closed nightly.CFZ"}));
        QVERIFY(!fs::exists(m_directory->file("runtime/scratch")) || fs::is_empty(m_directory->file("runtime/scratch")));

        // An archive is opened, runs nothing, and the program still exits.
        journal = {};
        std::string plain = archive("plain.zip");
        ZipApplication application(environment({QStringLiteral("-e") + QString::fromStdString(plain)}), fakeBindings());
        QCOMPARE(application.start(), std::optional<int>(0));
        QCOMPARE(journal.events, (std::vector<std::string>{"asked all plain.zip", "closed plain.zip"}));
    }

    void closeAllClosesWhatAgreesAndKeepsTheRest()
    {
        ZipApplication application(environment(), fakeBindings());
        QCOMPARE(application.start(), std::nullopt);
        application.openDocumentWithWindow(archive("a.zip"));
        application.openDocumentWithWindow(archive("b.zip"));
        application.openDocumentWithWindow(archive("c.zip"));
        journal.events.clear();
        journal.closeAnswers = {DialogResult::No, DialogResult::YesToAll};
        QVERIFY(!application.closeAllDocuments());
        QCOMPARE(journal.events,
                 (std::vector<std::string>{"asked all a.zip", "asked all b.zip", "closed b.zip", "closed c.zip"}));
        QCOMPARE(windowTitles(application), QStringList{"a.zip"});

        // Exit with a document that refuses keeps the program running.
        journal.closeAnswers = {DialogResult::Cancel};
        application.exit();
        QVERIFY(application.mainWindow()->isVisible());
        application.exit();
        QVERIFY(!application.mainWindow()->isVisible());
    }

    void aWindowsCloseButtonAsksItsDocument()
    {
        ZipApplication application(environment(), fakeBindings());
        QCOMPARE(application.start(), std::nullopt);
        application.openDocumentWithWindow(archive("a.zip"));
        QMdiSubWindow* subWindow = application.mainWindow()->mdiArea()->subWindowList().front();
        journal.events.clear();
        journal.closeAnswers = {DialogResult::No};
        subWindow->close();
        QCOMPARE(windowTitles(application), QStringList{"a.zip"});
        subWindow->close();
        QCOMPARE(journal.events, (std::vector<std::string>{"asked a.zip", "asked a.zip", "closed a.zip"}));
        QVERIFY(windowTitles(application).isEmpty());
        QVERIFY(application.documents().documents().empty());
        QVERIFY(application.mainWindow()->close());
    }

    void nothingClosesWhileAnEngineRunsAndQuittingAsksItToStop()
    {
        ZipApplication application(environment(), fakeBindings());
        QCOMPARE(application.start(), std::nullopt);
        application.openDocumentWithWindow(archive("a.zip"));
        QMdiSubWindow* subWindow = application.mainWindow()->mdiArea()->subWindowList().front();
        journal.events.clear();

        // What the user may do from the event pump of a running engine.
        quarvo::testing::FakeEngine engine;
        bool windowCloseCancelled = true, closeAllRefused = false, mainWindowStayed = false;
        engine.setZipAction([&](ZipCommand& block) {
            subWindow->close();
            windowCloseCancelled = CancelFlags::zipEngine;
            closeAllRefused = !application.closeAllDocuments();
            mainWindowStayed = !application.mainWindow()->close();
            // The engine's next callback sees the cancel that quitting asked for.
            return uint16_t(block.statusCallback("", 0, block.statusCallbackData) ? EngineResult::Cancelled
                                                                                  : EngineResult::Ok);
        });
        ZipEngineSession session(application.userInterface(), engine, application.settings());
        QCOMPARE(session.runZip(archive("a.zip"), "*.*", CommandId::AddFiles), uint16_t(EngineResult::Cancelled));
        QVERIFY(!windowCloseCancelled);
        QVERIFY(closeAllRefused);
        QVERIFY(mainWindowStayed);
        QCOMPARE(windowTitles(application), QStringList{"a.zip"});
        QVERIFY(journal.events.empty());

        // Once the engine has returned, everything closes as usual.
        QVERIFY(application.mainWindow()->close());
        QCOMPARE(journal.events, (std::vector<std::string>{"asked a.zip", "closed a.zip"}));
    }

    void newZipRemovesTheArchiveWhenAddingFilesFails()
    {
        ZipApplication application(environment(), fakeBindings());
        QCOMPARE(application.start(), std::nullopt);
        journal.addFilesSucceeds = false;
        QVERIFY(application.commands().run(CommandId::NewZip));
        QVERIFY(!fs::exists(m_directory->file("new.zip")));
        QVERIFY(application.documents().documents().empty());
        QCOMPARE(journal.events, (std::vector<std::string>{"command 2150 new.zip", "closed new.zip"}));

        journal.events.clear();
        journal.addFilesSucceeds = true;
        QVERIFY(application.commands().run(CommandId::NewZip));
        QVERIFY(fs::exists(m_directory->file("new.zip")));
        QCOMPARE(windowTitles(application), QStringList{"new.zip"});
        QVERIFY(application.mainWindow()->close());
    }

    void theOptionsMenuAndTheFileDialogsShareOneDialogOfEachKind()
    {
        ZipApplication application(environment(), {});
        QCOMPARE(application.start(), std::nullopt);
        QWidget* fromMenu = nullptr;
        whenModalShows([&fromMenu](QWidget* modal) {
            fromMenu = modal;
            static_cast<OptionsDialog*>(modal)->cancelButton()->click();
        });
        QVERIFY(application.commands().run(CommandId::ZipOptions));
        QVERIFY(fromMenu && fromMenu == application.optionsDialogs().zip());

        // "Options..." of the compress and extract dialogs opens the run's one dialog of its kind.
        auto optionsOpenedFrom = [](QWidget* fileDialog, QPushButton* optionsButton) {
            QWidget* opened = nullptr;
            whenModalShows([&opened](QWidget* modal) {
                opened = modal;
                static_cast<OptionsDialog*>(modal)->cancelButton()->click();
            });
            optionsButton->click();
            static_cast<QDialog*>(fileDialog)->reject();
            return opened;
        };
        QWidget* fromCompress = nullptr;
        whenModalShows([&](QWidget* modal) {
            auto* compress = qobject_cast<CompressFilesDialog*>(modal);
            fromCompress = optionsOpenedFrom(modal, compress->optionsButton());
        });
        AddFilesDialogValues addValues;
        QCOMPARE(application.archiveDialogs().editAddFiles(addValues), int(DialogResult::Cancel));
        QCOMPARE(fromCompress, fromMenu);

        QWidget* fromExtract = nullptr;
        whenModalShows([&](QWidget* modal) {
            auto* extract = qobject_cast<ExtractFilesDialog*>(modal);
            fromExtract = optionsOpenedFrom(modal, extract->optionsButton());
        });
        ExtractDialogValues extractValues;
        QCOMPARE(application.archiveDialogs().editExtract(extractValues), int(DialogResult::Cancel));
        QVERIFY(fromExtract && fromExtract == application.optionsDialogs().unzip());
        QVERIFY(application.mainWindow()->close());
    }

    void kindsWithoutDocumentsKeepTheirCommandsDisabled()
    {
        ZipApplication application(environment(), {});
        QCOMPARE(application.start(), std::nullopt);
        for (int id : {CommandId::NewZip, CommandId::Open, CommandId::NewZipConfig, CommandId::CloseAll,
                       CommandId::Print})
            QVERIFY2(!application.commands().isEnabled(id), qPrintable(QString::number(id)));
        for (int id : {CommandId::About, CommandId::GeneralOptions, CommandId::ZipOptions,
                       CommandId::UnzipOptions, CommandId::Exit, CommandId::HelpIndex, CommandId::AlwaysOnTop,
                       CommandId::PrintSetup, CommandId::SearchZipFiles})
            QVERIFY2(application.commands().isEnabled(id), qPrintable(QString::number(id)));
        // A file of any kind cannot be opened yet; the request says so.
        QCOMPARE(send(application, "[extract(\"" + archive("a.zip") + "\")]"), std::optional<bool>(false));
        QVERIFY(application.mainWindow()->close());
    }
};

QTEST_MAIN(ZipApplicationTest)
#include "ZipApplicationTest.moc"
