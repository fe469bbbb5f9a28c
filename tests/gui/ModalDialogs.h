#pragma once

#include <QAbstractButton>
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

// Runs action on the next modal dialog of type Dialog, waiting past any other modal state.
template <typename Dialog> void whenDialogShows(std::function<void(Dialog*)> action)
{
    whenModalShows([action = std::move(action)](QWidget* modal) mutable {
        if (auto* dialog = qobject_cast<Dialog*>(modal)) {
            action(dialog);
            return;
        }
        whenDialogShows<Dialog>(std::move(action));
    });
}

// Answers the next message box with the button whose text, without its "&", is buttonText (a box
// without one is rejected), keeping the box's text in *text; runs next first, which may arm the
// answer to what the click brings up.
inline void answerMessageBox(const QString& buttonText, QString* text, std::function<void()> next = {})
{
    whenDialogShows<QMessageBox>([buttonText, text, next](QMessageBox* box) {
        *text = box->text();
        if (next)
            next();
        for (QAbstractButton* button : box->buttons()) {
            if (button->text().remove(QLatin1Char('&')) == buttonText) {
                button->click();
                return;
            }
        }
        box->reject();
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
