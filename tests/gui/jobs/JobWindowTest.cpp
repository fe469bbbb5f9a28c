// The job windows offscreen, in the application with its real bindings: New ZIP Config, the form's
// controls and couplings, Save As, Execute through the real engines and reopening; the close
// question from Close and Exit; a stored value no list shows; Browse.

#include "core/app/CommandIds.h"
#include "core/framework/Document.h"
#include "engines/api/UnzipCommand.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZipApplication.h"
#include "gui/jobs/UnzipJobWindow.h"
#include "gui/jobs/ZipJobWindow.h"

#include "support/FakeEngine.h"
#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"

#include "gui/ApplicationSandbox.h"
#include "gui/ModalDialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::readFile;
using quarvo::testing::whenModalShows;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

template <typename Dialog>
void whenDialogShows(std::function<void(Dialog*)> action)
{
    whenModalShows([action = std::move(action)](QWidget* modal) mutable {
        if (auto* dialog = qobject_cast<Dialog*>(modal)) {
            action(dialog);
            return;
        }
        whenDialogShows<Dialog>(std::move(action));
    });
}

// Presses a button of the next message box and keeps its text.
void answerMessage(QMessageBox::StandardButton button, QString* text = nullptr)
{
    whenDialogShows<QMessageBox>([button, text](QMessageBox* box) {
        if (text)
            *text = box->text();
        box->button(button)->click();
    });
}

void chooseInFileDialog(const std::string& path, QString* title = nullptr)
{
    whenDialogShows<QFileDialog>([path, title](QFileDialog* dialog) {
        if (title)
            *title = dialog->windowTitle();
        dialog->selectFile(QString::fromStdString(path));
        static_cast<QDialog*>(dialog)->accept();
    });
}

template <typename Control>
Control* control(QWidget* window, const char* name)
{
    auto* found = window->findChild<Control*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

} // namespace

class JobWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;

    template <typename Window>
    static Window* activeJobWindow(ZipApplication& application)
    {
        return qobject_cast<Window*>(application.mainWindow()->activeDocumentWindow());
    }

