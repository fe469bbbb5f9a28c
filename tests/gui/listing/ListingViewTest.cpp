#include "gui/listing/ListingView.h"

#include "core/listing/SelectionList.h"
#include "gui/listing/FontTextMeasurer.h"
#include "gui/listing/ListingFixtures.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingTexts.h"
#include "gui/listing/PlacedTextRenderer.h"

#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace quarvo;
using namespace quarvo::gui;

namespace {

// The stored names of the rows, top to bottom.
QStringList rowNames(const ListingView& view)
{
    QStringList names;
    for (ZipEntry* entry : view.listingModel().rows())
        names << QString::fromStdString(entry->name);
    return names;
}

QStringList selectedNames(const ListingView& view)
{
    QStringList names;
    for (ZipEntry* entry : view.selectedEntries())
        names << QString::fromStdString(entry->name);
    return names;
}

QPoint rowCentre(const ListingView& view, int row)
{
    return view.visualRect(view.listingModel().index(row)).center();
}

void setCaret(ListingView& view, int row)
{
    view.selectionModel()->setCurrentIndex(view.listingModel().index(row), QItemSelectionModel::NoUpdate);
}

} // namespace

class ListingViewTest : public QObject {
    Q_OBJECT
private slots:
    void modelPassesTheItemModelTester();
    void newListingShowsEveryEntrySortedByName();
    void filterIsTakenAsTypedAndAnEmptyOneShowsNothing();
    void compressionOrderKeepsTheDirectoryOrder();
    void rowsAreOneFontHighAndAsWideAsTheirForm();
    void mouseAndKeysFollowTheExtendedSelectionModel();
    void selectionLivesInTheEntriesAndIsShared();
    void namesOnlyArrowsMoveBetweenColumns();
    void rereadKeepsSelectionAndCaret();
    void markerCellTellsHowAnEntryIsOpen();
    void toolTipNamesTheMethodAndEncryption();
    void displayModeSwitchKeepsCaretSelectionAndFont();
    void fillReportsProgressOnlyAFewTimes();
    void sortingLaysOutTheColumnsAgainOnlyForOtherRows();
    void selectionListQuotesTheSelectedNames();
    void caretEntryNeedNotBeSelected();
    void releasedListingNoLongerHearsTheDocument();
};

