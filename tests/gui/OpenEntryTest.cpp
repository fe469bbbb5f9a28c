#include "core/app/CommandIds.h"
#include "core/documents/ZipDocument.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZipApplication.h"
#include "gui/app/ZipWindow.h"
#include "gui/dialogs/CheckOutDialog.h"
#include "gui/dialogs/DirectoryChooser.h"
#include "gui/dialogs/RunFileDialog.h"
#include "gui/launch/DesktopLaunchServices.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"

#include "support/ProcessRunner.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include "ApplicationSandbox.h"
#include "ModalDialogs.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <map>
#include <set>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::answerMessageBox;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::readFile;
using quarvo::testing::runProcess;
using quarvo::testing::ScopedEnvironment;
using quarvo::testing::whenDialogShows;
using quarvo::testing::writeFile;
using quarvo::testing::ZipBuilder;
namespace fs = std::filesystem;

namespace {

const QString ChangedQuestion =
    QStringLiteral("The file has changed. Do you want to update the ZIP file with the changed file?\n\n");

std::string archiveBytes(const std::map<std::string, std::string>& entries)
{
    ZipBuilder builder;
    for (const auto& [name, data] : entries)
        builder.add(ZipBuilder::stored(name, data));
    return builder.finish();
}

// Every path below root, relative, directories with a trailing "/".
std::set<std::string> treeOf(const fs::path& root)
{
    std::set<std::string> paths;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        std::string path = fs::relative(item.path(), root).string();
        paths.insert(item.is_directory() ? path + "/" : path);
    }
    return paths;
}

} // namespace

