#pragma once

#include <QStatusBar>

#include <functional>

class QLabel;

namespace quarvo::gui {

// The main window's status bar: pane 0 stretches and carries the messages, pane 1 carries the
// selection summary of the active archive. Pointing at the bar while an archive window is active
// offers the archive's information, and a click shows it.
class SummaryStatusBar : public QStatusBar {
    Q_OBJECT
public:
    struct Hooks {
        std::function<bool()> archiveWindowActive;
        std::function<void(const QString&)> setMessageText;
        std::function<void()> showArchiveInfo;
    };

    // The text whose width pane 1 reserves.
    static QString selectionPaneTemplate() { return QStringLiteral("Selected: XXXXXX file(s) (XXXXXX Bytes)"); }
    static QString infoPrompt() { return QStringLiteral("Click on status bar to view ZIP file info"); }

    explicit SummaryStatusBar(QWidget* parent = nullptr);

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }

    QLabel* messagePane() const { return m_message; }
    QLabel* selectionPane() const { return m_selection; }

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* m_message;
    QLabel* m_selection;
    Hooks m_hooks;
};

} // namespace quarvo::gui
