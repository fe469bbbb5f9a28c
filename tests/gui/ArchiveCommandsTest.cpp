#include "core/app/CommandIds.h"
#include "core/documents/ZipDocument.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZipApplication.h"
#include "gui/app/ZipWindow.h"
#include "gui/dialogs/CompressFilesDialog.h"
#include "gui/dialogs/DirectoryChooser.h"
#include "gui/dialogs/ExtractFilesDialog.h"
#include "gui/dialogs/FileListDialog.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"

#include "support/TemporaryDirectory.h"

#include "ModalDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::whenModalShows;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

// Runs action on the next modal dialog of type Dialog, waiting past any other modal state.
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

// Every regular file below root with its contents, by path relative to root.
std::map<std::string, std::string> treeContents(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        if (!item.is_regular_file())
            continue;
        std::ifstream in(item.path(), std::ios::binary);
        files[fs::relative(item.path(), root).generic_string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

} // namespace

// The ZIP window's add, delete, extract and test commands through the real dialogs and the real
// engines, on archives in a temporary directory.
class ArchiveCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TemporaryDirectory> m_directory;
    QString m_previousDirectory;
    quarvo::testing::UnexpectedModalGuard m_guard;

    StartupEnvironment environment() const
    {
        StartupEnvironment environment;
        environment.executablePath = QStringLiteral("/opt/quarvo/bin/quarvo");
        environment.profilePath = m_directory->file("quarvo.ini");
        environment.programDirectory = m_directory->file("program");
        environment.runtimeDirectory = m_directory->file("runtime");
        environment.showBanner = false;
        return environment;
    }

    static ZipWindow* activeZipWindow(ZipApplication& application)
    {
        return qobject_cast<ZipWindow*>(application.mainWindow()->activeDocumentWindow());
    }

    static QStringList listedNames(ZipWindow& window)
    {
        QStringList names;
        for (const auto& entry : static_cast<ZipDocument&>(window.document()).entries())
            names << QString::fromStdString(entry->name);
        names.sort();
        return names;
    }

    // Answers Compress Files with a recursive add that keeps paths, from source, and accepts the
    // file list as it comes.
    static void answerAddDialogs(const QString& source)
    {
        whenDialogShows<CompressFilesDialog>([source](CompressFilesDialog* dialog) {
            dialog->recurseBox()->setChecked(true);
            dialog->storePathBox()->setChecked(true);
            dialog->directoryChooser()->setDirectory(source);
            whenDialogShows<FileListDialog>([](FileListDialog* list) { list->executeButton()->click(); });
            dialog->continueButton()->click();
        });
    }

    // Answers the next message box with the button whose text is buttonText, keeping its text.
    static void answerMessage(const QString& buttonText, QString* text)
    {
        whenDialogShows<QMessageBox>([buttonText, text](QMessageBox* box) {
            *text = box->text();
            for (QAbstractButton* button : box->buttons()) {
                if (button->text().remove(QLatin1Char('&')) == buttonText) {
                    button->click();
                    return;
                }
            }
            box->reject();
        });
    }

private slots:
    void init()
    {
        m_previousDirectory = QDir::currentPath();
        m_directory = std::make_unique<TemporaryDirectory>();
        fs::create_directories(m_directory->path() / "program");
        fs::create_directories(m_directory->path() / "runtime");
        ::chmod(m_directory->file("runtime").c_str(), 0700);
        writeFile(m_directory->file("program/VIEWER.EXE"), "#!/bin/sh\n");
        fs::permissions(m_directory->file("program/VIEWER.EXE"), fs::perms::owner_all);
        QDir::setCurrent(QString::fromStdString(m_directory->path().string()));
    }

    void cleanup()
    {
        QDir::setCurrent(m_previousDirectory);
        m_directory.reset();
        QCOMPARE(quarvo::testing::pendingModalAnswers(), 0);
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void addDeleteExtractAndTestThroughTheWindow()
    {
        // An empty archive: the end record alone.
        std::string archivePath = m_directory->file("tree.zip");
        writeFile(archivePath, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
        fs::path source = m_directory->path() / "source";
        fs::create_directories(source / "sub" / "deep");
        writeFile((source / "top.txt").string(), "top level\n");
        writeFile((source / "sub" / "middle.txt").string(), std::string(5000, 'm'));
        writeFile((source / "sub" / "deep" / "bottom.bin").string(), std::string("\x00\x01\x02\xff", 4));

        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        application.openDocumentWithWindow(archivePath);
        ZipWindow* window = activeZipWindow(application);
        QVERIFY(window);
        QCOMPARE(window->pane().listing().rowCount(), 0);
        CommandRouter& commands = application.commands();
        QVERIFY(commands.isEnabled(CommandId::AddFiles));
        QVERIFY(!commands.isEnabled(CommandId::Extract));

        // Add the tree: the engine writes, the archive is re-read and the listing shows it, the
        // paths below the chosen directory kept.
        answerAddDialogs(QString::fromStdString(source.string()));
        QVERIFY(commands.run(CommandId::AddFiles));
        QCOMPARE(listedNames(*window),
                 QStringList({"sub/", "sub/deep/", "sub/deep/bottom.bin", "sub/middle.txt", "top.txt"}));
        QCOMPARE(window->pane().listing().rowCount(), 5);
        QVERIFY(commands.isEnabled(CommandId::Extract));

        // Extract all into a new directory: the same files with the same contents.
        fs::path target = m_directory->path() / "out";
        fs::create_directory(target);
        whenDialogShows<ExtractFilesDialog>([&](ExtractFilesDialog* dialog) {
            dialog->allFilesButton()->setChecked(true);
            dialog->recreateBox()->setChecked(true);
            dialog->directoryChooser()->setDirectory(QString::fromStdString(target.string()));
            dialog->executeButton()->click();
        });
        QVERIFY(commands.run(CommandId::Extract));
        QCOMPARE(treeContents(target), treeContents(source));

        // Test the archive: the engine reads every entry, finds nothing wrong and says so.
        QString summary;
        whenDialogShows<ExtractFilesDialog>([&summary](ExtractFilesDialog* dialog) {
            QCOMPARE(dialog->commandList()->currentIndex(), 3);
            dialog->allFilesButton()->setChecked(true);
            answerMessage(QStringLiteral("OK"), &summary);
            dialog->executeButton()->click();
        });
        QVERIFY(commands.run(CommandId::TestIntegrity));
        const size_t entries = static_cast<ZipDocument&>(window->document()).entries().size();
        QCOMPARE(summary, QStringLiteral("No errors detected in %1 entries.").arg(entries));

        // The command that has no operation does nothing and says nothing.
        QVERIFY(commands.run(CommandId::ExtractNew));

        // Delete exactly the selected entry.
        ListingView& listing = window->pane().listing();
        int row = -1;
        for (int i = 0; i < listing.rowCount(); ++i) {
            if (listing.model()->index(i, 0).data().toString().contains(QStringLiteral("middle")))
                row = i;
        }
        QVERIFY(row >= 0);
        listing.selectionModel()->select(listing.model()->index(row, 0), QItemSelectionModel::Select);
        listing.recountSelection();
        QCOMPARE(listing.selectedRowCount(), 1);
        QString question;
        answerMessage(QStringLiteral("Yes"), &question);
        QVERIFY(commands.run(CommandId::DeleteEntries));
        QVERIFY(question.startsWith(QStringLiteral("Are you sure you want to delete the selected files")));
        QCOMPARE(listedNames(*window), QStringList({"sub/", "sub/deep/", "sub/deep/bottom.bin", "top.txt"}));
        QCOMPARE(listing.rowCount(), 4);

        QVERIFY(application.mainWindow()->close());
    }

    void newZipKeepsTheArchiveOnlyWhenFilesWereAdded()
    {
        fs::path source = m_directory->path() / "files";
        fs::create_directories(source);
        writeFile((source / "one.txt").string(), "one\n");
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);

        // New ZIP asks for the name, creates the archive and runs Add Files on it.
        std::string kept = m_directory->file("kept.zip");
        std::string dropped = m_directory->file("dropped.zip");
        for (const std::string& path : {kept, dropped}) {
            whenDialogShows<QFileDialog>([path, source, keep = path == kept](QFileDialog* fileDialog) {
                fileDialog->selectFile(QString::fromStdString(path));
                if (keep)
                    answerAddDialogs(QString::fromStdString(source.string()));
                else
                    whenDialogShows<CompressFilesDialog>([](CompressFilesDialog* dialog) { dialog->reject(); });
                static_cast<QDialog*>(fileDialog)->accept();
            });
            QVERIFY(application.commands().run(CommandId::NewZip));
        }
        QVERIFY(fs::exists(kept));
        QVERIFY(!fs::exists(dropped));
        ZipWindow* window = activeZipWindow(application);
        QVERIFY(window);
        QCOMPARE(listedNames(*window), QStringList({"one.txt"}));
        QVERIFY(application.mainWindow()->close());
    }
};

QTEST_MAIN(ArchiveCommandsTest)
#include "ArchiveCommandsTest.moc"
