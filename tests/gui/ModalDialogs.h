#pragma once

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace quarvo::testing {

// How many answers armed with whenModalShows are still waiting for their dialog.
inline int& pendingModalAnswers()
{
    static int count = 0;
    return count;
}

// The dialogs whose answer is running now. An answer may open further dialogs (a question on OK)
// and run their event loops before it returns; its own dialog is not unexpected meanwhile.
inline QList<QPointer<QWidget>>& modalsBeingAnswered()
{
    static QList<QPointer<QWidget>> modals;
    return modals;
}

// Runs action on the modal dialog that is about to open, once it is up. Every test that makes the
// program open a modal dialog arms an answer first.
inline void whenModalShows(std::function<void(QWidget*)> action)
{
    ++pendingModalAnswers();
    QTimer::singleShot(0, [action = std::move(action)]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            --pendingModalAnswers();
            whenModalShows(std::move(action));
            return;
        }
        --pendingModalAnswers();
        modalsBeingAnswered().append(modal);
        action(modal);
        modalsBeingAnswered().removeLast();
    });
}

// The safety net of the GUI tests: a modal dialog that no test armed an answer for is noted and
// rejected, so the test that opened it fails in its cleanup instead of hanging the suite.
class UnexpectedModalGuard : public QObject {
public:
    UnexpectedModalGuard()
    {
        m_timer.setInterval(250);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
        m_timer.start();
    }

    // The dialogs rejected since the last call: their titles and texts.
    QStringList takeRejected() { return std::exchange(m_rejected, {}); }

private:
    void check()
    {
        if (pendingModalAnswers() > 0)
            return;
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || modalsBeingAnswered().contains(dialog))
            return;
        QString text = dialog->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(dialog))
            text += QStringLiteral(": ") + box->text();
        m_rejected << text;
        dialog->done(QDialog::Rejected);
    }

    QTimer m_timer;
    QStringList m_rejected;
};

} // namespace quarvo::testing
