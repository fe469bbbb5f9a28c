#include "core/app/CommandIds.h"
#include "core/app/DocumentKindTable.h"
#include "core/framework/Document.h"
#include "core/framework/DocumentKind.h"
#include "core/settings/AppSettings.h"
#include "gui/app/CommandRouter.h"
#include "gui/app/DocumentWindow.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ScreenFit.h"
#include "gui/app/StartupBanner.h"
#include "gui/app/SummaryStatusBar.h"
#include "gui/app/ToolBarLayout.h"

#include "support/TemporaryDirectory.h"

#include "ModalDialogs.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::readFile;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;

namespace {

class PlainDocument : public Document {
public:
    bool onOpenDocument(const std::string& path) override
    {
        setPath(path);
        return true;
    }
};

// A window that behaves like an archive listing: it has a command of its own and status summaries.
class SummaryWindow : public DocumentWindow, public SummaryProvider {
public:
    using DocumentWindow::DocumentWindow;
    const SummaryProvider* summaryProvider() const override { return this; }
    StatusSummary statusSummary() const override
    {
        return StatusSummary{QStringLiteral("Total: 3 file(s) (1.53 KB)"), QStringLiteral("Selected: 0 file(s) (0 Bytes)")};
    }
    bool handlesCommand(int id) const override { return id == CommandId::SortByName || id == CommandId::Refresh; }
    bool isCommandEnabled(int) const override { return true; }
    std::optional<bool> commandCheck(int id) const override
    {
        return id == CommandId::SortByName ? std::optional<bool>(true) : std::nullopt;
    }
    void runCommand(int id) override { ran.push_back(id); }
    std::vector<int> ran;
};

QStringList menuTitles(QMainWindow& window)
{
    QStringList titles;
    for (QAction* action : window.menuBar()->actions())
        titles << action->text();
    return titles;
}

QAction* findMenuAction(QMenuBar* bar, int id)
{
    std::function<QAction*(QMenu*)> search = [&](QMenu* menu) -> QAction* {
        for (QAction* action : menu->actions()) {
            if (action->menu()) {
                if (QAction* found = search(action->menu()))
                    return found;
            } else if (action->data().toInt() == id) {
                return action;
            }
        }
        return nullptr;
    };
    for (QAction* top : bar->actions()) {
        if (top->menu()) {
            if (QAction* found = search(top->menu()))
                return found;
        }
    }
    return nullptr;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    TemporaryDirectory m_directory;
    quarvo::testing::UnexpectedModalGuard m_guard;
    std::string profile() const { return m_directory.file("quarvo.ini"); }
    std::unique_ptr<AppSettings> settings() const
    {
        return std::make_unique<AppSettings>(profile(), m_directory.path().string());
    }
    MainWindow::Options quiet() const { return {false, false}; }

private slots:
    void cleanup()
    {
        std::filesystem::remove(profile());
        QCOMPARE(m_guard.takeRejected(), QStringList());
    }

    void toolBarHoldsTheTwentySevenEntriesInOrder()
    {
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        QList<QAction*> actions = window.toolBar()->actions();
        QCOMPARE(actions.size(), qsizetype(27));
        const int expected[] = {57600, 57601, 57603, 0, 2150, 3050, 8055, 8054, 8057, 0, 57607, 0, 3610, 3620,
                                3630, 3640, 3660, 3650, 3670, 3600, 0, 8051, 8050, 0, 32787, 0, 57668};
        for (int i = 0; i < 27; ++i) {
            QAction* action = actions[i];
            if (expected[i] == 0) {
                QVERIFY2(action->isSeparator(), qPrintable(QString::number(i)));
                continue;
            }
            QCOMPARE(action->data().toInt(), expected[i]);
            QVERIFY2(!action->icon().isNull(), qPrintable(QString::number(expected[i])));
            QVERIFY2(!action->toolTip().isEmpty(), qPrintable(QString::number(expected[i])));
        }
        QCOMPARE(actions[18]->toolTip(), QStringLiteral("Sort by coimpression ratio"));
        QCOMPARE(actions[19]->toolTip(), QStringLiteral("Unsorted list"));
        // Nothing handles Save, or the listing commands without a listing: they are shown disabled.
        QVERIFY(!actions[2]->isEnabled());
        QVERIFY(!actions[5]->isEnabled());
    }

    void theStartUpBannerShowsAndClosesWhenItsTimeIsUp()
    {
        auto store = settings();
        CommandRouter commands;
        StartupBanner* banner = nullptr;
        MainWindow window(*store, commands, {true, false});
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<StartupBanner*>(widget))
                banner = found;
        }
        QVERIFY(banner);
        QVERIFY(banner->isVisible());
        QVERIFY(banner->windowFlags().testFlag(Qt::FramelessWindowHint));
        auto* timer = banner->findChild<QTimer*>(QStringLiteral("lifetime"));
        QVERIFY(timer && timer->isActive() && timer->isSingleShot());
        QCOMPARE(timer->interval(), 2500);
        // Its time is up: it closes and goes away.
        QPointer<StartupBanner> watched(banner);
        timer->start(0);
        QTRY_VERIFY(watched.isNull());

