#include "gui/app/MainWindow.h"

#include "core/app/CommandCatalog.h"
#include "core/app/CommandIds.h"
#include "core/app/DocumentKindTable.h"
#include "gui/app/CommandRouter.h"
#include "gui/app/DocumentWindow.h"
#include "gui/app/MenuLayout.h"
#include "gui/app/ProductInfo.h"
#include "gui/app/ScreenFit.h"
#include "gui/app/StartupBanner.h"
#include "gui/app/SummaryStatusBar.h"
#include "gui/app/ToolBarLayout.h"
#include "gui/app/ToolIcons.h"
#include "gui/listing/StatusSummary.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QToolBar>

#include <algorithm>

namespace quarvo::gui {

namespace {

constexpr QSize defaultSize(960, 640);

DocumentWindow* documentWindowOf(QMdiSubWindow* subWindow)
{
    return subWindow ? qobject_cast<DocumentWindow*>(subWindow->widget()) : nullptr;
}

WindowRect toWindowRect(const QRect& rect)
{
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// "&1 /home/ann/a.zip": a literal "&" in the path must not become a mnemonic.
QString recentFileText(size_t index, const std::string& path)
{
    QString escaped = QString::fromStdString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(escaped);
}

} // namespace

MainWindow::MainWindow(AppSettings& settings, CommandRouter& commands, Options options, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_commands(commands), m_options(options),
      m_mdiArea(new QMdiArea(this))
{
    setWindowTitle(ProductInfo::title());
    setWindowIcon(applicationIcon());
    setObjectName(QStringLiteral("MainWindow"));

    if (m_options.showBanner)
        (new StartupBanner)->showNow();

    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setBackground(palette().color(QPalette::Dark));
    setCentralWidget(m_mdiArea);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::onSubWindowActivated);

    // Every command's accelerator works wherever its action is enabled, in or out of the menu bar.
    for (const CommandText& text : commandTexts())
        addAction(m_commands.action(text.id));

    createToolBar();
    createStatusBar();
    registerWindowCommands();
    applyAlwaysOnTop();
    rebuildMenus();

    QRect available = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                        : QRect(QPoint(0, 0), defaultSize);
    QSize size = defaultSize.boundedTo(available.size());
    setGeometry(QRect(available.center() - QPoint(size.width() / 2, size.height() / 2), size));
}

MainWindow::~MainWindow()
{
    // The area outlives this class's part of the object: windows it still holds when it goes must
    // not call back into a main window that is half destroyed.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    m_commands.setActiveTarget(nullptr);
}

void MainWindow::createToolBar()
{
    m_toolBar = new QToolBar(QStringLiteral("Tool Bar"), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(22, 22));
    for (int id : toolBarLayout()) {
        if (id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = m_commands.action(id);
        action->setIcon(toolIcon(id));
        m_toolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void MainWindow::createStatusBar()
{
    m_statusBar = new SummaryStatusBar(this);
    m_statusBar->setHooks({
        [this] { return activeDocumentWindow() && !m_frozen && activeDocumentWindow()->summaryProvider(); },
        [this](const QString& text) { setMessageText(text); },
        [this] { m_commands.run(CommandId::Info); },
    });
    setStatusBar(m_statusBar);
}

void MainWindow::registerWindowCommands()
{
    auto hasWindows = [this] { return !m_mdiArea->subWindowList().isEmpty(); };
    m_commands.setHandler(CommandId::AlwaysOnTop, {[this] { toggleAlwaysOnTop(); }, {},
                                                   [this] { return m_settings.alwaysOnTop == 1; }, {}});
    m_commands.setHandler(CommandId::WindowCascade, {[this] { m_mdiArea->cascadeSubWindows(); }, hasWindows, {}, {}});
    m_commands.setHandler(CommandId::WindowTile, {[this] { m_mdiArea->tileSubWindows(); }, hasWindows, {}, {}});
    m_commands.setHandler(CommandId::NextPane, {[this] { m_mdiArea->activateNextSubWindow(); }, hasWindows, {}, {}});
    m_commands.setHandler(CommandId::PreviousPane,
                          {[this] { m_mdiArea->activatePreviousSubWindow(); }, hasWindows, {}, {}});
}

void MainWindow::applyAlwaysOnTop()
{
    bool onTop = m_settings.alwaysOnTop == 1;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    // Changing the flag recreates the native window, which hides it: keep position, size and state.
    bool wasVisible = isVisible();
    Qt::WindowStates states = windowState();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) {
        setWindowState(states);
        show();
    }
}

void MainWindow::toggleAlwaysOnTop()
{
    m_settings.alwaysOnTop = m_settings.alwaysOnTop == 1 ? 0 : 1;
    applyAlwaysOnTop();
    m_commands.updateStates();
}

void MainWindow::restorePlacement()
{
    QRect current = geometry();
    WindowRect stored = m_settings.loadWindowRect(toWindowRect(current));
    QRect wanted(QPoint(stored.left, stored.top), QPoint(stored.right - 1, stored.bottom - 1));
    if (wanted.width() <= 0 || wanted.height() <= 0)
        return;
    setGeometry(fitToCurrentScreens(wanted));
}

WindowPlacement MainWindow::placement() const
{
    WindowPlacement placement;
    if (isMinimized())
        placement.showState = WindowShowState::Minimised;
    else if (isMaximized())
        placement.showState = WindowShowState::Maximised;
    placement.normalRect =
        toWindowRect(placement.showState == WindowShowState::Normal ? geometry() : normalGeometry());
    return placement;
}

QMdiSubWindow* MainWindow::addDocumentWindow(DocumentWindow* window)
{
    QMdiSubWindow* subWindow = m_mdiArea->addSubWindow(window);
    // A new window takes most of the area, so the listing's eight columns fit without scrolling,
    // and opens a step down and right of the one before it, as cascaded windows do.
    QSize area = m_mdiArea->viewport()->size();
    subWindow->resize(std::max(area.width() * 4 / 5, 480), std::max(area.height() * 4 / 5, 320));
    int step = int((m_mdiArea->subWindowList().size() - 1) % 8) * 24;
    subWindow->move(step, step);
    subWindow->setWindowIcon(applicationIcon());
    subWindow->setWindowTitle(window->titleText());
    subWindow->installEventFilter(this);
    connect(window, &DocumentWindow::titleChanged, subWindow, [this, window, subWindow] {
        subWindow->setWindowTitle(window->titleText());
        updateWindowTitle();
    });
    connect(window, &DocumentWindow::statusChanged, this, [this, window] {
        if (window == activeDocumentWindow())
            resetStatusText();
    });
    // Any window's idle prompt refreshes the active window's summaries, as the status bar always
    // shows those.
    connect(window, &DocumentWindow::statusTextRequested, this, &MainWindow::setMessageText);
    connect(window, &DocumentWindow::commandStatesChanged, &m_commands, &CommandRouter::updateStates);
    subWindow->show();
    m_mdiArea->setActiveSubWindow(subWindow);
    return subWindow;
}

DocumentWindow* MainWindow::activeDocumentWindow() const
{
    return documentWindowOf(m_mdiArea->activeSubWindow());
}

std::vector<DocumentWindow*> MainWindow::documentWindows() const
{
    std::vector<DocumentWindow*> windows;
    for (QMdiSubWindow* subWindow : m_mdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (DocumentWindow* window = documentWindowOf(subWindow))
            windows.push_back(window);
    }
    return windows;
}

std::vector<DocumentWindow*> MainWindow::windowsOf(const Document& document) const
{
    std::vector<DocumentWindow*> windows;
    for (DocumentWindow* window : documentWindows()) {
        if (window->documentAddress() == &document)
            windows.push_back(window);
    }
    return windows;
}

// The window used before the given one, so that closing a window returns to where the user came
// from rather than to the first window opened.
QMdiSubWindow* MainWindow::previouslyActive(QMdiSubWindow* leaving) const
{
    const QList<QMdiSubWindow*> history = m_mdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.rbegin(); it != history.rend(); ++it) {
        if (*it != leaving && (*it)->isVisible())
            return *it;
    }
    return nullptr;
}

void MainWindow::removeWindow(DocumentWindow* window)
{
    if (m_commands.activeTarget() == window)
        m_commands.setActiveTarget(nullptr);
    // The sub-window may be in the middle of handling an event of its own (its close button): it
    // leaves the area now and is deleted once that is over.
    auto* subWindow = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    QMdiSubWindow* previous = subWindow == m_mdiArea->activeSubWindow() ? previouslyActive(subWindow) : nullptr;
    subWindow->hide();
    m_mdiArea->removeSubWindow(subWindow);
    subWindow->deleteLater();
    if (previous)
        m_mdiArea->setActiveSubWindow(previous);
}

void MainWindow::removeWindowsOf(const Document& document)
{
    for (DocumentWindow* window : windowsOf(document)) {
        window->releaseDocument();
        removeWindow(window);
    }
    onSubWindowActivated(m_mdiArea->activeSubWindow());
}

void MainWindow::removeWindowsOfClosedDocuments(const std::vector<Document*>& openDocuments)
{
    for (DocumentWindow* window : documentWindows()) {
        if (!window->hasDocument())
            continue;
        const Document* document = window->documentAddress();
        if (std::find(openDocuments.begin(), openDocuments.end(), document) != openDocuments.end())
            continue;
        window->forgetDocument();
        removeWindow(window);
    }
    onSubWindowActivated(m_mdiArea->activeSubWindow());
}

void MainWindow::setDocumentWindowsFrozen(bool frozen)
{
    m_frozen = frozen;
    for (DocumentWindow* window : documentWindows())
        window->setUpdatesEnabled(!frozen);
}

void MainWindow::setMessageText(const QString& text)
{
    DocumentWindow* active = m_frozen ? nullptr : activeDocumentWindow();
    StatusBarTexts texts = statusBarTexts(text, active ? active->summaryProvider() : nullptr);
    if (texts.selection) {
        m_statusBar->selectionPane()->setText(*texts.selection);
        m_statusBar->selectionPane()->repaint();
    }
    m_statusBar->messagePane()->setText(texts.message);
}

void MainWindow::resetStatusText()
{
    setMessageText(ProductInfo::idlePrompt());
}

QString MainWindow::messageText() const
{
    return m_statusBar->messagePane()->text();
}

QString MainWindow::selectionText() const
{
    return m_statusBar->selectionPane()->text();
}

void MainWindow::onSubWindowActivated(QMdiSubWindow* subWindow)
{
    DocumentWindow* window = documentWindowOf(subWindow);
    m_commands.setActiveTarget(window);
    // The accelerator of Search ZIP Files belongs to the main window's own menu alone.
    const CommandText* search = findCommandText(CommandId::SearchZipFiles);
    m_commands.action(CommandId::SearchZipFiles)
        ->setShortcut(window ? QKeySequence() : QKeySequence(QString::fromUtf8(search->shortcut.data(),
                                                                               qsizetype(search->shortcut.size()))));
    int resourceId = window ? window->menuResourceId() : DocumentKindId::Main;
    if (resourceId != m_menuResourceId)
        rebuildMenus();
    if (window) {
        resetStatusText();
    } else if (m_mdiArea->subWindowList().isEmpty()) {
        m_statusBar->messagePane()->setText(ProductInfo::idlePrompt());
        m_statusBar->selectionPane()->clear();
    }
    updateWindowTitle();
}

void MainWindow::updateWindowTitle()
{
    DocumentWindow* window = activeDocumentWindow();
    setWindowTitle(window ? ProductInfo::title() + QStringLiteral(" - ") + window->titleText() : ProductInfo::title());
}

void MainWindow::rebuildMenus()
{
    DocumentWindow* window = activeDocumentWindow();
    m_menuResourceId = window ? window->menuResourceId() : DocumentKindId::Main;
    menuBar()->clear();
    // A menu may be the one whose item is running right now (opening a recent file activates a new
    // window): it goes once that is over.
    for (QPointer<QMenu>& menu : m_menus) {
        if (menu)
            menu->deleteLater();
    }
    m_menus.clear();
    for (const MenuEntry& entry : menuLayout(m_menuResourceId)) {
        if (entry.kind == MenuEntry::Kind::Command) {
            menuBar()->addAction(m_commands.action(entry.id));
            continue;
        }
        auto* menu = new QMenu(entry.title, this);
        fillMenu(menu, entry.children);
        menuBar()->addMenu(menu);
        m_menus.emplace_back(menu);
    }
    m_commands.updateStates();
}

void MainWindow::fillMenu(QMenu* menu, const std::vector<MenuEntry>& entries)
{
    connect(menu, &QMenu::aboutToShow, &m_commands, &CommandRouter::updateStates);
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Command:
            menu->addAction(m_commands.action(entry.id));
            break;
        case MenuEntry::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuEntry::Kind::Popup: {
            QMenu* popup = menu->addMenu(entry.title);
            fillMenu(popup, entry.children);
            break;
        }
        case MenuEntry::Kind::RecentFiles:
            addRecentFiles(menu);
            break;
        case MenuEntry::Kind::SendMail:
            if (m_options.mailAvailable)
                addSendMail(menu);
            break;
        case MenuEntry::Kind::WindowList: {
            int start = int(menu->actions().size());
            connect(menu, &QMenu::aboutToShow, this, [this, menu, start] {
                while (menu->actions().size() > start)
                    delete menu->actions().back();
                fillWindowList(menu);
            });
            break;
        }
        }
    }
}

void MainWindow::addRecentFiles(QMenu* menu)
{
    const std::vector<std::string>& files = m_settings.recentFiles;
    if (files.empty()) {
        menu->addAction(QStringLiteral("Recent File"))->setEnabled(false);
        return;
    }
    for (size_t i = 0; i < files.size() && CommandId::RecentFileFirst + int(i) <= CommandId::RecentFileLast; ++i) {
        QAction* action = m_commands.action(CommandId::RecentFileFirst + int(i));
        action->setText(recentFileText(i, files[i]));
        action->setStatusTip(QStringLiteral("Open this document"));
        menu->addAction(action);
    }
}

void MainWindow::addSendMail(QMenu* menu)
{
    QMenu* mail = menu->addMenu(QStringLiteral("Send Mail"));
    connect(mail, &QMenu::aboutToShow, &m_commands, &CommandRouter::updateStates);
    mail->addAction(m_commands.action(CommandId::SendActiveDocument));
    mail->addAction(m_commands.action(CommandId::SendAllDocuments));
    menu->addSeparator();
}

void MainWindow::fillWindowList(QMenu* menu)
{
    QList<QMdiSubWindow*> subWindows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (qsizetype i = 0; i < subWindows.size(); ++i) {
        QMdiSubWindow* subWindow = subWindows[i];
        QString title = subWindow->windowTitle().replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
        action->setCheckable(true);
        action->setChecked(subWindow == m_mdiArea->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, subWindow = QPointer<QMdiSubWindow>(subWindow)] {
            if (subWindow)
                m_mdiArea->setActiveSubWindow(subWindow);
        });
    }
}

void MainWindow::setDropHandler(std::function<void(const QStringList&)> handler)
{
    m_dropHandler = std::move(handler);
    setAcceptDrops(bool(m_dropHandler));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_dropHandler && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (paths.isEmpty() || !m_dropHandler)
        return;
    event->acceptProposedAction();
    m_dropHandler(paths);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close) {
        if (DocumentWindow* window = documentWindowOf(qobject_cast<QMdiSubWindow*>(watched))) {
            // The application decides: the last window of a document closes the document, after
            // the document agreed.
            event->ignore();
            if (m_windowCloseHandler)
                m_windowCloseHandler(window);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_closing = true;
    m_settings.saveWindowPlacement(placement());
    if (m_closeGuard && !m_closeGuard()) {
        m_closing = false;
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

} // namespace quarvo::gui