void ListingViewTest::modelPassesTheItemModelTester()
{
    testing::FakeArchive archive;
    archive.add("B.TXT", 10, 5);
    archive.add("A.TXT", 20, 5);
    ListingView view(archive);
    QAbstractItemModelTester tester(&view.listingModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    view.fillList();
    QCOMPARE(view.rowCount(), 2);
    view.setFilter("A*");
    QCOMPARE(view.rowCount(), 1);
}

void ListingViewTest::newListingShowsEveryEntrySortedByName()
{
    testing::FakeArchive archive;
    archive.add("SRC/MAIN.C");
    archive.add("README");
    archive.add("DOCS/");
    archive.add("A.TXT");
    ListingView view(archive);
    view.fillList();
    QVERIFY(view.showsDetails());
    QCOMPARE(view.sortOrder(), SortOrder::FileName);
    QCOMPARE(QString::fromStdString(view.filter()), QStringLiteral("*.*"));
    // "*.*" means every entry, the names without a dot as well; a directory entry has an empty file
    // name part and comes first.
    QCOMPARE(rowNames(view), (QStringList{"DOCS/", "A.TXT", "SRC/MAIN.C", "README"}));
    QCOMPARE(view.selectedRowCount(), 0);
    QCOMPARE(view.selectionSummary(), (SelectionSummary{0, 0}));
}

void ListingViewTest::filterIsTakenAsTypedAndAnEmptyOneShowsNothing()
{
    testing::FakeArchive archive;
    archive.add("A.TXT");
    archive.add("B.DOC");
    archive.add("C.txt");
    ListingView view(archive);
    view.fillList();
    QSignalSpy filterChanges(&view, &ListingView::filterChanged);

    view.setFilter("*.TXT");
    QCOMPARE(rowNames(view), (QStringList{"A.TXT", "C.txt"}));
    view.setFilter("*.TXT ");
    QCOMPARE(view.rowCount(), 0);

    view.setFilter("");
    QCOMPARE(view.rowCount(), 0);
    QCOMPARE(filterChanges.count(), 3);
    // With nothing shown every column is as wide as its title.
    FontTextMeasurer measurer(view.textRenderer());
    const ColumnLayout& layout = view.columnLayout();
    QCOMPARE(layout.edges[1], layout.edges[0] + measurer.averageCharacterWidth() + measurer.textWidth("Name"));
}

void ListingViewTest::compressionOrderKeepsTheDirectoryOrder()
{
    testing::FakeArchive archive;
    archive.add("Z.TXT", 3);
    archive.add("A.TXT", 1);
    archive.add("M.TXT", 2);
    ListingView view(archive);
    view.setSort(SortOrder::UncompressedSize);
    QCOMPARE(rowNames(view), (QStringList{"A.TXT", "M.TXT", "Z.TXT"}));
    view.setSort(SortOrder::CompressionOrder);
    QCOMPARE(rowNames(view), (QStringList{"Z.TXT", "A.TXT", "M.TXT"}));
}

void ListingViewTest::rowsAreOneFontHighAndAsWideAsTheirForm()
{
    testing::FakeArchive archive;
    archive.add("DIR/SUB/LONGER-NAME.TXT", 1234567, 1000);
    archive.add("B", 1, 1);
    ListingView view(archive);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    view.setListFont(font);
    view.fillList();
    view.resize(400, 300);
    view.show();

    QModelIndex first = view.listingModel().index(0);
    QCOMPARE(view.visualRect(first).height(), QFontMetrics(font).height());
    QCOMPARE(view.visualRect(first).width(), view.columnLayout().totalWidth);
    // Wider than the window: the list scrolls sideways over the whole row width.
    QVERIFY(view.horizontalScrollBar()->maximum() > 0);

    view.setDisplayMode(false);
    QVERIFY(view.isWrapping());
    QCOMPARE(view.visualRect(view.listingModel().index(0)).width(), nameOnlyColumnWidth(view.columnLayout()));
    QCOMPARE(view.visualRect(view.listingModel().index(0)).height(), QFontMetrics(font).height());
}

void ListingViewTest::mouseAndKeysFollowTheExtendedSelectionModel()
{
    testing::FakeArchive archive;
    for (const char* name : {"A", "B", "C", "D", "E"})
        archive.add(name, 100);
    ListingView view(archive);
    view.fillList();
    view.resize(300, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QWidget* rows = view.viewport();

    QTest::mouseClick(rows, Qt::LeftButton, {}, rowCentre(view, 1));
    QCOMPARE(selectedNames(view), QStringList{"B"});
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ShiftModifier, rowCentre(view, 3));
    QCOMPARE(selectedNames(view), (QStringList{"B", "C", "D"}));
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ControlModifier, rowCentre(view, 2));
    QCOMPARE(selectedNames(view), (QStringList{"B", "D"}));
    QCOMPARE(view.caretEntry()->name, std::string("C"));

    // A key alone moves the caret and selects only its row; with Shift it extends from the anchor.
    QTest::mouseClick(rows, Qt::LeftButton, {}, rowCentre(view, 0));
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(selectedNames(view), QStringList{"B"});
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(selectedNames(view), (QStringList{"B", "C", "D"}));
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(selectedNames(view), (QStringList{"B", "C", "D", "E"}));
    QCOMPARE(view.selectionSummary(), (SelectionSummary{4, 400}));
    // Typing a letter does not jump to a row.
    QTest::keyClick(&view, Qt::Key_A);
    QCOMPARE(view.caretEntry()->name, std::string("E"));
}

void ListingViewTest::selectionLivesInTheEntriesAndIsShared()
{
    testing::FakeArchive archive;
    archive.add("A.TXT", 1024);
    archive.add("B.TXT", 1023);
    archive.add("C.TXT", 1);
    ListingView first(archive);
    first.fillList();
    archive.entry(2).selected = true;
    // A listing opened later shows the selection that is already there.
    ListingView second(archive);
    second.fillList();
    QCOMPARE(selectedNames(second), QStringList{"C.TXT"});
    QCOMPARE(second.selectionSummary(), (SelectionSummary{1, 1}));

    QSignalSpy secondTexts(&second, &ListingView::statusTextRequested);
    first.selectionModel()->select(first.listingModel().index(0), QItemSelectionModel::ClearAndSelect);
    QVERIFY(archive.entry(0).selected);
    QVERIFY(!archive.entry(2).selected);
    QCOMPARE(first.selectionSummary(), (SelectionSummary{1, 1024}));
    QCOMPARE(selectedNames(second), QStringList{"A.TXT"});
    QCOMPARE(second.selectionSummary(), (SelectionSummary{1, 1024}));
    // The other view refreshed its summaries.
    QVERIFY(secondTexts.contains(QVariantList{ListingText::idlePrompt()}));

    second.selectAllRows(true);
    QCOMPARE(first.selectionSummary(), (SelectionSummary{3, 2048}));
    second.selectAllRows(false);
    QCOMPARE(first.selectedRowCount(), 0);
    QCOMPARE(first.selectionSummary(), (SelectionSummary{0, 0}));
}

