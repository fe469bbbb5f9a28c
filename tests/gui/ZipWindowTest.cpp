#include "core/app/CommandIds.h"
#include "core/documents/ZipDocument.h"
#include "gui/app/InstanceChannel.h"
#include "gui/app/MainWindow.h"
#include "gui/app/SummaryStatusBar.h"
#include "gui/app/ZipApplication.h"
#include "gui/app/ZipWindow.h"
#include "gui/listing/HeaderBar.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"

#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include "ApplicationSandbox.h"
#include "ModalDialogs.h"

#include <QAction>
#include <QEnterEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTest>

#include <filesystem>
#include <future>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::ApplicationSandbox;
using quarvo::testing::whenModalShows;
using quarvo::testing::writeFile;
using quarvo::testing::ZipBuilder;
namespace fs = std::filesystem;

// The program's own ZIP windows over real archives: the listing inside the window, the child
// title, the two status panes and what they offer, and closing.
class ZipWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ApplicationSandbox> m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;

    StartupEnvironment environment(QStringList arguments = {}) const
    {
        return m_directory->environment(std::move(arguments));
    }

    // An archive of stored entries of the given sizes, named f0, f1, ...
    std::string archive(const std::string& name, const std::vector<size_t>& sizes) const
    {
        ZipBuilder builder;
        for (size_t i = 0; i < sizes.size(); ++i)
            builder.add(ZipBuilder::stored("f" + std::to_string(i), std::string(sizes[i], 'x')));
        std::string path = m_directory->file(name);
        writeFile(path, builder.finish());
        return path;
    }

    static ZipWindow* activeZipWindow(ZipApplication& application)
    {
        return qobject_cast<ZipWindow*>(application.mainWindow()->activeDocumentWindow());
    }