// Viewing, running and checking out entries through the real windows and engines, with programs
// that really run: a viewer script that appends a line to the file it is given, and sed.
class OpenEntryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    std::unique_ptr<ScopedEnvironment> m_dataHome;
    quarvo::testing::UnexpectedModalGuard m_guard;

    // The application with the test's launch services, the viewer script as the default viewer.
    std::unique_ptr<ZipApplication> startApplication()
    {
        const std::string viewer = m_directory->file("viewer.sh");
        writeFile(viewer, "#!/bin/sh\nprintf 'seen by the viewer\\n' >> \"$1\"\n");
        fs::permissions(viewer, fs::perms::owner_all);
        writeFile(m_directory->file("quarvo.ini"), "[PROGRAMS]\nViewerName=" + viewer + "\n");
        auto application =
            std::make_unique<ZipApplication>(m_directory->environment(), builtInDocumentKindBindings(),
                                             nullptr, std::make_unique<DesktopLaunchServices>());
        if (application->start())
            return nullptr;
        return application;
    }

    std::string archive(const std::string& name, const std::map<std::string, std::string>& entries)
    {
        std::string path = m_directory->file(name);
        writeFile(path, archiveBytes(entries));
        return path;
    }

    static ZipWindow* activeZipWindow(ZipApplication& application)
    {
        return qobject_cast<ZipWindow*>(application.mainWindow()->activeDocumentWindow());
    }

    static ZipWindow* openWindow(ZipApplication& application, const std::string& path)
    {
        application.openDocumentWithWindow(path);
        return activeZipWindow(application);
    }

    // Puts the caret on the row of the entry, leaving the selection alone.
    static QModelIndex placeCaret(ZipWindow& window, const std::string& name)
    {
        ListingView& listing = window.pane().listing();
        for (int row = 0; row < listing.rowCount(); ++row) {
            QModelIndex index = listing.model()->index(row, 0);
            if (listing.listingModel().entryAt(row)->name == name) {
                listing.selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
                return index;
            }
        }
        return {};
    }

    std::string unzipped(const std::string& archive, const std::string& name) const
    {
        return runProcess("unzip", {"-p", archive, name}, m_directory->path()).out;
    }

  private slots:
    void init()
    {
        m_directory = std::make_unique<ApplicationSandbox>();
        m_dataHome = std::make_unique<ScopedEnvironment>("XDG_DATA_HOME", m_directory->file("data"));
    }

    void cleanup()
    {
        m_dataHome.reset();
        m_directory.reset();
        QCOMPARE(quarvo::testing::pendingModalAnswers(), 0);
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void aViewedEntryThatChangedGoesBackOnYesAndIsKeptOnNo()
    {
        const std::string path = archive(
            "notes.zip", {{"notes.txt", "first line\n"}, {"other.txt", "other\n"}, {"third.txt", "3\n"}});
        auto application = startApplication();
        QVERIFY(application);
        ZipWindow* window = openWindow(*application, path);
        QVERIFY(window);
        QVERIFY(application->commands().isEnabled(CommandId::ViewFile));

        // View from the menu: the viewer appends its line and ends; Yes puts the file back.
        placeCaret(*window, "notes.txt");
        QString question;
        answerMessageBox(QStringLiteral("Yes"), &question);
        QVERIFY(application->commands().run(CommandId::ViewFile));
        QTRY_COMPARE_WITH_TIMEOUT(unzipped(path, "notes.txt"),
                                  std::string("first line\nseen by the viewer\n"), 10000);
        QCOMPARE(question, ChangedQuestion + QStringLiteral("notes.txt"));

        // A double click views the caret row's entry; No keeps the copy where the message says.
        const std::string before = readFile(path);
        QModelIndex other = placeCaret(*window, "other.txt");
        QString refused;
        QString kept;
        answerMessageBox(QStringLiteral("No"), &refused,
                      [&kept] { answerMessageBox(QStringLiteral("OK"), &kept); });
        emit window->pane().listing().doubleClicked(other);
        QTRY_VERIFY_WITH_TIMEOUT(!kept.isEmpty(), 10000);
        QCOMPARE(refused, ChangedQuestion + QStringLiteral("other.txt"));
        const QString prefix =
            QStringLiteral("The changed file was not put back into the ZIP file. It was kept as:\n\n");
        QVERIFY2(kept.startsWith(prefix), qPrintable(kept));
        const std::string keptPath = kept.mid(prefix.size()).toStdString();
        QVERIFY(keptPath.starts_with(m_directory->file("data/quarvo/kept/notes-")));
        QCOMPARE(readFile(keptPath), std::string("other\nseen by the viewer\n"));
        QCOMPARE(readFile(path), before);

        // Enter on the listing views the caret row's entry too.
        placeCaret(*window, "third.txt");
        window->pane().listing().setFocus();
        QString third;
        answerMessageBox(QStringLiteral("Yes"), &third);
        QTest::keyClick(&window->pane().listing(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(unzipped(path, "third.txt"), std::string("3\nseen by the viewer\n"), 10000);
        QCOMPARE(third, ChangedQuestion + QStringLiteral("third.txt"));

        QVERIFY(application->mainWindow()->close());
        // The kept copy outlives the program; the copies in the scratch directory do not.
        application.reset();
        QCOMPARE(readFile(keptPath), std::string("other\nseen by the viewer\n"));
    }

    void aRunCommandLineEditsTheEntryAndTheChangeGoesBack()
    {
        const std::string path = archive("run.zip", {{"text.txt", "lower case\n"}});
        auto application = startApplication();
        QVERIFY(application);
        ZipWindow* window = openWindow(*application, path);
        QVERIFY(window);
        placeCaret(*window, "text.txt");
        QString prefilled;
        QString question;
        whenDialogShows<RunFileDialog>([&](RunFileDialog* dialog) {
            prefilled = dialog->commandLineField()->text();
            dialog->commandLineField()->setText(QStringLiteral("sed -i s/lower/UPPER/ text.txt"));
            answerMessageBox(QStringLiteral("Yes"), &question);
            dialog->executeButton()->click();
        });
        QVERIFY(application->commands().run(CommandId::RunFile));
        QCOMPARE(prefilled, QStringLiteral("text.txt"));
        QTRY_COMPARE_WITH_TIMEOUT(unzipped(path, "text.txt"), std::string("UPPER case\n"), 10000);
        QCOMPARE(question, ChangedQuestion + QStringLiteral("text.txt"));
        QVERIFY(application->mainWindow()->close());
    }

    // A program that hands the file to another process and ends at once (as one that passes it to
    // an instance already running does): the change made later still leads to the question.
    void aFileHandedOverAndChangedLaterStillGoesBack()
    {
        const std::string path = archive("handoff.zip", {{"text.txt", "before\n"}});
        auto application = startApplication();
        QVERIFY(application);
        ZipWindow* window = openWindow(*application, path);
        QVERIFY(window);
        placeCaret(*window, "text.txt");
        QString question;
        whenDialogShows<RunFileDialog>([&](RunFileDialog* dialog) {
            dialog->commandLineField()->setText(
                QStringLiteral("sh -c '(sleep 1; echo after >> text.txt) > /dev/null 2>&1 &'"));
            answerMessageBox(QStringLiteral("Yes"), &question);
            dialog->executeButton()->click();
        });
        QVERIFY(application->commands().run(CommandId::RunFile));
        QTRY_COMPARE_WITH_TIMEOUT(unzipped(path, "text.txt"), std::string("before\nafter\n"), 10000);
        QCOMPARE(question, ChangedQuestion + QStringLiteral("text.txt"));
        QVERIFY(application->mainWindow()->close());
    }

    void aNestedArchiveOpensInASecondWindowAndItsChangeGoesBackToTheParent()
    {
        const std::string inner = archiveBytes({{"a.txt", "a\n"}, {"b.txt", "b\n"}});
        const std::string path = archive("parent.zip", {{"inner.zip", inner}, {"readme.txt", "r\n"}});
        auto application = startApplication();
        QVERIFY(application);
        ZipWindow* parentWindow = openWindow(*application, path);
        QVERIFY(parentWindow);
        CommandRouter& commands = application->commands();

        placeCaret(*parentWindow, "inner.zip");
        QVERIFY(commands.run(CommandId::ViewFile));
        QCOMPARE(application->mainWindow()->documentWindows().size(), size_t(2));
        ZipWindow* nestedWindow = activeZipWindow(*application);
        QVERIFY(nestedWindow && nestedWindow != parentWindow);
        QCOMPARE(nestedWindow->titleText(), QStringLiteral("*inner.zip(*.*)"));
        QVERIFY(!commands.isEnabled(CommandId::DeleteZipFile));

        // Show Parent returns to the archive it came from.
        QVERIFY(commands.isEnabled(CommandId::ShowParent));
        QVERIFY(commands.run(CommandId::ShowParent));
        QCOMPARE(activeZipWindow(*application), parentWindow);
        QVERIFY(!commands.isEnabled(CommandId::ShowParent));

        // Delete an entry inside the nested archive, then close its window: the change is offered
        // back and goes into the parent.
        application->mainWindow()->mdiArea()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(nestedWindow->parentWidget()));
        ListingView& listing = nestedWindow->pane().listing();
        listing.selectionModel()->select(listing.model()->index(placeCaret(*nestedWindow, "b.txt").row(), 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        listing.recountSelection();
        QString sure;
        answerMessageBox(QStringLiteral("Yes"), &sure);
        QVERIFY(commands.run(CommandId::DeleteEntries));
        QString question;
        answerMessageBox(QStringLiteral("Yes"), &question);
        QVERIFY(commands.run(CommandId::Close));
        QCOMPARE(question, ChangedQuestion + QStringLiteral("inner.zip"));
        QCOMPARE(application->mainWindow()->documentWindows().size(), size_t(1));
        const std::string copy = m_directory->file("inner-copy.zip");
        writeFile(copy, unzipped(path, "inner.zip"));
        QCOMPARE(runProcess("unzip", {"-Z1", copy}, m_directory->path()).out, std::string("a.txt\n"));

        // Quitting with the nested window open asks about the parent only; the nested archive goes
        // with it, unasked.
        placeCaret(*parentWindow, "inner.zip");
        QVERIFY(commands.run(CommandId::ViewFile));
        QCOMPARE(application->mainWindow()->documentWindows().size(), size_t(2));
        QString closing;
        answerMessageBox(QStringLiteral("Yes"), &closing);
        QVERIFY(application->mainWindow()->close());
        QVERIFY(closing.startsWith(
            QStringLiteral("Closing this ZIP file will close all its associated zip in zip")));
        QVERIFY(application->documents().documents().empty());
    }

    void checkOutIntoAnEmptyAndANonEmptyDirectoryAndDeleteOnlyWhatWasCreated()
    {
        const std::map<std::string, std::string> entries{{"a.txt", "a\n"}, {"sub/b.txt", "b\n"}};
        auto application = startApplication();
        QVERIFY(application);
        CommandRouter& commands = application->commands();
        const fs::path empty = m_directory->path() / "empty";
        const fs::path busy = m_directory->path() / "busy";
        fs::create_directories(empty);
        writeFile((busy / "mine.txt").string(), "the user's\n");
        fs::create_directories(busy / "sub");

        for (const fs::path& target : {empty, busy}) {
            const std::string path = archive(target.filename().string() + ".zip", entries);
            ZipWindow* window = openWindow(*application, path);
            QVERIFY(window);
            QString notEmpty;
            whenDialogShows<CheckOutDialog>([&](CheckOutDialog* dialog) {
                dialog->directoryChooser()->setDirectory(QString::fromStdString(target.string()));
                if (target == busy)
                    answerMessageBox(QStringLiteral("Yes"), &notEmpty);
                dialog->okButton()->click();
            });
            QVERIFY(commands.run(CommandId::CheckOut));
            QCOMPARE(notEmpty.isEmpty(), target == empty);
            QCOMPARE(readFile(target / "sub" / "b.txt"), std::string("b\n"));
            QVERIFY(static_cast<ZipDocument&>(window->document()).isCheckedOut());

            QString question;
            answerMessageBox(QStringLiteral("Yes"), &question);
            QVERIFY(commands.run(CommandId::Close));
            QCOMPARE(question, QString::fromStdString(path) +
                                   QStringLiteral(" has been Checked Out.\n\nDelete checked out files?"));
        }
        QVERIFY(treeOf(empty).empty());
        QCOMPARE(treeOf(busy), (std::set<std::string>{"mine.txt", "sub/"}));
        QVERIFY(application->mainWindow()->close());
    }
};

QTEST_MAIN(OpenEntryTest)
#include "OpenEntryTest.moc"