void ListingViewTest::namesOnlyArrowsMoveBetweenColumns()
{
    testing::FakeArchive archive;
    for (int i = 0; i < 40; ++i)
        archive.add("FILE" + std::to_string(10 + i) + ".TXT");
    ListingView view(archive);
    view.fillList();
    view.setDisplayMode(false);
    view.resize(600, 8 * view.rowHeight());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // The first row of the second column.
    const int firstColumnX = view.visualRect(view.listingModel().index(0)).x();
    int secondColumn = 1;
    while (secondColumn < view.rowCount() &&
           view.visualRect(view.listingModel().index(secondColumn)).x() == firstColumnX)
        ++secondColumn;
    QVERIFY(secondColumn > 1 && secondColumn < view.rowCount());

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rowCentre(view, 0));
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(view.currentIndex().row(), secondColumn);
    QCOMPARE(selectedNames(view).size(), 1);
    QTest::keyClick(&view, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(view.currentIndex().row(), 0);
    QCOMPARE(view.selectedRowCount(), secondColumn + 1);
}

void ListingViewTest::rereadKeepsSelectionAndCaret()
{
    testing::FakeArchive archive;
    for (const char* name : {"A", "B", "C", "D"})
        archive.add(name, 10);
    ListingView view(archive);
    view.fillList();
    view.selectionModel()->select(view.listingModel().index(1), QItemSelectionModel::ClearAndSelect);
    setCaret(view, 3);

    archive.reread();
    // The rows point at the new entries, and the selection came along through them.
    QCOMPARE(view.listingModel().entryAt(0), &archive.entry(0));
    QCOMPARE(selectedNames(view), QStringList{"B"});
    QCOMPARE(view.currentIndex().row(), 3);

    // With fewer rows than before the caret goes to the last row.
    archive.reread(2);
    QCOMPARE(rowNames(view), (QStringList{"A", "B"}));
    QCOMPARE(view.currentIndex().row(), 1);
    QCOMPARE(selectedNames(view), QStringList{"B"});
}

void ListingViewTest::markerCellTellsHowAnEntryIsOpen()
{
    testing::FakeArchive archive;
    archive.add("A");
    archive.add("B");
    archive.add("C");
    archive.openStates["B"] = EntryOpenState::OpenAsArchive;
    archive.openStates["C"] = EntryOpenState::OpenOther;
    ListingView view(archive);
    view.fillList();
    auto markers = [&view] {
        QStringList texts;
        for (int row = 0; row < view.rowCount(); ++row)
            texts << view.listingModel().index(row).data(ListingModel::MarkerRole).toString();
        return texts;
    };
    QCOMPARE(markers(), (QStringList{" ", "*", "+"}));
    // A checked-out archive marks every row.
    archive.checkedOut = true;
    QCOMPARE(markers(), (QStringList{"-", "-", "-"}));
}

void ListingViewTest::toolTipNamesTheMethodAndEncryption()
{
    testing::FakeArchive archive;
    archive.add("A").method = 12;
    ZipEntry& aes = archive.add("B");
    aes.method = 99;
    aes.flags = 1;
    aes.aes = WinZipAesField{.vendorVersion = 2, .strength = 3, .actualMethod = 98};
    ListingView view(archive);
    view.fillList();
    QCOMPARE(view.listingModel().index(0).data(Qt::ToolTipRole).toString(), QStringLiteral("Method: BZip2"));
    QCOMPARE(view.listingModel().index(1).data(Qt::ToolTipRole).toString(), QStringLiteral("Method: PPMd, AES-256"));
}

void ListingViewTest::displayModeSwitchKeepsCaretSelectionAndFont()
{
    testing::FakeArchive archive;
    for (const char* name : {"A", "B", "C", "D"})
        archive.add(name, 10);
    ListingView view(archive);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(15);
    view.setListFont(font);
    view.fillList();
    view.show();
    view.setFocus();
    view.selectionModel()->select(QItemSelection(view.listingModel().index(0), view.listingModel().index(1)),
                                  QItemSelectionModel::ClearAndSelect);
    setCaret(view, 2);
    QSignalSpy modes(&view, &ListingView::displayModeChanged);

    view.setDisplayMode(false);
    view.setDisplayMode(false); // already so: nothing happens
    QCOMPARE(modes.count(), 1);
    QCOMPARE(modes.at(0).at(0).toBool(), false);
    QVERIFY(!view.showsDetails());
    QCOMPARE(view.currentIndex().row(), 2);
    QCOMPARE(selectedNames(view), (QStringList{"A", "B"}));
    QCOMPARE(view.font(), font);

    view.setDisplayMode(true);
    QCOMPARE(modes.count(), 2);
    QVERIFY(view.showsDetails());
    QVERIFY(!view.isWrapping());
    QCOMPARE(view.currentIndex().row(), 2);
    QCOMPARE(selectedNames(view), (QStringList{"A", "B"}));
    QCOMPARE(view.font(), font);
}

