#include "core/app/CommandIds.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZipApplication.h"
#include "gui/dialogs/CheckOutDialog.h"
#include "gui/dialogs/DirectoryChooser.h"
#include "gui/dialogs/ExtractFilesDialog.h"
#include "gui/launch/DesktopLaunchServices.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"
#include "gui/tar/TarWindow.h"

#include "support/ProcessRunner.h"
#include "support/TarBuilder.h"
#include "support/TemporaryDirectory.h"

#include "ApplicationSandbox.h"
#include "ModalDialogs.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QAction>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>

#include <QPushButton>

#include <filesystem>
#include <map>
#include <set>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::answerMessageBox;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::readFile;
using quarvo::testing::ScopedEnvironment;
using quarvo::testing::TarBuilder;
using quarvo::testing::treeContents;
using quarvo::testing::whenDialogShows;
using quarvo::testing::whenModalShows;
using quarvo::testing::writeFile;
namespace fs = std::filesystem;

// TAR archives in the program's own windows: a compressed one unpacked, listed, refreshed and
// closed with the offer to keep its unpacked copy, a lone compressed file offered at once, and the
// entries of a compressed one viewed with a real viewer and checked out.
class TarWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;

    static std::string threeFiles()
    {
        return TarBuilder()
            .add(TarBuilder::file("src/a.c", "int a;\n"))
            .add(TarBuilder::file("src/b.c", std::string(2048, 'b')))
            .add(TarBuilder::file("README", "read me\n"))
            .finish();
    }

    static size_t filesIn(const std::string& directory)
    {
        return fs::exists(directory) ? static_cast<size_t>(std::distance(fs::directory_iterator(directory), {})) : 0;
    }

    // A compressed TAR archive of the files, as GNU tar and gzip would write it.
    std::string compressedTar(const std::string& name, const std::map<std::string, std::string>& files)
    {
        TarBuilder builder;
        for (const auto& [file, data] : files)
            builder.add(TarBuilder::file(file, data));
        std::string path = m_directory->file(name);
        writeFile(path, quarvo::testing::gzipOf(builder.finish()));
        return path;
    }

    // The application with the system's launch services and a viewer script, which appends a line
    // to the file it is given, as the default viewer; path opens in its window.
    std::unique_ptr<ZipApplication> startWithViewer(const std::string& path)
    {
        const std::string viewer = m_directory->file("viewer.sh");
        writeFile(viewer, "#!/bin/sh\nprintf 'seen by the viewer\\n' >> \"$1\"\n");
        fs::permissions(viewer, fs::perms::owner_all);
        writeFile(m_directory->file("quarvo.ini"), "[PROGRAMS]\nViewerName=" + viewer + "\n");
        auto application = std::make_unique<ZipApplication>(
            m_directory->environment({QString::fromStdString(path)}), builtInDocumentKindBindings(), nullptr,
            std::make_unique<DesktopLaunchServices>());
        if (application->start())
            return nullptr;
        return application;
    }

    static TarWindow* activeTarWindow(ZipApplication& application)
    {
        return qobject_cast<TarWindow*>(application.mainWindow()->activeDocumentWindow());
    }

    // Puts the caret on the row of the entry, leaving the selection alone.
    static QModelIndex placeCaret(TarWindow& window, const std::string& name)
    {
        ListingView& listing = window.pane().listing();
        for (int row = 0; row < listing.rowCount(); ++row) {
            if (listing.listingModel().entryAt(row)->name == name) {
                QModelIndex index = listing.model()->index(row, 0);
                listing.selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
                return index;
            }
        }
        return {};
    }

    // Runs GNU tar with the arguments in the sandbox; false when it fails.
    bool gnuTar(const std::vector<std::string>& arguments)
    {
        auto outcome = quarvo::testing::runProcess("tar", arguments, m_directory->path());
        if (outcome.exitCode != 0)
            qWarning("tar failed: %s", outcome.err.c_str());
        return outcome.exitCode == 0;
    }

    // Extracts through the window's Extract dialog into target, a new directory; choose picks the
    // files.
    static bool extractThroughDialog(CommandRouter& commands, const fs::path& target,
                                     std::function<void(ExtractFilesDialog*)> choose)
    {
        whenDialogShows<ExtractFilesDialog>([=](ExtractFilesDialog* dialog) {
            choose(dialog);
            dialog->recreateBox()->setChecked(true);
            dialog->directoryChooser()->setDirectory(QString::fromStdString(target.string()));
            static QString createQuestion;
            answerMessageBox(QStringLiteral("Yes"), &createQuestion);
            dialog->executeButton()->click();
        });
        return commands.run(CommandId::Extract) && fs::is_directory(target);
    }

    static QStringList shownNames(TarWindow& window)
    {
        QStringList names;
        ListingView& listing = window.pane().listing();
        for (int row = 0; row < listing.rowCount(); ++row)
            names << QString::fromStdString(listing.listingModel().entryAt(row)->name);
        return names;
    }

    static std::set<std::string> treeOf(const fs::path& root)
    {
        std::set<std::string> paths;
        for (const auto& item : fs::recursive_directory_iterator(root)) {
            std::string path = fs::relative(item.path(), root).string();
            paths.insert(item.is_directory() ? path + "/" : path);
        }
        return paths;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(quarvo::testing::toolsInstalled({"tar", "gzip", "compress"}),
                 "GNU tar, gzip or ncompress is missing (scripts/ensure-packages.sh installs them)");
    }

    void init() { m_directory = std::make_unique<ApplicationSandbox>(); }

    void cleanup()
    {
        m_directory.reset();
        QCOMPARE(quarvo::testing::pendingModalAnswers(), 0);
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void aCompressedTarIsListedInItsWindowAndClosingOffersTheUnpackedCopy()
    {
        std::string path = m_directory->file("src.tgz");
        writeFile(path, quarvo::testing::gzipOf(threeFiles()));
        ZipApplication application(m_directory->environment({QString::fromStdString(path)}));
        QCOMPARE(application.start(), std::nullopt);
        auto* window = qobject_cast<TarWindow*>(application.mainWindow()->activeDocumentWindow());
        QVERIFY(window);
        QCOMPARE(window->pane().listing().rowCount(), 3);
        QCOMPARE(window->titleText(), QStringLiteral("src.tgz(*.*)"));
        QCOMPARE(application.mainWindow()->menuResourceId(), 16);
        QCOMPARE(application.mainWindow()->messageText(), QStringLiteral("Total: 3 file(s) (2.06 KB)"));
        QCOMPARE(application.commands().action(CommandId::DeleteZipFile)->text(), QStringLiteral("&Delete TAR File..."));
        QCOMPARE(application.commands().action(CommandId::TestIntegrity)->text(),
                 QStringLiteral("&Test TAR File Integrity"));
        QVERIFY(!application.commands().action(CommandId::AddFiles)->isEnabled());
        std::string unpack = application.unpackDirectory()->path();
        QCOMPARE(filesIn(unpack), size_t(1));

        // Refresh reads the unpacked copy again and keeps the window.
        QVERIFY(application.commands().run(CommandId::Refresh));
        QCOMPARE(window->pane().listing().rowCount(), 3);

        QString question;
        whenModalShows([&](QWidget* box) {
            question = qobject_cast<QMessageBox*>(box)->text();
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
        });
        QVERIFY(application.commands().run(CommandId::Close));
        QCOMPARE(question, QStringLiteral("Save extracted TAR file: SRC.TAR?"));
        QVERIFY(application.mainWindow()->documentWindows().empty());
        QCOMPARE(filesIn(unpack), size_t(0));
        QVERIFY(application.mainWindow()->close());
    }

    // Archives that GNU tar compressed in each way are listed, sorted and filtered in the window;
    // the selection and a filter are extracted into new directories and match what GNU tar
    // extracts, and the test reads every entry.
    void gnuTarArchivesAreSortedFilteredExtractedAndTested_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("compression");
        QTest::newRow("tar.gz") << "tree.tar.gz" << "-z";
        QTest::newRow("tgz") << "tree.tgz" << "-z";
        QTest::newRow("tar.Z") << "tree.tar.Z" << "-Z";
        QTest::newRow("tar") << "tree.tar" << "";
    }

    void gnuTarArchivesAreSortedFilteredExtractedAndTested()
    {
        QFETCH(QString, name);
        QFETCH(QString, compression);
        const fs::path source = m_directory->path() / "source";
        writeFile(source / "src" / "main.c", "int main() { return 0; }\n");
        writeFile(source / "src" / "util.c", std::string(70000, 'u'));
        // compress fails when its output would be larger, so the random part stays small.
        writeFile(source / "docs" / "guide.txt", quarvo::testing::randomBytes(3000, 7) + std::string(300000, 'g'));
        writeFile(source / "notes.txt", "notes\n");
        const std::string path = m_directory->file(name.toStdString());
        std::vector<std::string> create = {"-c", "-f", path, "-C", source.string(), "src", "docs", "notes.txt"};
        if (!compression.isEmpty())
            create.insert(create.begin(), compression.toStdString());
        QVERIFY(gnuTar(create));
        fs::create_directories(m_directory->path() / "reference");
        QVERIFY(gnuTar({"-x", "-f", path, "-C", m_directory->file("reference")}));
        const auto reference = treeContents(m_directory->path() / "reference");

        ZipApplication application(m_directory->environment({QString::fromStdString(path)}));
        QCOMPARE(application.start(), std::nullopt);
        TarWindow* window = activeTarWindow(application);
        QVERIFY(window);
        ListingView& listing = window->pane().listing();
        listing.setSort(SortOrder::FileName);
        QCOMPARE(shownNames(*window), QStringList({"docs/", "src/", "docs/guide.txt", "src/main.c", "notes.txt",
                                                   "src/util.c"}));
        listing.setFilter("*.c");
        QCOMPARE(shownNames(*window), QStringList({"src/main.c", "src/util.c"}));

        // The shown rows selected and extracted, then everything that matches *.txt.
        listing.selectAllRows(true);
        listing.recountSelection();
        CommandRouter& commands = application.commands();
        const fs::path selected = m_directory->path() / "selected";
        QVERIFY(extractThroughDialog(commands, selected,
                                     [](ExtractFilesDialog* dialog) { dialog->selectedFilesButton()->setChecked(true); }));
        QCOMPARE(treeContents(selected), (std::map<std::string, std::string>{
                                             {"src/main.c", reference.at("src/main.c")},
                                             {"src/util.c", reference.at("src/util.c")}}));
        const fs::path filtered = m_directory->path() / "filtered";
        QVERIFY(extractThroughDialog(commands, filtered, [](ExtractFilesDialog* dialog) {
            dialog->filtersButton()->setChecked(true);
            dialog->filterField()->setText(QStringLiteral("*.txt"));
        }));
        QCOMPARE(treeContents(filtered), (std::map<std::string, std::string>{
                                             {"docs/guide.txt", reference.at("docs/guide.txt")},
                                             {"notes.txt", reference.at("notes.txt")}}));

        QString summary;
        whenDialogShows<ExtractFilesDialog>([&summary](ExtractFilesDialog* dialog) {
            dialog->allFilesButton()->setChecked(true);
            answerMessageBox(QStringLiteral("OK"), &summary);
            dialog->executeButton()->click();
        });
        QVERIFY(commands.run(CommandId::TestIntegrity));
        QCOMPARE(summary, QStringLiteral("No errors detected in 6 entries."));

        // Yes to keeping the unpacked TAR file: it goes where the user chose and nothing stays behind.
        QString offer;
        const std::string kept = m_directory->file("kept.tar");
        if (!compression.isEmpty()) {
            answerMessageBox(QStringLiteral("Yes"), &offer, [&kept] {
                whenDialogShows<QFileDialog>([&kept](QFileDialog* files) {
                    files->selectFile(QString::fromStdString(kept));
                    static_cast<QDialog*>(files)->accept();
                });
            });
        }
        const std::string unpack = application.unpackDirectory()->path();
        QVERIFY(application.mainWindow()->close());
        if (!compression.isEmpty()) {
            QCOMPARE(offer, QStringLiteral("Save extracted TAR file: TREE.TAR?"));
            QCOMPARE(quarvo::testing::runProcess("tar", {"-tf", kept}, m_directory->path()).out,
                     quarvo::testing::runProcess("tar", {"-tf", path}, m_directory->path()).out);
            QCOMPARE(filesIn(unpack), size_t(0));
        }
    }

    void aLoneCompressedFileOpensNoWindowAndIsOfferedAtOnce()
    {
        std::string path = m_directory->file("notes.txt.gz");
        writeFile(path, quarvo::testing::gzipOf("just text\n"));
        QString title;
        QString fileName;
        whenModalShows([&](QWidget* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            title = files->windowTitle();
            fileName = files->selectedFiles().value(0);
            files->reject();
        });
        ZipApplication application(m_directory->environment({QString::fromStdString(path)}));
        QCOMPARE(application.start(), std::nullopt);
        QCOMPARE(title, QStringLiteral("Save inflated file"));
        QVERIFY2(fileName.endsWith(QStringLiteral("/notes.txt")), qPrintable(fileName));
        QVERIFY(application.mainWindow()->documentWindows().empty());
        QVERIFY(application.mainWindow()->close());
    }

    // The viewer changes its copy; the archive is read-only, so the copy is kept elsewhere on Yes and
    // the archive stays as it was.
    void aViewedEntryOfACompressedTarThatChangedIsKeptElsewhere()
    {
        ScopedEnvironment dataHome("XDG_DATA_HOME", m_directory->file("data"));
        const std::string path =
            compressedTar("notes.tar.gz", {{"notes.txt", "first line\n"}, {"other.txt", "other\n"}});
        const std::string before = readFile(path);
        auto application = startWithViewer(path);
        QVERIFY(application);
        TarWindow* window = activeTarWindow(*application);
        QVERIFY(window);
        CommandRouter& commands = application->commands();
        for (int id : {CommandId::ViewFile, CommandId::RunFile, CommandId::CheckOut})
            QVERIFY(commands.isEnabled(id));
        QVERIFY(!commands.isEnabled(CommandId::ShowParent));

        QString question;
        QString kept;
        answerMessageBox(QStringLiteral("Yes"), &question,
                         [&kept] { answerMessageBox(QStringLiteral("OK"), &kept); });
        emit window->pane().listing().doubleClicked(placeCaret(*window, "notes.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(!kept.isEmpty(), 10000);
        QCOMPARE(question, QStringLiteral("The file has changed, but a TAR archive is read-only: the changed "
                                          "file cannot be put back into it.\n\nDo you want to keep the "
                                          "changed file elsewhere?\n\nnotes.txt"));
        const QString prefix = QStringLiteral("The changed file was kept as:\n\n");
        QVERIFY2(kept.startsWith(prefix), qPrintable(kept));
        const std::string keptPath = kept.mid(prefix.size()).toStdString();
        QVERIFY(keptPath.starts_with(m_directory->file("data/quarvo/kept/notes.tar-")));
        QCOMPARE(readFile(keptPath), std::string("first line\nseen by the viewer\n"));
        QCOMPARE(readFile(path), before);

        QString offer;
        answerMessageBox(QStringLiteral("No"), &offer);
        QVERIFY(commands.run(CommandId::Close));
        QCOMPARE(offer, QStringLiteral("Save extracted TAR file: NOTES.TAR?"));
        QVERIFY(application->mainWindow()->close());
    }

    void checkOutMarksEveryRowAndClosingDeletesOnlyWhatItCreated()
    {
        const std::string path = compressedTar("co.tgz", {{"a.txt", "a\n"}, {"sub/b.txt", "b\n"}});
        const fs::path target = m_directory->path() / "out";
        writeFile((target / "mine.txt").string(), "the user's\n");
        auto application = startWithViewer(path);
        QVERIFY(application);
        TarWindow* window = activeTarWindow(*application);
        QVERIFY(window);
        CommandRouter& commands = application->commands();

        QString notEmpty;
        whenDialogShows<CheckOutDialog>([&](CheckOutDialog* dialog) {
            dialog->directoryChooser()->setDirectory(QString::fromStdString(target.string()));
            answerMessageBox(QStringLiteral("Yes"), &notEmpty);
            dialog->okButton()->click();
        });
        QVERIFY(commands.run(CommandId::CheckOut));
        QVERIFY2(notEmpty.startsWith(QStringLiteral("The directory")), qPrintable(notEmpty));
        QCOMPARE(readFile(target / "sub" / "b.txt"), std::string("b\n"));
        ListingView& listing = window->pane().listing();
        for (int row = 0; row < listing.rowCount(); ++row)
            QCOMPARE(listing.model()->index(row, 0).data(ListingModel::MarkerRole).toString(),
                     QStringLiteral("-"));

        QString question;
        QString offer;
        answerMessageBox(QStringLiteral("Yes"), &question,
                         [&offer] { answerMessageBox(QStringLiteral("No"), &offer); });
        QVERIFY(commands.run(CommandId::Close));
        QCOMPARE(question, QString::fromStdString(path) +
                               QStringLiteral(" has been Checked Out.\n\nDelete checked out files?"));
        QCOMPARE(offer, QStringLiteral("Save extracted TAR file: CO.TAR?"));
        QCOMPARE(treeOf(target), std::set<std::string>{"mine.txt"});
        QVERIFY(application->mainWindow()->close());
    }
};

QTEST_MAIN(TarWindowTest)
#include "TarWindowTest.moc"