private slots:
    void init() { m_directory = std::make_unique<ApplicationSandbox>(); }

    void cleanup()
    {
        m_directory.reset();
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void aNewZipJobIsFilledSavedRunAndReopenedAsSaved()
    {
        writeFile(m_directory->file("work/notes.txt"), std::string(3000, 'n'));
        writeFile(m_directory->file("work/sub/plan.txt"), "plan\n");
        const std::string archive = m_directory->file("backup.zip");
        const std::string jobPath = m_directory->file("backup.cfz");
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        CommandRouter& commands = application.commands();

        QVERIFY(commands.run(CommandId::NewZipConfig));
        auto* window = activeJobWindow<ZipJobWindow>(application);
        QVERIFY(window);
        QCOMPARE(window->titleText(), QStringLiteral("Untitled"));
        QCOMPARE(commands.action(CommandId::Save)->text(), QStringLiteral("&Save Config File"));
        QCOMPARE(commands.action(CommandId::Save)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(commands.action(CommandId::SaveAs)->text(), QStringLiteral("Save Config File &As..."));
        QCOMPARE(commands.action(CommandId::Close)->text(), QStringLiteral("&Close Config File"));
        QVERIFY(application.mainWindow()->menuBar()->actions().contains(commands.action(CommandId::ExecuteJob)));
        QCOMPARE(commands.action(CommandId::ExecuteJob)->text(), QStringLiteral("&Execute!"));

        // The lists and their words, and the couplings of the boxes.
        auto* action = control<QComboBox>(window, "action");
        QCOMPARE(action->count(), 6);
        QCOMPARE(action->itemText(4), QStringLiteral("Move/Update Files"));
        QCOMPARE(control<QComboBox>(window, "compMethod")->itemText(0), QStringLiteral("Store ( No Compression )"));
        QCOMPARE(control<QComboBox>(window, "spanDisks")->itemText(6), QStringLiteral("Wipe SubDirectories"));
        QCOMPARE(control<QLineEdit>(window, "password")->echoMode(), QLineEdit::Password);
        auto* recurse = control<QCheckBox>(window, "recurseSubdirs");
        auto* storePath = control<QCheckBox>(window, "storePath");
        recurse->click();
        QVERIFY(storePath->isChecked());
        auto* backup = control<QCheckBox>(window, "backupEntireDrive");
        QVERIFY(!backup->isEnabled());
        control<QComboBox>(window, "spanDisks")->setCurrentIndex(2);
        QVERIFY(backup->isEnabled());
        control<QComboBox>(window, "spanDisks")->setCurrentIndex(0);
        QVERIFY(!control<QLineEdit>(window, "date")->isEnabled());
        control<QCheckBox>(window, "addNewerFiles")->click();
        QVERIFY(control<QLineEdit>(window, "date")->isEnabled());
        control<QCheckBox>(window, "addNewerFiles")->click();
        auto* comment = control<QPlainTextEdit>(window, "comment");
        QVERIFY(!comment->isEnabled());
        control<QCheckBox>(window, "editZipComment")->click();
        QVERIFY(comment->isEnabled());

        control<QLineEdit>(window, "zipFile")->setText(QString::fromStdString(archive));
        control<QLineEdit>(window, "directory")->setText(QString::fromStdString(m_directory->file("work")));
        control<QComboBox>(window, "compMethod")->setCurrentIndex(8);
        comment->setPlainText(QStringLiteral("Weekly backup\nof work"));

        // Save of a job never saved asks for its name.
        QString title;
        chooseInFileDialog(jobPath, &title);
        QVERIFY(commands.run(CommandId::Save));
        QCOMPARE(title, QStringLiteral("Save As"));
        QCOMPARE(window->titleText(), QStringLiteral("backup.cfz"));
        const std::string saved = readFile(jobPath);
        QVERIFY2(saved.find("RecurseSubdirs=1\nStorePath=1\nAction=0\nCompMethod=8\n") != std::string::npos, saved.c_str());
        QVERIFY2(saved.find("ZIPFile=" + archive + "\n") != std::string::npos, saved.c_str());
        QVERIFY2(saved.find("[Comment]\n0=Weekly backup\n1=of work\n") != std::string::npos, saved.c_str());

        // Execute makes the archive.
        QVERIFY(commands.run(CommandId::ExecuteJob));
        QVERIFY(fs::exists(archive));
        if (quarvo::testing::toolsInstalled({"unzip"})) {
            auto listing = quarvo::testing::runProcess("unzip", {"-l", archive}, m_directory->path());
            QVERIFY2(listing.out.find("sub/plan.txt") != std::string::npos, listing.out.c_str());
            QVERIFY2(listing.out.find("Weekly backup") != std::string::npos, listing.out.c_str());
        }

        // Nothing changed since the save: Close asks nothing. Reopened, every field is as saved.
        QVERIFY(commands.run(CommandId::Close));
        QVERIFY(application.mainWindow()->documentWindows().empty());
        QVERIFY(application.openDocumentWithWindow(jobPath));
        window = activeJobWindow<ZipJobWindow>(application);
        QVERIFY(window);
        QCOMPARE(control<QLineEdit>(window, "zipFile")->text(), QString::fromStdString(archive));
        QCOMPARE(control<QComboBox>(window, "compMethod")->currentIndex(), 8);
        QVERIFY(control<QCheckBox>(window, "recurseSubdirs")->isChecked());
        QVERIFY(control<QCheckBox>(window, "editZipComment")->isChecked());
        QCOMPARE(control<QPlainTextEdit>(window, "comment")->toPlainText(), QStringLiteral("Weekly backup\nof work"));
        QVERIFY(application.mainWindow()->close());
    }

    void editsInTheFormAreAskedAboutByCloseAndExit()
    {
        const std::string jobPath = m_directory->file("restore.cfu");
        const std::string original = "[Options]\nOverwrite=0\nRecreate=1\nRecurse=0\nAction=0\nPassword=\n"
                                     "Directory=/restore\nInclude=\nZIPFile=/b/a.zip\n";
        writeFile(jobPath, original);
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        QVERIFY(application.openDocumentWithWindow(jobPath));
        auto* window = activeJobWindow<UnzipJobWindow>(application);
        QVERIFY(window);
        QCOMPARE(control<QComboBox>(window, "action")->count(), 3);
        control<QLineEdit>(window, "directory")->setText(QStringLiteral("/elsewhere"));

        QString question;
        answerMessage(QMessageBox::Cancel, &question);
        QVERIFY(application.commands().run(CommandId::Close));
        QCOMPARE(question, QString::fromStdString("Save changes to " + jobPath + "?"));
        QCOMPARE(application.mainWindow()->documentWindows().size(), size_t(1));

        answerMessage(QMessageBox::No);
        QVERIFY(application.commands().run(CommandId::Close));
        QVERIFY(application.mainWindow()->documentWindows().empty());
        QCOMPARE(readFile(jobPath), original);

        // Exit asks too, and Yes saves before the program ends.
        QVERIFY(application.openDocumentWithWindow(jobPath));
        control<QCheckBox>(activeJobWindow<UnzipJobWindow>(application), "overwrite")->click();
        answerMessage(QMessageBox::Yes);
        application.exit();
        QVERIFY(!application.mainWindow()->isVisible());
        QCOMPARE(readFile(jobPath).substr(0, 23), std::string("[Options]\nOverwrite=1\nR"));
    }

    void aStoredTestActionShowsNoCommandStaysAndTests()
    {
        const std::string jobPath = m_directory->file("check.cfu");
        writeFile(jobPath, "[Options]\nAction=3\nZIPFile=/b/a.zip\n");
        auto engines = std::make_unique<quarvo::testing::FakeEngine>();
        quarvo::testing::FakeEngine* engine = engines.get();
        ZipApplication application(m_directory->environment(), builtInDocumentKindBindings(), std::move(engines));
        QCOMPARE(application.start(), std::nullopt);
        QVERIFY(application.openDocumentWithWindow(jobPath));
        auto* window = activeJobWindow<UnzipJobWindow>(application);
        QVERIFY(window);
        QCOMPARE(control<QComboBox>(window, "action")->currentIndex(), -1);

        QVERIFY(application.commands().run(CommandId::ExecuteJob));
        QCOMPARE(engine->unzipCalls().size(), size_t(1));
        QCOMPARE(engine->unzipCalls()[0].block.testOnly, 1u);
        QVERIFY(!window->document().isModified());
        QVERIFY(application.commands().run(CommandId::Save));
        QVERIFY(readFile(jobPath).find("Action=3\n") != std::string::npos);
        QVERIFY(application.mainWindow()->close());
    }

    void browseChoosesTheArchiveAndMarksTheJobModified()
    {
        const std::string chosen = m_directory->file("picked.zip");
        writeFile(chosen, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
        ZipApplication application(m_directory->environment());
        QCOMPARE(application.start(), std::nullopt);
        QVERIFY(application.commands().run(CommandId::NewUnzipConfig));
        auto* window = activeJobWindow<UnzipJobWindow>(application);
        QVERIFY(window);
        QVERIFY(!window->document().isModified());

        QString title;
        chooseInFileDialog(chosen, &title);
        control<QPushButton>(window, "browse")->click();
        QCOMPARE(title, QStringLiteral("Browse for ZIP File"));
        QCOMPARE(control<QLineEdit>(window, "zipFile")->text(), QString::fromStdString(chosen));
        QVERIFY(window->document().isModified());

        QString question;
        answerMessage(QMessageBox::No, &question);
        QVERIFY(application.mainWindow()->close());
        QCOMPARE(question, QStringLiteral("Save changes to Untitled?"));
    }
};

QTEST_MAIN(JobWindowTest)
#include "JobWindowTest.moc"
