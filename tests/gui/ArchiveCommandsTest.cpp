#include "core/app/CommandIds.h"
#include "core/documents/ZipDocument.h"
#include "gui/app/MainWindow.h"
#include "gui/app/PercentBar.h"
#include "gui/app/ProgressWindow.h"
#include "gui/app/SummaryStatusBar.h"
#include "gui/app/ZipApplication.h"
#include "gui/app/ZipWindow.h"
#include "gui/dialogs/CompressFilesDialog.h"
#include "gui/dialogs/DirectoryChooser.h"
#include "gui/dialogs/ExtractFilesDialog.h"
#include "gui/dialogs/FileListDialog.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"

#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include "ApplicationSandbox.h"
#include "ModalDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <utility>
#include <vector>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::answerMessageBox;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::randomBytes;
using quarvo::testing::treeContents;
using quarvo::testing::whenDialogShows;
using quarvo::testing::whenModalShows;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

namespace {

// The whole contents of one file.
std::string fileContents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a directory, not recursing.
std::set<std::string> directoryNames(const fs::path& directory)
{
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(directory))
        names.insert(item.path().filename().string());
    return names;
}

// An archive with no entries: the end record alone.
void writeEmptyArchive(const std::string& path)
{
    writeFile(path, std::string("PK\x05\x06", 4) + std::string(18, '\0'));
}

// Rewrites a file and gives it a modification time offset from now, so update and freshen see it
// as newer or older than the copy in the archive.
void rewriteFile(const fs::path& path, const std::string& contents, std::chrono::hours offset)
{
    writeFile(path.string(), contents);
    fs::last_write_time(path, fs::file_time_type::clock::now() + offset);
}

} // namespace