void ListingViewTest::fillReportsProgressOnlyAFewTimes()
{
    testing::FakeArchive archive;
    for (int i = 0; i < 2000; ++i)
        archive.add("FILE" + std::to_string(i) + ".TXT");
    ListingView view(archive);
    QSignalSpy texts(&view, &ListingView::statusTextRequested);
    view.fillList();
    // One sorting text, one display text and the summaries: never one repaint per row.
    QCOMPARE(texts.count(), 3);
    QVERIFY(texts.at(0).at(0).toString().startsWith(ListingText::sortingPrefix()));
    QCOMPARE(texts.at(1).at(0).toString(), QStringLiteral("Please wait while displaying."));
    QCOMPARE(texts.at(2).at(0).toString(), ListingText::idlePrompt());
}

void ListingViewTest::sortingLaysOutTheColumnsAgainOnlyForOtherRows()
{
    testing::FakeArchive archive;
    archive.add("B.TXT");
    archive.add("A.TXT");
    ListingView view(archive);
    view.fillList();
    const int32_t shortNames = view.columnLayout().fullNameWidth;
    // The same rows in another order.
    view.setSort(SortOrder::CompressionOrder);
    QCOMPARE(view.listingModel().entryAt(0)->name, std::string("B.TXT"));
    // A longer name among the rows, which no fill has measured yet, widens the name column.
    archive.add("A MUCH LONGER NAME THAN THE OTHERS.TXT");
    view.setSort(SortOrder::FileName);
    QCOMPARE(view.rowCount(), 3);
    QCOMPARE(view.listingModel().entryAt(0)->name, std::string("A MUCH LONGER NAME THAN THE OTHERS.TXT"));
    QVERIFY(view.columnLayout().fullNameWidth > shortNames);
}

void ListingViewTest::selectionListQuotesTheSelectedNames()
{
    testing::FakeArchive archive;
    archive.add("C.DOC");
    archive.add("DIR/B.TXT");
    archive.add("A.TXT");
    archive.add("D.TXT");
    ListingView view(archive);
    view.fillList();
    QCOMPARE(view.buildSelectionList().count, 0);
    QVERIFY(view.buildSelectionList().text.empty());

    for (int row : {0, 1, 2})
        view.selectionModel()->select(view.listingModel().index(row), QItemSelectionModel::Select);
    SelectionList list = view.buildSelectionList();
    QCOMPARE(list.count, 3);
    QCOMPARE(QString::fromStdString(list.text), QStringLiteral("\"A.TXT\" \"DIR/B.TXT\" \"C.DOC\""));
    QCOMPARE(list.text.size(), size_t(27));
}

void ListingViewTest::caretEntryNeedNotBeSelected()
{
    testing::FakeArchive archive;
    archive.add("A");
    archive.add("B");
    ListingView view(archive);
    QCOMPARE(view.caretEntry(), nullptr);
    view.fillList();
    view.selectionModel()->select(view.listingModel().index(0), QItemSelectionModel::ClearAndSelect);
    setCaret(view, 1);
    QCOMPARE(view.caretEntry(), &archive.entry(1));
    QCOMPARE(selectedNames(view), QStringList{"A"});

    QSignalSpy viewRequests(&view, &ListingView::viewEntryRequested);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // A double click arrives as a press and release, then the second press as a double click.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rowCentre(view, 1));
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, rowCentre(view, 1));
    QCOMPARE(viewRequests.count(), 1);
    QCOMPARE(viewRequests.at(0).at(0).value<ZipEntry*>(), &archive.entry(1));
}

void ListingViewTest::releasedListingNoLongerHearsTheDocument()
{
    testing::FakeArchive archive;
    archive.add("A");
    auto view = std::make_unique<ListingView>(archive);
    view->fillList();
    QCOMPARE(archive.document().views().size(), size_t(1));
    view->releaseSource();
    QVERIFY(archive.document().views().empty());
    QCOMPARE(view->rowCount(), 0);
    view->fillList();
    QCOMPARE(view->rowCount(), 0);
    QCOMPARE(view->statusSummary().total, QStringLiteral("Total: 0 file(s) (0 Bytes)"));
    view.reset();
}

QTEST_MAIN(ListingViewTest)
#include "ListingViewTest.moc"
