#pragma once

#include "core/settings/AppSettings.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace quarvo {
class Document;
}

namespace quarvo::gui {

class CommandRouter;
class DocumentWindow;
class SummaryStatusBar;
struct MenuEntry;

// The program's main window: the MDI area holding the document windows, the menu bar of the active
// window's kind, the tool bar, the two-pane status bar, "&Always On Top", and its placement kept in
// the settings between runs.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        bool showBanner = true;
        // "Send Mail" appears in the archive menus only when the system can send mail.
        bool mailAvailable = false;
    };

    // Builds the window; the start-up banner shows first when asked for, before the tool bar exists.
    MainWindow(AppSettings& settings, CommandRouter& commands, Options options, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up: the normal rectangle from the settings (each edge defaulting to the current one; a
    // rectangle that is empty or lies off every screen keeps the current one). Does not show.
    void restorePlacement();
    // The show state and the normal rectangle, as the close writes them.
    WindowPlacement placement() const;
    // Set once the window has begun to close; never cleared.
    bool isClosing() const { return m_closing; }

    // Document windows.
    QMdiSubWindow* addDocumentWindow(DocumentWindow* window);
    DocumentWindow* activeDocumentWindow() const;
    std::vector<DocumentWindow*> documentWindows() const;
    std::vector<DocumentWindow*> windowsOf(const Document& document) const;
    // Takes every window of a document away at once, without asking: the document is closing.
    void removeWindowsOf(const Document& document);
    // Takes away the windows whose documents are no longer among the open ones, without touching
    // those documents (they have been destroyed already).
    void removeWindowsOfClosedDocuments(const std::vector<Document*>& openDocuments);
    QMdiArea* mdiArea() const { return m_mdiArea; }

    // The status bar's message pane. The idle prompt (in any letter case) turns into the archive's
    // summaries while an archive window is active; any other text is shown as it is.
    void setMessageText(const QString& text);
    // Puts the idle prompt into the message pane (which brings the summaries back).
    void resetStatusText();
    QString messageText() const;
    QString selectionText() const;
    SummaryStatusBar* summaryStatusBar() const { return m_statusBar; }

    QToolBar* toolBar() const { return m_toolBar; }
    // The resource id whose menu the menu bar shows now.
    int menuResourceId() const { return m_menuResourceId; }
    // Rebuilds the menu bar for the active window's kind (recent files and mail included).
    void rebuildMenus();

    // Asked when the window is about to close, after the placement was saved: true lets it close
    // (every document agreed to close), false keeps it open.
    void setCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }
    // Asked when the user closes one document window: the application decides about its document.
    void setWindowCloseHandler(std::function<void(DocumentWindow*)> handler)
    {
        m_windowCloseHandler = std::move(handler);
    }
    // Files dropped on the window are offered for compression by this handler; without one the window
    // accepts no drops.
    void setDropHandler(std::function<void(const QStringList&)> handler);
    // While the close-all walk runs, windows of documents that may already be gone are neither
    // painted nor asked for summaries.
    void setDocumentWindowsFrozen(bool frozen);

    // Flips "always on top" in the settings and in the window system.
    void toggleAlwaysOnTop();

signals:
    // The window accepted its close: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void removeWindow(DocumentWindow* window);
    QMdiSubWindow* previouslyActive(QMdiSubWindow* leaving) const;
    void createToolBar();
    void createStatusBar();
    void registerWindowCommands();
    void applyAlwaysOnTop();
    void onSubWindowActivated(QMdiSubWindow* subWindow);
    void updateWindowTitle();
    void fillMenu(QMenu* menu, const std::vector<MenuEntry>& entries);
    void fillWindowList(QMenu* menu);
    void addRecentFiles(QMenu* menu);
    void addSendMail(QMenu* menu);

    AppSettings& m_settings;
    CommandRouter& m_commands;
    Options m_options;
    QMdiArea* m_mdiArea;
    QToolBar* m_toolBar = nullptr;
    SummaryStatusBar* m_statusBar = nullptr;
    std::vector<QPointer<QMenu>> m_menus;
    int m_menuResourceId = -1;
    bool m_closing = false;
    bool m_frozen = false;
    std::function<bool()> m_closeGuard;
    std::function<void(DocumentWindow*)> m_windowCloseHandler;
    std::function<void(const QStringList&)> m_dropHandler;
};

} // namespace quarvo::gui