// The ZIP window's add, delete, extract and test commands through the real dialogs and the real
// engines, on archives in a temporary directory.
class ArchiveCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;
    int m_extractions = 0;

    StartupEnvironment environment() const { return m_directory->environment(); }

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

    // Answers Compress Files with a recursive add that keeps paths, from source. operation, when
    // given, picks the operation in the dialog's command list instead of the command's own. The file
    // list is accepted as it comes, or with includeFilter as its only include line.
    static void answerAddDialogs(const QString& source, int operation = -1, const QString& includeFilter = {})
    {
        whenDialogShows<CompressFilesDialog>([=](CompressFilesDialog* dialog) {
            if (operation >= 0)
                dialog->commandList()->setCurrentIndex(operation);
            dialog->recurseBox()->setChecked(true);
            dialog->storePathBox()->setChecked(true);
            dialog->directoryChooser()->setDirectory(source);
            whenDialogShows<FileListDialog>([includeFilter](FileListDialog* list) {
                if (!includeFilter.isEmpty()) {
                    list->filterField()->setText(includeFilter);
                    list->addIncludeFilterButton()->click();
                }
                list->executeButton()->click();
            });
            dialog->continueButton()->click();
        });
    }

    // Answers Extract Files: chooseFiles picks which files, the paths are recreated below target.
    // A missing target is created; question receives the text that asked for it.
    static void answerExtractDialog(const fs::path& target,
                                    std::function<void(ExtractFilesDialog*)> chooseFiles, QString* question)
    {
        whenDialogShows<ExtractFilesDialog>([=](ExtractFilesDialog* dialog) {
            chooseFiles(dialog);
            dialog->recreateBox()->setChecked(true);
            dialog->directoryChooser()->setDirectory(QString::fromStdString(target.string()));
            if (!fs::exists(target))
                answerMessageBox(QStringLiteral("Yes"), question);
            dialog->executeButton()->click();
        });
    }

    // What the archive holds, extracted through the window into a new directory: contents by name.
    std::map<std::string, std::string> archiveContents(CommandRouter& commands)
    {
        fs::path target = m_directory->path() / ("contents" + std::to_string(++m_extractions));
        QString question;
        answerExtractDialog(
            target, [](ExtractFilesDialog* dialog) { dialog->allFilesButton()->setChecked(true); },
            &question);
        if (!commands.run(CommandId::Extract) || !fs::is_directory(target))
            return {};
        return treeContents(target);
    }

    // Opens a new empty archive at path in its window and adds source to it through the window.
    static ZipWindow* openArchiveWith(ZipApplication& application, const std::string& path,
                                      const fs::path& source)
    {
        writeEmptyArchive(path);
        application.openDocumentWithWindow(path);
        answerAddDialogs(QString::fromStdString(source.string()));
        if (!application.commands().run(CommandId::AddFiles))
            return nullptr;
        return activeZipWindow(application);
    }

    // Selects exactly the rows whose entry name is in names, as the user does.
    static void selectRows(ListingView& listing, const QStringList& names)
    {
        listing.selectAllRows(false);
        for (int row = 0; row < listing.rowCount(); ++row) {
            QModelIndex index = listing.model()->index(row, 0);
            if (names.contains(index.data().toString()))
                listing.selectionModel()->select(index,
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        listing.recountSelection();
    }

private slots:
    void init()
    {
        m_directory = std::make_unique<ApplicationSandbox>();
    }

    void cleanup()
    {
        m_directory.reset();
        QCOMPARE(quarvo::testing::pendingModalAnswers(), 0);
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void addDeleteExtractAndTestThroughTheWindow()
    {
        std::string archivePath = m_directory->file("tree.zip");
        writeEmptyArchive(archivePath);
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
        QCOMPARE(archiveContents(commands), treeContents(source));

        // Test the archive: the engine reads every entry, finds nothing wrong and says so.
        QString summary;
        whenDialogShows<ExtractFilesDialog>([&summary](ExtractFilesDialog* dialog) {
            QCOMPARE(dialog->commandList()->currentIndex(), 3);
            dialog->allFilesButton()->setChecked(true);
            answerMessageBox(QStringLiteral("OK"), &summary);
            dialog->executeButton()->click();
        });
        QVERIFY(commands.run(CommandId::TestIntegrity));
        const size_t entries = static_cast<ZipDocument&>(window->document()).entries().size();
        QCOMPARE(summary, QStringLiteral("No errors detected in %1 entries.").arg(entries));

        // The command that has no operation does nothing and says nothing.
        QVERIFY(commands.run(CommandId::ExtractNew));

        // Delete exactly the selected entry.
        ListingView& listing = window->pane().listing();
        selectRows(listing, {QStringLiteral("sub/middle.txt")});
        QCOMPARE(listing.selectedRowCount(), 1);
        QString question;
        answerMessageBox(QStringLiteral("Yes"), &question);
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
    void updateFreshenAndMoveThroughTheWindow()
    {
        using Contents = std::map<std::string, std::string>;
        fs::path source = m_directory->path() / "source";
        fs::create_directories(source);
        for (const char* name : {"kept.txt", "newer.txt", "older.txt"})
            writeFile((source / name).string(), std::string(name) + " 1\n");
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        ZipWindow* window = openArchiveWith(application, m_directory->file("ops.zip"), source);
        QVERIFY(window);
        CommandRouter& commands = application.commands();
        const QString from = QString::fromStdString(source.string());

        // Freshen replaces the entry whose file is newer, keeps the one whose file is older and adds
        // no new file.
        rewriteFile(source / "newer.txt", "newer.txt 2\n", std::chrono::hours(1));
        rewriteFile(source / "older.txt", "older.txt 2\n", -std::chrono::hours(48));
        writeFile((source / "added.txt").string(), "added.txt 1\n");
        answerAddDialogs(from);
        QVERIFY(commands.run(CommandId::FreshenFiles));
        Contents expected{
            {"kept.txt", "kept.txt 1\n"}, {"newer.txt", "newer.txt 2\n"}, {"older.txt", "older.txt 1\n"}};
        QCOMPARE(archiveContents(commands), expected);

        // Update adds the new file too and replaces the one that is newer now, still keeping the older.
        rewriteFile(source / "kept.txt", "kept.txt 2\n", std::chrono::hours(1));
        answerAddDialogs(from);
        QVERIFY(commands.run(CommandId::UpdateFiles));
        expected["kept.txt"] = "kept.txt 2\n";
        expected["added.txt"] = "added.txt 1\n";
        QCOMPARE(archiveContents(commands), expected);
        QCOMPARE(listedNames(*window), QStringList({"added.txt", "kept.txt", "newer.txt", "older.txt"}));

        // Move, chosen in the dialog's command list, adds the files the list includes and removes
        // exactly those from the disk.
        constexpr int moveOperation = 3;
        fs::path incoming = m_directory->path() / "incoming";
        fs::create_directories(incoming);
        writeFile((incoming / "in1.txt").string(), "first moved\n");
        writeFile((incoming / "in2.txt").string(), std::string(3000, 'x'));
        writeFile((incoming / "stays.bin").string(), "not included\n");
        const Contents sourceBefore = treeContents(source);
        answerAddDialogs(QString::fromStdString(incoming.string()), moveOperation, QStringLiteral("*.txt"));
        QVERIFY(commands.run(CommandId::AddFiles));
        QCOMPARE(treeContents(incoming), (Contents{{"stays.bin", "not included\n"}}));
        QCOMPARE(treeContents(source), sourceBefore);
        expected["in1.txt"] = "first moved\n";
        expected["in2.txt"] = std::string(3000, 'x');
        QCOMPARE(archiveContents(commands), expected);
        QCOMPARE(listedNames(*window),
                 QStringList({"added.txt", "in1.txt", "in2.txt", "kept.txt", "newer.txt", "older.txt"}));

        QVERIFY(application.mainWindow()->close());
    }

    void extractTheSelectionAndAFilterIntoNewDirectories()
    {
        using Contents = std::map<std::string, std::string>;
        fs::path source = m_directory->path() / "five";
        fs::create_directories(source);
        for (const char* name : {"one.txt", "two.txt", "three.bin", "four.txt", "five.dat"})
            writeFile((source / name).string(), std::string(name) + std::string(100, '.'));
        const Contents all = treeContents(source);
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        ZipWindow* window = openArchiveWith(application, m_directory->file("five.zip"), source);
        QVERIFY(window);
        CommandRouter& commands = application.commands();
        ListingView& listing = window->pane().listing();
        QCOMPARE(listing.rowCount(), 5);

        // The two selected entries only, into a directory the dialog offers to create.
        selectRows(listing, {QStringLiteral("three.bin"), QStringLiteral("four.txt")});
        QCOMPARE(listing.selectedRowCount(), 2);
        fs::path picked = m_directory->path() / "picked";
        QString question;
        answerExtractDialog(
            picked, [](ExtractFilesDialog* dialog) { dialog->selectedFilesButton()->setChecked(true); },
            &question);
        QVERIFY(commands.run(CommandId::Extract));
        QCOMPARE(question, QStringLiteral("Directory \"%1\" does not exist. Create it?")
                               .arg(QString::fromStdString(picked.string())));
        QCOMPARE(treeContents(picked),
                 (Contents{{"four.txt", all.at("four.txt")}, {"three.bin", all.at("three.bin")}}));

        // A typed filter wins over the selection: exactly the matching entries.
        fs::path texts = m_directory->path() / "texts";
        answerExtractDialog(
            texts,
            [](ExtractFilesDialog* dialog) {
                dialog->filtersButton()->setChecked(true);
                dialog->filterField()->setText(QStringLiteral("*.txt"));
            },
            &question);
        QVERIFY(commands.run(CommandId::Extract));
        QCOMPARE(treeContents(texts), (Contents{{"four.txt", all.at("four.txt")},
                                                {"one.txt", all.at("one.txt")},
                                                {"two.txt", all.at("two.txt")}}));

        QVERIFY(application.mainWindow()->close());
    }

    // The ZIP menu's conversions and repair: each program form opens in its own window, read back as
    // its kind with short names, and back to ZIP gives an archive the window lists the same way.
    void convertAndRepairThroughTheWindow()
    {
        fs::path source = m_directory->path() / "source";
        fs::create_directories(source / "Long Directory");
        writeFile((source / "Long Directory" / "first file.text").string(), std::string(3000, 'f'));
        writeFile((source / "readme.txt").string(), "read me\n");
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        const std::string archivePath = m_directory->file("tree.zip");
        QVERIFY(openArchiveWith(application, archivePath, source));
        CommandRouter& commands = application.commands();
        QVERIFY(!commands.isEnabled(CommandId::ConvertToZip));
        QVERIFY(commands.isEnabled(CommandId::ConvertToDosExe));
        QVERIFY(commands.isEnabled(CommandId::FixZipFile));

        struct Step {
            int command;
            std::string target;
            int kind;
        };
        const std::vector<Step> steps = {
            {CommandId::ConvertToDosExe, m_directory->file("tree-dos.exe"), 1},
            {CommandId::ConvertToWindowsExe, m_directory->file("tree-win.exe"), 2},
            {CommandId::ConvertToZip, m_directory->file("back.zip"), 0},
        };
        const QStringList shortNames({"LONGDI~1/", "LONGDI~1/FIRSTF~1.TEX", "README.TXT"});
        for (const Step& step : steps) {
            whenDialogShows<QFileDialog>([target = step.target](QFileDialog* dialog) {
                dialog->selectFile(QString::fromStdString(target));
                static_cast<QDialog*>(dialog)->accept();
            });
            QVERIFY(commands.run(step.command));
            ZipWindow* window = activeZipWindow(application);
            QVERIFY(window);
            auto& document = static_cast<ZipDocument&>(window->document());
            QCOMPARE(document.path(), step.target);
            QCOMPARE(document.archive().selfExtractorKind, step.kind);
            QCOMPARE(listedNames(*window), shortNames);
        }
        QCOMPARE(application.mainWindow()->mdiArea()->subWindowList().size(), 4);

        // Repair of the archive in the active window: the engine rebuilds its directory and says
        // what it recovered, then the command says it is fixed.
        QString recovered;
        QString said;
        answerMessageBox(QStringLiteral("OK"), &recovered,
                         [&said] { answerMessageBox(QStringLiteral("OK"), &said); });
        QVERIFY(commands.run(CommandId::FixZipFile));
        const QString path = QString::fromStdString(m_directory->file("back.zip"));
        QCOMPARE(recovered, QStringLiteral("Recovered 3 entries of %1.").arg(path));
        QCOMPARE(said, QStringLiteral("Fixed %1.").arg(path));
        QCOMPARE(listedNames(*activeZipWindow(application)), shortNames);

        // A directory that lies about an entry's CRC: the repair rebuilds it from the local header.
        quarvo::testing::ZipBuilder builder;
        builder.add(quarvo::testing::ZipBuilder::stored("kept.txt", "the data is right"));
        const uint32_t rightCrc = builder.entries()[0].crc32;
        builder.entries()[0].crc32 ^= 0x55;
        const std::string lyingPath = m_directory->file("lying.zip");
        writeFile(lyingPath, builder.finish());
        application.openDocumentWithWindow(lyingPath);
        auto& lying = static_cast<ZipDocument&>(activeZipWindow(application)->document());
        QCOMPARE(lying.entries()[0]->crc32, rightCrc ^ 0x55);
        answerMessageBox(QStringLiteral("OK"), &recovered, [&said] { answerMessageBox(QStringLiteral("OK"), &said); });
        QVERIFY(commands.run(CommandId::FixZipFile));
        QCOMPARE(said, QStringLiteral("Fixed %1.").arg(QString::fromStdString(lyingPath)));
        QCOMPARE(static_cast<ZipDocument&>(activeZipWindow(application)->document()).entries()[0]->crc32, rightCrc);
        QVERIFY(application.mainWindow()->close());
    }

    // Far more entries than a 16-bit count holds: adding from the window works, the listing shows
    // every entry and the ZIP File Info dialog counts them all.
    void addingToA100000EntryArchiveThroughTheWindow()
    {
        const std::string archivePath = m_directory->file("many.zip");
        writeFile(archivePath, quarvo::testing::ZipBuilder::emptyEntries(100000));
        fs::path source = m_directory->path() / "source";
        writeFile((source / "added.txt").string(), "one more\n");
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        application.openDocumentWithWindow(archivePath);
        ZipWindow* window = activeZipWindow(application);
        QVERIFY(window);
        QCOMPARE(window->pane().listing().rowCount(), 100000);

        answerAddDialogs(QString::fromStdString(source.string()));
        QVERIFY(application.commands().run(CommandId::AddFiles));
        QCOMPARE(window->pane().listing().rowCount(), 100001);
        const auto& entries = static_cast<ZipDocument&>(window->document()).entries();
        QCOMPARE(entries.back()->name, std::string("added.txt"));

        QStringList texts;
        whenModalShows([&](QWidget* dialog) {
            for (QLabel* label : dialog->findChildren<QLabel*>())
                texts << label->text();
            qobject_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(application.mainWindow()->summaryStatusBar(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY2(texts.contains(QStringLiteral("100,001")), qPrintable(texts.join('|')));
        QVERIFY(application.mainWindow()->close());
    }

    void cancelDuringALongAddLeavesTheArchiveAsItWas()
    {
        fs::path small = m_directory->path() / "small";
        fs::create_directories(small);
        writeFile((small / "note.txt").string(), "already there\n");
        fs::path store = m_directory->path() / "store";
        fs::create_directories(store);
        const std::string archivePath = (store / "big.zip").string();
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        QPointer<ZipWindow> window = openArchiveWith(application, archivePath, small);
        QVERIFY(window);
        QMdiSubWindow* subWindow = application.mainWindow()->mdiArea()->subWindowList().front();

        // Random bytes do not shrink, so deflating them takes a while and reports progress per file.
        fs::path big = m_directory->path() / "big";
        fs::create_directories(big);
        for (int file = 0; file < 4; ++file)
            writeFile((big / ("random" + std::to_string(file) + ".bin")).string(), randomBytes(1 << 20, 6 + file));
        const std::string archiveBefore = fileContents(archivePath);
        const std::set<std::string> storeBefore = directoryNames(store);
        const QStringList listedBefore = listedNames(*window);

        // Two ways to stop the run: its Cancel button, and quitting. Closing the archive's own window
        // is refused while the engine works on it and does not stop the run; closing the main window
        // is refused too but asks the run to stop.
        const std::vector<std::pair<QString, std::function<void(ProgressWindow*)>>> stops{
            {QStringLiteral("Cancel"), [](ProgressWindow* progress) { progress->cancelButton()->click(); }},
            {QStringLiteral("closing"),
             [&](ProgressWindow*) {
                 subWindow->close();
                 QVERIFY(!application.mainWindow()->close());
             }},
        };
        for (const auto& [how, stop] : stops) {
            // Stops from inside the engine's own event pumping, once the run has made some progress.
            QPointer<ProgressWindow> progress;
            QString status;
            bool shown = false;
            QTimer whenUnderWay;
            whenUnderWay.setInterval(0);
            connect(&whenUnderWay, &QTimer::timeout, &whenUnderWay, [&, stop = stop] {
                ProgressWindow* running = application.userInterface().progressWindow();
                if (!running || running->percentBar()->percent() == 0)
                    return;
                whenUnderWay.stop();
                progress = running;
                shown = running->isVisible();
                status = running->statusLine()->text();
                stop(running);
            });
            whenUnderWay.start();
            answerAddDialogs(QString::fromStdString(big.string()));
            QVERIFY(application.commands().run(CommandId::AddFiles));
            whenUnderWay.stop();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

            QVERIFY2(shown, qPrintable(how));
            QVERIFY2(status.startsWith(QStringLiteral("Deflating: ")), qPrintable(how + ": " + status));
            QVERIFY2(!progress && !application.userInterface().progressWindow(), qPrintable(how));
            QVERIFY2(fileContents(archivePath) == archiveBefore, qPrintable(how));
            QCOMPARE(directoryNames(store), storeBefore);
            QVERIFY2(window, qPrintable(how));
            QCOMPARE(application.mainWindow()->mdiArea()->subWindowList().size(), 1);
            QCOMPARE(listedNames(*window), listedBefore);
            QCOMPARE(window->pane().listing().rowCount(), 1);
        }

        QVERIFY(application.mainWindow()->close());
    }
};

QTEST_MAIN(ArchiveCommandsTest)
#include "ArchiveCommandsTest.moc"
