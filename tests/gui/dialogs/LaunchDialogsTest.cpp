#include "core/ui/DialogResult.h"
#include "gui/dialogs/PasswordDialog.h"
#include "gui/dialogs/RunFileDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace quarvo;
using namespace quarvo::gui;

namespace {

QStringList buttonTexts(const QWidget& dialog)
{
    QStringList texts;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        texts << button->text();
    return texts;
}

QStringList labelTexts(const QWidget& dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

} // namespace

// The two small dialogs of viewing and running entries: the command line of "Run File" and the
// password of an encrypted entry.
class LaunchDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void runFileShowsTheMessageAboveTheWholeCommandLine()
    {
        const QString longLine = QStringLiteral("tool ") + QString(300, QLatin1Char('x'));
        QWidget parent;
        parent.setGeometry(100, 100, 800, 600);
        RunFileDialog dialog("Executable file not found!", longLine.toStdString(), &parent);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Run File"));
        QCOMPARE(labelTexts(dialog), (QStringList{"Executable file not found!", "Command Line:"}));
        QCOMPARE(buttonTexts(dialog), (QStringList{"&Execute", "&Cancel", "&Help"}));
        QVERIFY(dialog.executeButton()->isDefault());
        // No old length limit: a long line comes back whole, and more can be typed.
        QCOMPARE(dialog.commandLineField()->text(), longLine);
        QTest::keyClicks(dialog.commandLineField(), QStringLiteral(" more"));
        QCOMPARE(dialog.commandLine(), (longLine + QStringLiteral(" more")).toStdString());

        dialog.show();
        QCOMPARE(dialog.frameGeometry().center(), parent.frameGeometry().center());
        dialog.executeButton()->click();
        QCOMPARE(dialog.result(), DialogResult::Ok);
        RunFileDialog cancelled("Executing the following command line.", "a.txt");
        cancelled.findChildren<QPushButton*>().at(1)->click();
        QCOMPARE(cancelled.result(), DialogResult::Cancel);
    }

    void passwordNamesTheEntryAndHidesWhatIsTyped()
    {
        PasswordDialog dialog("secret/<b>plan</b>.txt");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Password"));
        QVERIFY(labelTexts(dialog).contains(QStringLiteral("The file secret/<b>plan</b>.txt is encrypted.")));
        QCOMPARE(dialog.passwordField()->echoMode(), QLineEdit::Password);
        QTest::keyClicks(dialog.passwordField(), QStringLiteral("pw"));
        QCOMPARE(dialog.password(), std::string("pw"));
        dialog.okButton()->click();
        QCOMPARE(dialog.result(), DialogResult::Ok);
    }
};

QTEST_MAIN(LaunchDialogsTest)
#include "LaunchDialogsTest.moc"
