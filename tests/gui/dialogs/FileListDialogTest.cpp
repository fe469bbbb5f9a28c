#include "DialogTestSupport.h"

#include "core/ui/DialogResult.h"
#include "gui/dialogs/DirectoryTree.h"
#include "gui/dialogs/FileListDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace quarvo;
using namespace quarvo::gui;
using namespace quarvo::testing;

namespace {

void touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QStringList texts(const QListWidget* list)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result << list->item(row)->text();
    return result;
}

void selectFiles(QListWidget* list, const QStringList& names)
{
    list->clearSelection();
    for (const QString& name : names) {
        const auto found = list->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        found.front()->setSelected(true);
    }
}

} // namespace

// The file-list dialog over a small tree made for each test: Base/A.TXT, Base/SUB/A.TXT, A.TXT
// beside Base, and Other/A.TXT.
class FileListDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_base;

    QString path(const QString& relative) const { return QDir::cleanPath(m_root->filePath(relative)); }

    FileListDialogValues valuesFromBase() const
    {
        FileListDialogValues values;
        values.title = "Add Files (A.ZIP)";
        values.zipFromDirectory = m_base.toStdString();
        return values;
    }

  private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QDir root(m_root->path());
        QVERIFY(root.mkpath(QStringLiteral("Base/SUB")));
        QVERIFY(root.mkpath(QStringLiteral("Other")));
        for (const char* file :
             {"Base/A.TXT", "Base/B.C", "Base/Makefile", "Base/SUB/A.TXT", "A.TXT", "Other/A.TXT"})
            touch(path(QString::fromLatin1(file)));
        m_base = path(QStringLiteral("Base"));
    }

    void opensOnTheZipFromDirectoryShownInLowerCase()
    {
        AnsweringUserInterface ui;
        FileListDialog dialog(valuesFromBase(), ui);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Add Files (A.ZIP)"));
        QCOMPARE(dialog.zipFromLabel()->text(), m_base.toLower());
        QCOMPARE(dialog.filterField()->text(), QStringLiteral("*.*"));
        // "*.*" lists every file, with a dot or without.
        QCOMPARE(texts(dialog.fileList()), (QStringList{"A.TXT", "B.C", "Makefile"}));
        dialog.reject();
    }

    void linesAreRelativeToTheZipFromDirectory()
    {
        AnsweringUserInterface ui;
        FileListDialog dialog(valuesFromBase(), ui);
        dialog.show();
        const std::pair<QString, QString> steps[] = {
            {QStringLiteral("Base"), QStringLiteral("\"A.TXT\"")},
            {QStringLiteral("Base/SUB"), QStringLiteral("\"SUB/A.TXT\"")},
            {QString(), QStringLiteral("\"../A.TXT\"")},
            {QStringLiteral("Other"), QStringLiteral("\"../Other/A.TXT\"")},
        };
        QStringList expected;
        for (const auto& [directory, line] : steps) {
            dialog.browseTo(path(directory));
            selectFiles(dialog.fileList(), {QStringLiteral("A.TXT")});
            click(dialog.addIncludeFilesButton());
            expected << line;
        }
        QCOMPARE(texts(dialog.includeList()), expected);

        dialog.fullPathBox()->setChecked(true);
        selectFiles(dialog.fileList(), {QStringLiteral("A.TXT")});
        click(dialog.addExcludeFilesButton());
        QCOMPARE(texts(dialog.excludeList()), QStringList{'"' + path(QStringLiteral("Other/A.TXT")) + '"'});
        QCOMPARE(ui.messages().size(), size_t(0));

        click(dialog.executeButton());
        QCOMPARE(dialog.result(), DialogResult::Ok);
        QCOMPARE(dialog.values().includeNames.size(), size_t(4));
        QCOMPARE(QString::fromStdString(dialog.values().includeNames[1]), QStringLiteral("\"SUB/A.TXT\""));
        QCOMPARE(dialog.values().excludeNames.size(), size_t(1));
    }

    void illegalFiltersAreRefusedAndKeepTheBrowserAsItWas()
    {
        AnsweringUserInterface ui;
        FileListDialog dialog(valuesFromBase(), ui);
        dialog.show();
        const QString refused[] = {QStringLiteral("A.TXT"), QStringLiteral("*.T XT"),
                                   QStringLiteral("SUB/*.TXT")};
        std::vector<std::string> messages;
        for (const QString& filter : refused) {
            dialog.filterField()->setText(filter);
            ui.answer(DialogResult::Ok);
            click(dialog.addIncludeFilterButton());
            messages.push_back("Illegal filter:\n" + filter.toStdString());
        }
        dialog.filterField()->setText(QStringLiteral("x"));
        ui.answer(DialogResult::Ok);
        click(dialog.expandButton());
        messages.push_back("Illegal filter:\nx");

        QCOMPARE(ui.messageTexts(), messages);
        QCOMPARE(dialog.includeList()->count(), 0);
        QCOMPARE(dialog.appliedFilter(), QStringLiteral("*.*"));
        QCOMPARE(dialog.fileList()->count(), 3);
        dialog.reject();
    }

    void leavingTheFilterFieldChecksAChangedFilterOnce()
    {
        AnsweringUserInterface ui;
        FileListDialog dialog(valuesFromBase(), ui);
        dialog.show();
        QFocusEvent focusOut(QEvent::FocusOut, Qt::OtherFocusReason);
        dialog.filterField()->setText(QStringLiteral("x y"));
        ui.answer(DialogResult::Ok);
        QCoreApplication::sendEvent(dialog.filterField(), &focusOut);
        // The message box taking the focus must not bring the message back.
        QCoreApplication::sendEvent(dialog.filterField(), &focusOut);
        QCOMPARE(ui.messageTexts(), std::vector<std::string>{"Illegal filter:\nx y"});

        dialog.filterField()->setText(QStringLiteral("*.C"));
        QCoreApplication::sendEvent(dialog.filterField(), &focusOut);
        QCOMPARE(dialog.appliedFilter(), QStringLiteral("*.C"));
        QCOMPARE(texts(dialog.fileList()), QStringList{"B.C"});
        QCOMPARE(ui.unscriptedMessages(), 0);
        dialog.reject();
    }

    void movingFromTheFilterToAddFilterReportsAnIllegalFilterOnce()
    {
        AnsweringUserInterface ui;
        FileListDialog dialog(valuesFromBase(), ui);
        dialog.show();
        dialog.activateWindow();
        QApplication::setActiveWindow(&dialog);
        dialog.filterField()->setFocus();
        QCOMPARE(QApplication::focusWidget(), dialog.filterField());
        dialog.filterField()->setText(QStringLiteral("a b"));

        dialog.addIncludeFilterButton()->setFocus();
        QCOMPARE(QApplication::focusWidget(), dialog.addIncludeFilterButton());
        QCOMPARE(ui.messages().size(), size_t(0));
        ui.answer(DialogResult::Ok);
        click(dialog.addIncludeFilterButton());
        QCOMPARE(ui.messageTexts(), std::vector<std::string>{"Illegal filter:\na b"});
        dialog.reject();
    }

    void expandAndAddFilterApplyTheFilterAndASecondFilterIsOnlyReported()
    {
        AnsweringUserInterface ui;
        FileListDialog dialog(valuesFromBase(), ui);
        dialog.show();
        dialog.filterField()->setText(QStringLiteral("*.c"));
        click(dialog.expandButton());
        QCOMPARE(texts(dialog.fileList()), QStringList{"B.C"});

        dialog.filterField()->setText(QStringLiteral("*.txt"));
        click(dialog.addExcludeFilterButton());
        QCOMPARE(texts(dialog.fileList()), QStringList{"A.TXT"});
        QCOMPARE(texts(dialog.excludeList()), QStringList{"\"*.txt\""});

        dialog.filterField()->setText(QStringLiteral("*.TXT"));
        ui.answer(DialogResult::Ok);
        click(dialog.addExcludeFilterButton());
        QCOMPARE(ui.messageTexts(), std::vector<std::string>{"Filter \"*.TXT\" already added!"});
        QCOMPARE(dialog.excludeList()->count(), 1);
        dialog.reject();
    }

    void addingAFileTwiceAsksWhetherToGoOn()
    {
        AnsweringUserInterface ui;
        FileListDialog dialog(valuesFromBase(), ui);
        dialog.show();
        emit dialog.fileList()->itemDoubleClicked(dialog.fileList()->item(0));
        QCOMPARE(texts(dialog.includeList()), QStringList{"\"A.TXT\""});

        selectFiles(dialog.fileList(), {QStringLiteral("A.TXT"), QStringLiteral("B.C")});
        ui.answer(DialogResult::No);
        click(dialog.addIncludeFilesButton());
        QCOMPARE(ui.messageTexts(),
                 std::vector<std::string>{"File \"A.TXT\" already added!\nContinue adding next file?"});
        QCOMPARE(texts(dialog.includeList()), QStringList{"\"A.TXT\""});

        ui.answer(DialogResult::Yes);
        click(dialog.addIncludeFilesButton());
        QCOMPARE(texts(dialog.includeList()), (QStringList{"\"A.TXT\"", "\"B.C\""}));
        QCOMPARE(ui.unscriptedMessages(), 0);
        dialog.reject();
    }

    void deleteRemovesExactlyTheSelectedLinesAndCancelReturnsNothing()
    {
        AnsweringUserInterface ui;
        FileListDialogValues values = valuesFromBase();
        values.includeNames = {"\"1\"", "\"2\"", "\"3\"", "\"4\"", "\"5\""};
        values.excludeNames = {"\"x\""};
        FileListDialog dialog(values, ui);
        dialog.show();
        QCOMPARE(dialog.includeList()->count(), 5);
        dialog.includeList()->item(0)->setSelected(true);
        dialog.includeList()->item(2)->setSelected(true);
        dialog.includeList()->item(3)->setSelected(true);
        click(dialog.deleteIncludeButton());
        QCOMPARE(texts(dialog.includeList()), (QStringList{"\"2\"", "\"5\""}));
        click(dialog.deleteExcludeButton()); // nothing selected: nothing goes
        QCOMPARE(dialog.excludeList()->count(), 1);

        dialog.reject();
        QCOMPARE(dialog.result(), DialogResult::Cancel);
        QCOMPARE(dialog.values(), values);
    }
};

QTEST_MAIN(FileListDialogTest)
#include "FileListDialogTest.moc"
