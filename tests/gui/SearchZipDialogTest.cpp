#include "gui/search/SearchZipDialog.h"
#include "core/app/CancelFlags.h"
#include "core/ui/DialogResult.h"

#include "support/ScriptedUserInterface.h"
#include "support/TemporaryDirectory.h"
#include "support/ZipBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace quarvo;
using namespace quarvo::gui;
using quarvo::testing::ScriptedUserInterface;
using quarvo::testing::TemporaryDirectory;
using quarvo::testing::writeFile;
using quarvo::testing::ZipBuilder;

namespace {

std::string archiveOf(const std::string& name, const std::string& comment)
{
    ZipBuilder builder;
    builder.add(ZipBuilder::stored(name, "data"));
    ZipBuilder::End end;
    end.comment = comment;
    return builder.finish(end);
}

QStringList lines(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QList<bool> enabledStates(const SearchZipDialog& dialog)
{
    return {dialog.searchButton()->isEnabled(), dialog.cancelSearchButton()->isEnabled(),
            dialog.openButton()->isEnabled(), dialog.clearButton()->isEnabled(),
            dialog.closeButton()->isEnabled()};
}

} // namespace

// The Search ZIP Files dialog over a small tree: the search runs on its own thread, its lines arrive
// in the list, and Open, Clear and Close behave as the dialog's rules say.
class SearchZipDialogTest : public QObject {
    Q_OBJECT

    TemporaryDirectory m_tree;
    QString first() const { return QString::fromStdString(m_tree.file("first")); }
    QString second() const { return QString::fromStdString(m_tree.file("second")); }

  private slots:
    void initTestCase()
    {
        writeFile(m_tree.file("first/deep/a.zip"), archiveOf("docs/readme.txt", "no word"));
        writeFile(m_tree.file("second/b.zip"), archiveOf("other.txt", "a HELLO there"));
    }

    void searchesEveryLocationAndOpensOnlyArchiveLines()
    {
        ScriptedUserInterface ui;
        std::vector<std::string> opened;
        SearchZipDialog dialog(ui, [&](const std::string& path) { opened.push_back(path); });
        dialog.show();
        QVERIFY(dialog.locationList()->findText(QStringLiteral("/")) >= 0);
        QCOMPARE(dialog.keyWordField()->maxLength(), 100);
        QCOMPARE(enabledStates(dialog), (QList<bool>{true, false, true, true, true}));

        dialog.keyWordField()->setText(QStringLiteral("hello"));
        dialog.fileNameField()->setText(QStringLiteral("*readme*"));
        dialog.locationList()->setEditText(first() + QStringLiteral(";/nowhere/at/all;") + second());
        dialog.subdirectoriesBox()->setChecked(true);
        dialog.searchButton()->click();
        // Until the search has ended only Cancel Search works.
        QCOMPARE(enabledStates(dialog), (QList<bool>{false, true, false, false, false}));
        QTRY_VERIFY(!dialog.isSearching());
        QCOMPARE(enabledStates(dialog), (QList<bool>{true, false, true, true, true}));
        const QString a = first() + QStringLiteral("/deep/a.zip"), b = second() + QStringLiteral("/b.zip");
        QCOMPARE(lines(dialog.resultsList()), (QStringList{a, QStringLiteral("     docs/readme.txt"), b,
                                                           QStringLiteral("     (Key found)")}));
        QCOMPARE(dialog.searchingLabel()->text(), b);

        // An entry line is no archive: the user is told which line to pick, and nothing opens.
        ui.answerMessage(DialogResult::Ok);
        for (int row : {1, 2})
            dialog.resultsList()->item(row)->setSelected(true);
        dialog.openButton()->click();
        QCOMPARE(
            ui.messageTexts(),
            std::vector<std::string>{
                "Please select the ZIP file to open, not the file in the ZIP file:\n     docs/readme.txt"});
        QCOMPARE(opened, std::vector<std::string>{b.toStdString()});

        // A second search adds to the list; Clear empties it; the fields stay for the next opening.
        dialog.subdirectoriesBox()->setChecked(false);
        dialog.searchButton()->click();
        QTRY_VERIFY(!dialog.isSearching());
        QCOMPARE(dialog.resultsList()->count(), 6);
        dialog.clearButton()->click();
        QCOMPARE(dialog.resultsList()->count(), 0);
        dialog.searchButton()->click();
        QTRY_VERIFY(!dialog.isSearching());
        dialog.hide();
        dialog.show();
        QCOMPARE(dialog.resultsList()->count(), 0);
        QCOMPARE(dialog.keyWordField()->text(), QStringLiteral("hello"));
        QCOMPARE(dialog.locationList()->currentText(),
                 first() + QStringLiteral(";/nowhere/at/all;") + second());
    }

    void closingWhileSearchingStopsTheSearchFirst()
    {
        ScriptedUserInterface ui;
        SearchZipDialog dialog(ui, {});
        dialog.show();
        dialog.fileNameField()->setText(QStringLiteral("*"));
        // Many locations: closing stops them all, not just the one being searched.
        QStringList locations;
        for (int part = 0; part < 2000; ++part)
            locations << first();
        dialog.locationList()->setEditText(locations.join(QLatin1Char(';')));
        dialog.subdirectoriesBox()->setChecked(true);
        dialog.searchButton()->click();
        dialog.reject();
        QVERIFY(dialog.isVisible());
        QTRY_VERIFY(!dialog.isVisible());
        QVERIFY(!dialog.isSearching());
        QVERIFY(dialog.resultsList()->count() < 2000);
    }
};

QTEST_MAIN(SearchZipDialogTest)
#include "SearchZipDialogTest.moc"