private slots:
    void init()
    {
        m_directory = std::make_unique<ApplicationSandbox>();
    }

    void cleanup()
    {
        m_directory.reset();
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void anArchiveOnTheCommandLineOpensInItsListing()
    {
        std::string path = archive("three.zip", {512, 512, 512});
        // Given relative to the working directory, it is known by its full path.
        std::string relative = std::filesystem::path(path).lexically_relative(std::filesystem::current_path()).string();
        QVERIFY(relative.find("three.zip") != std::string::npos && relative.front() != '/');
        ZipApplication application(environment({QString::fromStdString(relative)}));
        QCOMPARE(application.start(), std::nullopt);
        ZipWindow* window = activeZipWindow(application);
        QVERIFY(window);
        QCOMPARE(window->pane().listing().rowCount(), 3);
        QCOMPARE(window->titleText(), QStringLiteral("three.zip(*.*)"));
        QCOMPARE(application.mainWindow()->windowTitle(), QStringLiteral("Quarvo - three.zip(*.*)"));
        QCOMPARE(application.mainWindow()->menuResourceId(), 5);
        QCOMPARE(application.mainWindow()->messageText(), QStringLiteral("Total: 3 file(s) (1.53 KB)"));
        QCOMPARE(application.mainWindow()->selectionText(), QStringLiteral("Selected: 0 file(s) (0 Bytes)"));
        QCOMPARE(application.settings().recentFiles, std::vector<std::string>{path});

        // A filter is part of the title.
        window->pane().listing().setFilter("*.DOC");
        QCOMPARE(window->titleText(), QStringLiteral("three.zip(*.DOC)"));
        QCOMPARE(application.mainWindow()->mdiArea()->activeSubWindow()->windowTitle(),
                 QStringLiteral("three.zip(*.DOC)"));
        QVERIFY(application.mainWindow()->close());
    }

    void anArchiveSentThroughTheInstanceSocketOpensToo()
    {
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        std::string path = archive("sent.zip", {10});
        QString socket = application.instanceSocketPath();
        std::string request = "[open(\"" + path + "\")]";
        auto answer = std::async(std::launch::async, [socket, request] { return sendExecuteString(socket, request, 10000); });
        while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCOMPARE(answer.get(), std::optional<bool>(true));
        QVERIFY(activeZipWindow(application));
        QCOMPARE(activeZipWindow(application)->pane().listing().rowCount(), 1);
        QVERIFY(application.mainWindow()->close());
    }

    void statusPanesShowTheExactSummaries()
    {
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        MainWindow& main = *application.mainWindow();

        application.openDocumentWithWindow(archive("empty.zip", {}));
        QCOMPARE(main.messageText(), QStringLiteral("Total: 0 file(s) (0 Bytes)"));
        QCOMPARE(main.selectionText(), QStringLiteral("Selected: 0 file(s) (0 Bytes)"));

        application.openDocumentWithWindow(archive("kilo.zip", {1000, 24, 5000}));
        QVERIFY(application.commands().run(CommandId::SelectAll));
        QCOMPARE(main.messageText(), QStringLiteral("Total: 3 file(s) (6.02 KB)"));
        QCOMPARE(main.selectionText(), QStringLiteral("Selected: 3 file(s) (6.02 KB)"));
        // Exactly 1,024 selected bytes, then 1,023.
        ListingView& listing = activeZipWindow(application)->pane().listing();
        listing.selectionModel()->clearSelection();
        listing.selectionModel()->select(listing.model()->index(0, 0), QItemSelectionModel::Select);
        listing.selectionModel()->select(listing.model()->index(1, 0), QItemSelectionModel::Select);
        QCOMPARE(main.selectionText(), QStringLiteral("Selected: 2 file(s) (1.02 KB)"));
        application.openDocumentWithWindow(archive("bytes.zip", {1023}));
        QVERIFY(application.commands().run(CommandId::SelectAll));
        QCOMPARE(main.selectionText(), QStringLiteral("Selected: 1 file(s) (1,023 Bytes)"));

        // Any other text is shown as it is; the idle prompt in any case brings the summaries back.
        main.setMessageText(QStringLiteral("Sorting: f0"));
        QCOMPARE(main.messageText(), QStringLiteral("Sorting: f0"));
        main.setMessageText(QStringLiteral("press f1 for help"));
        QCOMPARE(main.messageText(), QStringLiteral("Total: 1 file(s) (1,023 Bytes)"));

        // Activating another archive window shows its summaries.
        main.mdiArea()->setActiveSubWindow(main.mdiArea()->subWindowList(QMdiArea::CreationOrder)[1]);
        QCOMPARE(main.messageText(), QStringLiteral("Total: 3 file(s) (6.02 KB)"));
        QCOMPARE(main.selectionText(), QStringLiteral("Selected: 2 file(s) (1.02 KB)"));

        // With the last archive window gone: the idle prompt and an empty selection pane.
        QVERIFY(application.closeAllDocuments());
        QCOMPARE(main.messageText(), QStringLiteral("Press F1 for Help"));
        QCOMPARE(main.selectionText(), QString());
        QVERIFY(main.close());
    }

    void twoWindowsOnOneArchiveShareTheSelection()
    {
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        MainWindow& main = *application.mainWindow();
        auto* document = static_cast<ZipDocument*>(application.openDocumentWithWindow(archive("shared.zip", {100, 200, 300})));
        QVERIFY(document);
        ZipWindow* first = activeZipWindow(application);
        auto* second = new ZipWindow(*document, application.settings());
        main.addDocumentWindow(second);
        QCOMPARE(main.activeDocumentWindow(), second);

        ListingView& listing = second->pane().listing();
        listing.selectionModel()->select(listing.model()->index(2, 0), QItemSelectionModel::Select);
        QCOMPARE(main.selectionText(), QStringLiteral("Selected: 1 file(s) (300 Bytes)"));
        QCOMPARE(first->pane().listing().selectedRowCount(), 1);
        QCOMPARE(first->pane().statusSummary().selected, QStringLiteral("Selected: 1 file(s) (300 Bytes)"));

        main.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
        QVERIFY(application.commands().run(CommandId::SelectAll));
        QCOMPARE(second->pane().listing().selectedRowCount(), 3);
        QCOMPARE(main.selectionText(), QStringLiteral("Selected: 3 file(s) (600 Bytes)"));

        // Closing the archive takes both windows.
        QVERIFY(application.commands().run(CommandId::CloseAll));
        QVERIFY(main.documentWindows().empty());
        QVERIFY(main.close());
    }

    void theStatusBarOffersAndShowsTheArchiveInfo()
    {
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        MainWindow& main = *application.mainWindow();
        SummaryStatusBar* bar = main.summaryStatusBar();

        // No archive window: pointing at the bar offers nothing.
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(bar, &enter);
        QCOMPARE(main.messageText(), QStringLiteral("Press F1 for Help"));

        application.openDocumentWithWindow(archive("info.zip", {2048}));
        QCoreApplication::sendEvent(bar, &enter);
        QCOMPARE(main.messageText(), QStringLiteral("Click on status bar to view ZIP file info"));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(bar, &leave);
        QCOMPARE(main.messageText(), QStringLiteral("Total: 1 file(s) (2.04 KB)"));

        QString title;
        QStringList texts;
        whenModalShows([&](QWidget* dialog) {
            title = dialog->windowTitle();
            for (QLabel* label : dialog->findChildren<QLabel*>())
                texts << label->text();
            qobject_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(title, QStringLiteral("ZIP File Info"));
        QVERIFY2(texts.contains(QString::fromStdString(m_directory->file("info.zip"))), qPrintable(texts.join('|')));
        QVERIFY(texts.contains(QStringLiteral("Num Files in ZIP File:")));
        QVERIFY(texts.contains(QStringLiteral("2,048 Bytes")));
        QVERIFY(main.close());
    }

    void viewCommandsReachTheListingWithTheirCheckMarks()
    {
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        application.openDocumentWithWindow(archive("view.zip", {3, 1, 2}));
        ZipWindow* window = activeZipWindow(application);
        CommandRouter& commands = application.commands();

        QVERIFY(commands.run(CommandId::SortByUncompressedSize));
        QVERIFY(commands.action(CommandId::SortByUncompressedSize)->isChecked());
        QVERIFY(!commands.action(CommandId::SortByOrder)->isChecked());
        QCOMPARE(window->pane().listing().sortOrder(), SortOrder(CommandId::SortByUncompressedSize));

        QVERIFY(commands.run(CommandId::ShowNameOnly));
        QVERIFY(commands.action(CommandId::ShowNameOnly)->isChecked());
        QVERIFY(!commands.action(CommandId::ShowAllDetails)->isChecked());
        QVERIFY(!window->pane().headerBar().isVisibleTo(window));
        QVERIFY(commands.run(CommandId::ShowAllDetails));
        QVERIFY(window->pane().headerBar().isVisibleTo(window));

        // The archive's own commands: Info and Refresh are offered; Show Parent only for a nested archive.
        QVERIFY(commands.isEnabled(CommandId::Info));
        QVERIFY(commands.isEnabled(CommandId::Refresh));
        QVERIFY(!commands.isEnabled(CommandId::ShowParent));
        QVERIFY(application.mainWindow()->close());
    }

    void anArchiveThatVanishesClosesItsWindowOnRefresh()
    {
        ZipApplication application(environment());
        QCOMPARE(application.start(), std::nullopt);
        std::string path = archive("gone.zip", {1});
        application.openDocumentWithWindow(path);
        fs::remove(path);
        QString message;
        whenModalShows([&](QWidget* box) {
            message = qobject_cast<QMessageBox*>(box)->text();
            qobject_cast<QDialog*>(box)->accept();
        });
        QVERIFY(application.commands().run(CommandId::Refresh));
        QVERIFY(message.startsWith(QStringLiteral("Error loading ZIP File: ")));
        QVERIFY(application.documents().documents().empty());
        QVERIFY(application.mainWindow()->documentWindows().empty());
        QCOMPARE(application.mainWindow()->selectionText(), QString());
        QVERIFY(application.mainWindow()->close());
    }
};

QTEST_MAIN(ZipWindowTest)
#include "ZipWindowTest.moc"
