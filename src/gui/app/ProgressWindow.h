#pragma once

#include <QWidget>

#include <atomic>

class QLabel;
class QPushButton;

namespace quarvo::gui {

class PercentBar;

// The modeless window an engine operation shows while it runs: the caption the engine's messages
// set, one status line, the percentage bar and a Cancel button. Cancel raises the cancel flag of the
// operation that opened it; the window stays until the operation returns and closes it.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(std::atomic<bool>& cancelRequest, QWidget* parent = nullptr);

    // Puts text on the status line and percent into the bar, and paints both at once.
    void setProgress(const QString& text, int percent);

    QLabel* statusLine() const { return m_status; }
    PercentBar* percentBar() const { return m_bar; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_status;
    PercentBar* m_bar;
    QPushButton* m_cancel;
    std::atomic<bool>& m_cancelRequest;
};

} // namespace quarvo::gui