        // A message box shown at start-up closes it at once: the banner stays on top of everything.
        CommandRouter otherCommands;
        MainWindow again(*store, otherCommands, {true, false});
        QPointer<StartupBanner> second;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<StartupBanner*>(widget))
                second = found;
        }
        QVERIFY(second && second->isVisible());
        second->findChild<QTimer*>(QStringLiteral("lifetime"))->stop();
        bool closedWhileAsking = false;
        quarvo::testing::whenModalShows([&](QWidget* dialog) {
            QTRY_VERIFY(second.isNull() || !second->isVisible());
            closedWhileAsking = true;
            dialog->close();
        });
        QMessageBox::information(&again, QStringLiteral("Quarvo"), QStringLiteral("Error loading ZIP File: x"));
        QVERIFY(closedWhileAsking);
    }

    void placementOfANormalWindowIsWrittenWithItsState()
    {
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        window.setGeometry(100, 120, 640, 480);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setGeometry(100, 120, 640, 480);
        QVERIFY(window.close());
        QVERIFY(window.isClosing());
        std::string text = readFile(profile());
        QVERIFY2(text.find("WindowState=1") != std::string::npos, text.c_str());
        QVERIFY2(text.find("WindowPosLeft=100") != std::string::npos, text.c_str());
        QVERIFY2(text.find("WindowPosTop=120") != std::string::npos, text.c_str());
        QVERIFY2(text.find("WindowPosRight=740") != std::string::npos, text.c_str());
        QVERIFY2(text.find("WindowPosBottom=600") != std::string::npos, text.c_str());
    }

    void closingMaximisedKeepsThePositionKeysAndWritesStateThree()
    {
        writeFile(profile(), "[General]\nWindowPosLeft=11\nWindowPosTop=22\nWindowPosRight=511\nWindowPosBottom=422\n");
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        window.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.isMaximized());
        QVERIFY(window.close());
        std::string text = readFile(profile());
        QVERIFY2(text.find("WindowState=3") != std::string::npos, text.c_str());
        for (const char* kept : {"WindowPosLeft=11", "WindowPosTop=22", "WindowPosRight=511", "WindowPosBottom=422"})
            QVERIFY2(text.find(kept) != std::string::npos, text.c_str());
    }

    void placementIsRestoredFromTheProfileAndKeptOnScreen()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        struct Case {
            const char* rule;
            QRect stored;
            bool keptAsStored;
        };
        const Case cases[] = {
            {"a rectangle on the screen is kept", QRect(50, 60, 600, 500), true},
            {"one far off the screen comes back", QRect(90000, 90000, 600, 500), false},
            {"one larger than the screen shrinks", QRect(-40, -40, screen.width() * 2, screen.height() * 2), false},
        };
        for (const Case& c : cases) {
            writeFile(profile(), QStringLiteral("[General]\nWindowPosLeft=%1\nWindowPosTop=%2\nWindowPosRight=%3\n"
                                                "WindowPosBottom=%4\n")
                                     .arg(c.stored.left())
                                     .arg(c.stored.top())
                                     .arg(c.stored.right() + 1)
                                     .arg(c.stored.bottom() + 1)
                                     .toStdString());
            auto store = settings();
            CommandRouter commands;
            MainWindow window(*store, commands, quiet());
            window.restorePlacement();
            if (c.keptAsStored)
                QCOMPARE(window.geometry(), c.stored);
            QVERIFY2(screen.contains(window.geometry()), c.rule);
        }
        // A rectangle whose right edge lies left of its left edge is no placement at all.
        writeFile(profile(), "[General]\nWindowPosLeft=500\nWindowPosTop=60\nWindowPosRight=100\nWindowPosBottom=560\n");
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        QRect before = window.geometry();
        window.restorePlacement();
        QCOMPARE(window.geometry(), before);
    }

    void savedPlacementIsFittedToTheScreensThereAreNow()
    {
        const QMargins frame(4, 30, 4, 4);
        const QRect left(0, 0, 1280, 770);
        const QRect right(1280, 0, 1920, 1050);
        struct Case {
            const char* rule;
            QRect wanted;
            QList<QRect> areas;
            QRect expected;
        };
        const Case cases[] = {
            {"one that fits stays", QRect(100, 100, 600, 400), {left}, QRect(100, 100, 600, 400)},
            {"one past the right edge moves back", QRect(1000, 100, 600, 400), {left}, QRect(676, 100, 600, 400)},
            {"one above the top shows its title bar", QRect(100, -200, 600, 400), {left}, QRect(100, 30, 600, 400)},
            {"one larger than the screen shrinks", QRect(-50, -50, 3000, 2000), {left}, QRect(4, 30, 1272, 736)},
            {"one on the second screen stays there", QRect(1500, 100, 800, 600), {left, right},
             QRect(1500, 100, 800, 600)},
            {"one across two goes to the one holding most", QRect(1100, 100, 800, 600), {left, right},
             QRect(1284, 100, 800, 600)},
            {"one on an unplugged screen comes to the primary", QRect(1500, 100, 800, 600), {left},
             QRect(476, 100, 800, 600)},
            {"one saved at a larger scale shrinks to the smaller screen", QRect(100, 100, 1200, 760),
             {QRect(0, 0, 853, 533)}, QRect(4, 30, 845, 499)},
        };
        for (const Case& c : cases)
            QVERIFY2(fitToScreens(c.wanted, frame, c.areas, c.areas.front()) == c.expected, c.rule);
    }

    void closeGuardCanKeepTheWindowOpen()
    {
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        window.show();
        bool allow = false;
        window.setCloseGuard([&] { return allow; });
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        // The placement was written before the documents were asked.
        QVERIFY(readFile(profile()).find("WindowState=1") != std::string::npos);
        allow = true;
        QVERIFY(window.close());
    }

    void statusBarReservesTheSelectionPaneAndShowsTheIdlePrompt()
    {
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        QCOMPARE(window.messageText(), QStringLiteral("Press F1 for Help"));
        QCOMPARE(window.selectionText(), QString());
        QLabel* pane = window.summaryStatusBar()->selectionPane();
        QVERIFY(pane->minimumWidth() >=
                pane->fontMetrics().horizontalAdvance(QStringLiteral("Selected: XXXXXX file(s) (XXXXXX Bytes)")));
        window.setMessageText(QStringLiteral("Sorting: a.zip"));
        QCOMPARE(window.messageText(), QStringLiteral("Sorting: a.zip"));
    }

    void archiveWindowSwitchesMenusAndTurnsTheIdlePromptIntoSummaries()
    {
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        window.show();
        QCOMPARE(menuTitles(window), (QStringList{"&File", "&Options", "&Help"}));
        QVERIFY(!window.menuBar()->actions().isEmpty());
        QCOMPARE(commands.action(CommandId::SearchZipFiles)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));

        DocumentKind zipKind = makeDocumentKind(*findDocumentKindInfo(DocumentKindId::Zip), {});
        PlainDocument document;
        document.setKind(&zipKind);
        document.setPath("/archives/a.zip");
        auto* listing = new SummaryWindow(document);
        window.addDocumentWindow(listing);
        QCOMPARE(window.activeDocumentWindow(), listing);
        QCOMPARE(menuTitles(window),
                 (QStringList{"&File", "&ZIP", "&Extract", "&View", "&Options", "&Window", "&Help"}));
        QCOMPARE(window.messageText(), QStringLiteral("Total: 3 file(s) (1.53 KB)"));
        QCOMPARE(window.selectionText(), QStringLiteral("Selected: 0 file(s) (0 Bytes)"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Quarvo - a.zip"));
        // Ctrl+S belongs to the main window's own menu only.
        QVERIFY(commands.action(CommandId::SearchZipFiles)->shortcut().isEmpty());

        // Any letter case of the idle prompt brings the summaries; other texts show as they are.
        window.setMessageText(QStringLiteral("Sorting: a.zip"));
        QCOMPARE(window.messageText(), QStringLiteral("Sorting: a.zip"));
        window.setMessageText(QStringLiteral("PRESS F1 FOR HELP"));
        QCOMPARE(window.messageText(), QStringLiteral("Total: 3 file(s) (1.53 KB)"));

        // The window's commands are routed to it, with its check marks; the others stay disabled.
        QAction* sortByName = findMenuAction(window.menuBar(), CommandId::SortByName);
        QVERIFY(sortByName && sortByName->isEnabled() && sortByName->isChecked());
        sortByName->trigger();
        QCOMPARE(listing->ran, std::vector<int>{CommandId::SortByName});
        QAction* extract = findMenuAction(window.menuBar(), CommandId::Extract);
        QVERIFY(extract && !extract->isEnabled());
        QVERIFY(!findMenuAction(window.menuBar(), CommandId::SelfExtractorConfigurator));
        QVERIFY(!findMenuAction(window.menuBar(), CommandId::SendActiveDocument));

        window.removeWindowsOf(document);
        QCOMPARE(window.activeDocumentWindow(), nullptr);
        QCOMPARE(menuTitles(window), (QStringList{"&File", "&Options", "&Help"}));
        QCOMPARE(window.messageText(), QStringLiteral("Press F1 for Help"));
        QCOMPARE(window.selectionText(), QString());
        QCOMPARE(window.windowTitle(), QStringLiteral("Quarvo"));
        QVERIFY(document.views().empty());
    }

    void closingAWindowActivatesTheOneActiveBeforeIt()
    {
        // The documents outlive the main window, as the application's do.
        DocumentKind zipKind = makeDocumentKind(*findDocumentKindInfo(DocumentKindId::Zip), {});
        PlainDocument documents[4];
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        window.show();
        std::vector<SummaryWindow*> windows;
        for (PlainDocument& document : documents) {
            document.setKind(&zipKind);
            windows.push_back(new SummaryWindow(document));
            window.addDocumentWindow(windows.back());
        }
        auto* area = window.findChild<QMdiArea*>();
        // Opened 0, 1, 2, 3; then used 1, then 3 again, then 0.
        for (int used : {1, 3, 0})
            area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(windows[size_t(used)]->parentWidget()));
        for (int expected : {3, 1, 2}) {
            auto closing = std::find(windows.begin(), windows.end(), window.activeDocumentWindow());
            QVERIFY(closing != windows.end());
            window.removeWindowsOf(documents[closing - windows.begin()]);
            QCOMPARE(window.activeDocumentWindow(), windows[size_t(expected)]);
        }
    }

    void sendMailAppearsInTheArchiveMenuOnlyWhenMailIsAvailable()
    {
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, {false, true});
        window.show();
        DocumentKind zipKind = makeDocumentKind(*findDocumentKindInfo(DocumentKindId::Zip), {});
        PlainDocument document;
        document.setKind(&zipKind);
        window.addDocumentWindow(new SummaryWindow(document));
        QVERIFY(findMenuAction(window.menuBar(), CommandId::SendActiveDocument));
        QAction* all = findMenuAction(window.menuBar(), CommandId::SendAllDocuments);
        QVERIFY(all);
        QCOMPARE(all->text(), QStringLiteral("All Open Documents"));
        window.removeWindowsOf(document);
    }

    void alwaysOnTopTogglesTheSettingTheCheckMarkAndTheWindow()
    {
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        window.show();
        QAction* onTop = findMenuAction(window.menuBar(), CommandId::AlwaysOnTop);
        QVERIFY(onTop);
        QCOMPARE(onTop->text(), QStringLiteral("&Always On Top"));
        QVERIFY(onTop->isCheckable() && !onTop->isChecked());
        onTop->trigger();
        QCOMPARE(store->alwaysOnTop, 1);
        QVERIFY(onTop->isChecked());
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        onTop->trigger();
        QCOMPARE(store->alwaysOnTop, 0);
        QVERIFY(!onTop->isChecked());
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void startsOnTopWhenTheSettingSaysSo()
    {
        auto store = settings();
        store->alwaysOnTop = 1;
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(commands.action(CommandId::AlwaysOnTop)->isChecked());
    }

    void recentFilesReplaceThePlaceholder()
    {
        auto store = settings();
        CommandRouter commands;
        MainWindow window(*store, commands, quiet());
        QMenu* file = window.menuBar()->actions().front()->menu();
        QStringList texts;
        for (QAction* action : file->actions())
            texts << action->text();
        QVERIFY(texts.contains(QStringLiteral("Recent File")));

        store->recentFiles = {"/a/R&D.zip", "/b/two.zip"};
        window.rebuildMenus();
        file = window.menuBar()->actions().front()->menu();
        texts.clear();
        for (QAction* action : file->actions())
            texts << action->text();
        QVERIFY(!texts.contains(QStringLiteral("Recent File")));
        QVERIFY(texts.contains(QStringLiteral("&1 /a/R&&D.zip")));
        QVERIFY(texts.contains(QStringLiteral("&2 /b/two.zip")));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
