#include "core/app/CancelFlags.h"
#include "core/ui/DialogResult.h"
#include "gui/app/AboutDialog.h"
#include "gui/app/DialogPalette.h"
#include "gui/app/GeneralOptionsDialog.h"
#include "gui/app/PercentBar.h"
#include "gui/app/ProgressWindow.h"
#include "gui/app/QtUserInterface.h"
#include "gui/app/QuestionDialog.h"

#include "ModalDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::whenModalShows;

namespace {

QPushButton* buttonWithText(QWidget* dialog, const QString& text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

bool isBlue(QRgb pixel)
{
    return qBlue(pixel) > 200 && qRed(pixel) < 60 && qGreen(pixel) < 60;
}

bool isWhite(QRgb pixel)
{
    return qRed(pixel) > 230 && qGreen(pixel) > 230 && qBlue(pixel) > 230;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

    quarvo::testing::UnexpectedModalGuard m_guard;

private slots:
    void cleanup() { QCOMPARE(m_guard.takeRejected(), QStringList()); }

    void questionDialogOffersFourAnswersWithNoAsDefault()
    {
        QuestionDialog dialog(QStringLiteral("Close it?"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Quarvo"));
        const std::pair<int, QString> buttons[] = {
            {DialogResult::Yes, QStringLiteral("&Yes")},
            {DialogResult::YesToAll, QStringLiteral("Yes To &All")},
            {DialogResult::No, QStringLiteral("&No")},
            {DialogResult::Cancel, QStringLiteral("Cancel")},
        };
        for (const auto& [result, text] : buttons) {
            QVERIFY(dialog.button(result));
            QCOMPARE(dialog.button(result)->text(), text);
            QCOMPARE(dialog.button(result)->isDefault(), result == DialogResult::No);
        }
        QVERIFY(dialog.findChild<QLabel*>() != nullptr);
    }

    void questionDialogButtonsCloseWithTheirResults()
    {
        const std::pair<QString, int> presses[] = {
            {QStringLiteral("&Yes"), DialogResult::Yes},
            {QStringLiteral("Yes To &All"), DialogResult::YesToAll},
            {QStringLiteral("&No"), DialogResult::No},
            {QStringLiteral("Cancel"), DialogResult::Cancel},
        };
        for (const auto& [text, result] : presses) {
            QuestionDialog dialog(QStringLiteral("Close it?"));
            QString pressed = text;
            whenModalShows([pressed](QWidget* modal) { buttonWithText(modal, pressed)->click(); });
            QCOMPARE(dialog.exec(), result);
        }
    }

    void questionDialogFocusesNoAndEnterAnswersNo()
    {
        QuestionDialog dialog(QStringLiteral("Close it?"));
        bool focusOnNo = false;
        whenModalShows([&](QWidget* modal) {
            focusOnNo = modal->focusWidget() == buttonWithText(modal, QStringLiteral("&No"));
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QCOMPARE(dialog.exec(), DialogResult::No);
        QVERIFY(focusOnNo);

        QuestionDialog escaped(QStringLiteral("Close it?"));
        whenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(escaped.exec(), DialogResult::Cancel);
    }

    void percentBarTextChangesColourWhereTheFillEnds()
    {
        PercentBar bar;
        bar.resize(300, 24);
        bar.setPercent(50);
        QImage image = bar.grab().toImage();
        int edge = bar.fillEdge();
        QRect inner = bar.innerRect();
        QCOMPARE(edge, inner.left() + inner.width() / 2);
        // Just inside the frame, away from the text: blue left of the edge, white right of it.
        QVERIFY(isBlue(image.pixel(edge - 3, inner.top() + 1)));
        QVERIFY(isWhite(image.pixel(edge + 3, inner.top() + 1)));
        QVERIFY(isBlue(image.pixel(inner.left() + 2, inner.bottom() - 1)));
        QVERIFY(isWhite(image.pixel(inner.right() - 2, inner.bottom() - 1)));

        // The centred "50%" straddles the edge: its left half is white on blue, so the filled part
        // holds non-blue pixels, and its right half is blue on white, so the empty part holds
        // non-white ones.
        bool whiteTextInFill = false;
        bool blueTextInEmpty = false;
        for (int y = inner.top(); y <= inner.bottom(); ++y) {
            for (int x = edge - 30; x < edge; ++x)
                whiteTextInFill = whiteTextInFill || !isBlue(image.pixel(x, y));
            for (int x = edge; x < edge + 30; ++x)
                blueTextInEmpty = blueTextInEmpty || (qBlue(image.pixel(x, y)) > 150 && qRed(image.pixel(x, y)) < 150);
        }
        QVERIFY(whiteTextInFill);
        QVERIFY(blueTextInEmpty);
    }

    void percentBarFillFollowsThePercentageWithinItsRange()
    {
        PercentBar bar;
        bar.resize(202, 24);
        const std::pair<int, int> cases[] = {{0, 0}, {25, 50}, {100, 200}, {130, 200}, {-5, 0}};
        for (const auto& [percent, filledWidth] : cases) {
            bar.setPercent(percent);
            QCOMPARE(bar.fillEdge() - bar.innerRect().left(), filledWidth);
        }
        bar.setPercent(0);
        QImage empty = bar.grab().toImage();
        QVERIFY(isWhite(empty.pixel(bar.innerRect().left() + 1, bar.innerRect().top() + 1)));
        bar.setPercent(100);
        QImage full = bar.grab().toImage();
        QVERIFY(isBlue(full.pixel(bar.innerRect().right() - 1, bar.innerRect().top() + 1)));
    }

    void progressCancelRaisesTheFlagOfTheOperationThatOpenedIt()
    {
        CancelFlags::zipEngine = false;
        CancelFlags::tarLibrary = false;
        QtUserInterface ui;
        ui.openProgress(CancelFlags::tarLibrary);
        QTest::mouseClick(ui.progressWindow()->cancelButton(), Qt::LeftButton);
        QVERIFY(CancelFlags::tarLibrary);
        QVERIFY(!CancelFlags::zipEngine);
        ui.closeProgress();
        CancelFlags::tarLibrary = false;

        ui.openProgress(CancelFlags::zipEngine);
        QVERIFY(ui.isProgressOpen());
        ui.setProgressCaption("archive - Adding: a.txt");
        ui.setProgress("Please wait while reading ZIP info.", 40);
        ProgressWindow* window = ui.progressWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("archive - Adding: a.txt"));
        QCOMPARE(window->statusLine()->text(), QStringLiteral("Please wait while reading ZIP info."));
        QCOMPARE(window->percentBar()->percent(), 40);
        QVERIFY(!CancelFlags::zipEngine);
        QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
        QVERIFY(CancelFlags::zipEngine);
        // The window stays until the operation closes it.
        QVERIFY(ui.isProgressOpen());
        ui.closeProgress();
        QVERIFY(!ui.isProgressOpen());
        CancelFlags::zipEngine = false;
    }

    void processEventsReportsAQuitRequestOnce()
    {
        QtUserInterface ui;
        QVERIFY(!ui.processEvents());
        ui.requestQuit();
        QVERIFY(ui.processEvents());
        QVERIFY(!ui.processEvents());
    }

    void messageBoxShowsTheRequestedButtonsIconDefaultAndCaption()
    {
        QtUserInterface ui;
        MessageBoxRequest request{"Are you sure?", MessageButtons::YesNoCancel, MessageIcon::Warning,
                                  DialogResult::No, {}};
        QString caption;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
        QString defaultButton;
        whenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            caption = box->windowTitle();
            icon = box->icon();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text().remove(QLatin1Char('&'));
            defaultButton = box->defaultButton()->text().remove(QLatin1Char('&'));
            box->button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(ui.showMessage(request), DialogResult::Cancel);
        QCOMPARE(caption, QStringLiteral("Quarvo"));
        QCOMPARE(icon, QMessageBox::Warning);
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("Cancel"), QStringLiteral("No"), QStringLiteral("Yes")}));
        QCOMPARE(defaultButton, QStringLiteral("No"));

        request = {"Retry?", MessageButtons::RetryCancel, MessageIcon::None, 0, "Disk"};
        whenModalShows([&](QWidget* modal) {
            caption = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QCOMPARE(ui.showMessage(request), DialogResult::Retry);
        QCOMPARE(caption, QStringLiteral("Disk"));
    }

    void closeQuestionGoesThroughTheQuestionDialog()
    {
        QtUserInterface ui;
        QString text;
        whenModalShows([&](QWidget* modal) {
            QVERIFY(qobject_cast<QuestionDialog*>(modal));
            for (QLabel* label : modal->findChildren<QLabel*>()) {
                if (!label->text().isEmpty())
                    text = label->text();
            }
            buttonWithText(modal, QStringLiteral("Yes To &All"))->click();
        });
        QCOMPARE(ui.askCloseQuestion("Continue closing this ZIP file?"), DialogResult::YesToAll);
        QCOMPARE(text, QStringLiteral("Continue closing this ZIP file?"));
    }

    void generalOptionsSaveKeepsTheDialogOpenForAViewerThatCannotBeFound()
    {
        QtUserInterface ui;
        std::vector<std::string> checked;
        ui.setHooks({{}, [&](const std::string& name) -> std::optional<std::string> {
                         checked.push_back(name);
                         if (name == "/missing/viewer")
                             return "File not found: \n\"/missing/viewer\"";
                         return std::nullopt;
                     },
                     {}});
        GeneralOptionsValues values{"/missing/viewer", false};
        QString shownMessage;
        int messages = 0;
        whenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<GeneralOptionsDialog*>(modal);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Quarvo Options"));
            QVERIFY(dialog->saveButton()->isDefault());
            QVERIFY(buttonWithText(dialog, QStringLiteral("Browse...")));
            QVERIFY(buttonWithText(dialog, QStringLiteral("Help")));
            QVERIFY(!buttonWithText(dialog, QStringLiteral("OK")));
            QCOMPARE(dialog->logFileBox()->text(), QStringLiteral("Enable Log File"));
            // The first Save meets the not-found message, which is answered; the dialog stays.
            whenModalShows([&, dialog](QWidget* message) {
                ++messages;
                shownMessage = qobject_cast<QMessageBox*>(message)->text();
                QTest::keyClick(message, Qt::Key_Return);
                QTimer::singleShot(0, [&, dialog] {
                    QVERIFY(dialog->isVisible());
                    dialog->viewerField()->setText(QStringLiteral("viewer-on-path"));
                    dialog->logFileBox()->setChecked(true);
                    dialog->saveButton()->click();
                });
            });
            dialog->saveButton()->click();
        });
        QCOMPARE(ui.editGeneralOptions(values), DialogResult::Save);
        QCOMPARE(messages, 1);
        QCOMPARE(shownMessage, QStringLiteral("File not found: \n\"/missing/viewer\""));
        QCOMPARE(values.viewerName, std::string("viewer-on-path"));
        QVERIFY(values.logFile);
    }

    void generalOptionsCancelLeavesTheValues()
    {
        QtUserInterface ui;
        GeneralOptionsValues values{"VIEWER.EXE", true};
        whenModalShows([](QWidget* modal) {
            qobject_cast<GeneralOptionsDialog*>(modal)->viewerField()->setText(QStringLiteral("other"));
            buttonWithText(modal, QStringLiteral("Cancel"))->click();
        });
        QCOMPARE(ui.editGeneralOptions(values), DialogResult::Cancel);
        QCOMPARE(values.viewerName, std::string("VIEWER.EXE"));
        QVERIFY(values.logFile);
    }

    void disabledDialogTextIsGreyAndReadable()
    {
        const QPalette previous = QApplication::palette("QDialog");
        applyDialogPalette();
        QDialog dialog;
        auto* enabled = new QCheckBox(QStringLiteral("Recurse Directories"), &dialog);
        auto* disabled = new QCheckBox(QStringLiteral("Backup Entire Drive"), &dialog);
        auto* label = new QLabel(QStringLiteral("All Selected Files"), &dialog);
        disabled->setEnabled(false);
        label->setEnabled(false);
        dialog.ensurePolished();
        auto textOf = [](QWidget* widget) {
            return widget->palette().color(widget->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                           widget->foregroundRole());
        };
        const QColor face = dialog.palette().color(QPalette::Window);
        QCOMPARE(textOf(enabled), QColor(Qt::black));
        for (QWidget* widget : {static_cast<QWidget*>(disabled), static_cast<QWidget*>(label)}) {
            const int lightness = textOf(widget).lightness();
            // Visibly lighter than the enabled text, and still readable on the grey face.
            QVERIFY2(lightness >= 80 && face.lightness() - lightness >= 60, qPrintable(textOf(widget).name()));
        }
        QApplication::setPalette(previous, "QDialog");
    }

    void aboutBoxNamesTheProductAndVersion()
    {
        AboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("About Quarvo (TM)"));
        QStringList texts;
        for (QLabel* label : about.findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains(QStringLiteral("Quarvo Version " QUARVO_VERSION)));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
