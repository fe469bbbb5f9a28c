#include "gui/listing/PlacedTextRenderer.h"

#include "core/listing/RowCells.h"
#include "core/settings/AppSettings.h"
#include "gui/listing/FontTextMeasurer.h"
#include "gui/listing/HeaderBar.h"
#include "gui/listing/ListingDelegate.h"
#include "gui/listing/ListingFixtures.h"
#include "gui/listing/ListingModel.h"
#include "gui/listing/ListingPane.h"
#include "gui/listing/ListingView.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace quarvo;
using namespace quarvo::gui;

namespace {

QFont proportionalFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    return font;
}

// Where the renderer put each character of the fast-path texts: its glyph and its left and right
// edges along the row.
struct PlacedGlyph {
    quint32 glyph = 0;
    qreal left = 0;
    qreal right = 0;
};

std::vector<PlacedGlyph> placedGlyphs(const PlacedTextRenderer& renderer, std::span<const PlacedText> texts)
{
    QGlyphRun run = renderer.glyphRun(QPointF(0, 0), texts);
    QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(run.glyphIndexes());
    std::vector<PlacedGlyph> glyphs;
    for (qsizetype i = 0; i < run.glyphIndexes().size(); ++i) {
        qreal left = run.positions()[i].x();
        glyphs.push_back({run.glyphIndexes()[i], left, left + advances[i].x()});
    }
    return glyphs;
}

// The glyph drawn for the character at the given position of the given text.
const PlacedGlyph& glyphOf(const std::vector<PlacedGlyph>& glyphs, std::span<const PlacedText> texts, size_t text,
                           size_t character = 0)
{
    size_t index = character;
    for (size_t i = 0; i < text; ++i)
        index += texts[i].text.size();
    return glyphs.at(index);
}

// The index of the text placed at x with the given alignment.
size_t textAt(std::span<const PlacedText> texts, int32_t x, TextAlignment alignment)
{
    for (size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].x == x && texts[i].alignment == alignment)
            return i;
    }
    return texts.size();
}

quint32 glyphFor(const PlacedTextRenderer& renderer, char c)
{
    return QRawFont::fromFont(renderer.font()).glyphIndexesForString(QString(QChar(c))).value(0);
}

bool sameEdge(qreal a, qreal b)
{
    return std::abs(a - b) < 1e-6;
}

QImage paintRow(const ListingDelegate& delegate, const QModelIndex& index, QStyle::State state, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), size);
    option.state = state | QStyle::State_Enabled;
    option.font = proportionalFont();
    option.fontMetrics = QFontMetrics(option.font);
    delegate.paint(&painter, option, index);
    return image;
}

} // namespace

class ListingDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void everyCharacterEndsAtItsCellEdge();
    void cellsFollowTheWidestCharacterSoDigitsLineUp();
    void textsOutsideAsciiAreDrawnAsShapedText();
    void selectedRowsUseTheHighlightColours();
    void headerTitlesFollowTheHorizontalScroll();
};

void ListingDrawingTest::everyCharacterEndsAtItsCellEdge()
{
    testing::FakeArchive archive;
    ZipEntry& entry = archive.add("NOTES.TXT", 1234567, 617283);
    entry.modDate = testing::dosDate(2000, 1, 2);
    entry.modTime = testing::dosTime(13, 45);
    entry.externalAttributes = 0x10;
    entry.comment = "kept";
    entry.commentLength = 4;
    PlacedTextRenderer renderer(proportionalFont());
    FontTextMeasurer measurer(renderer);
    std::vector<ZipEntry*> shown{&entry};
    ColumnLayout layout = layoutColumns(shown, measurer);
    const ColumnEdges& e = layout.edges;
    std::vector<PlacedText> texts = detailedRowTexts(entry, e, rowMarker(false, EntryOpenState::OpenAsArchive));
    std::vector<PlacedGlyph> glyphs = placedGlyphs(renderer, texts);

    // The marker ends where the name begins.
    size_t marker = textAt(texts, e[0], TextAlignment::Right);
    QVERIFY(marker < texts.size());
    QCOMPARE(glyphOf(glyphs, texts, marker).glyph, glyphFor(renderer, '*'));
    QVERIFY(sameEdge(glyphOf(glyphs, texts, marker).right, e[0]));
    QVERIFY(sameEdge(glyphOf(glyphs, texts, textAt(texts, e[0], TextAlignment::Left)).left, e[0]));

    // 1,234,567: the last digit ends at the column's right edge, and each comma has a cell of its own.
    const char* size = "1,234,567";
    for (int k = 0; k < 9; ++k) {
        int32_t edge = e[columnEdge::SizeRight - 8 + size_t(k)];
        const PlacedGlyph& glyph = glyphOf(glyphs, texts, textAt(texts, edge, TextAlignment::Right));
        QCOMPARE(glyph.glyph, glyphFor(renderer, size[k]));
        QVERIFY(sameEdge(glyph.right, edge));
    }
    const size_t sizeRight = columnEdge::SizeRight;
    QCOMPARE(e[sizeRight] - e[sizeRight - 1], layout.digitWidth);
    QCOMPARE(e[sizeRight - 3] - e[sizeRight - 4], layout.commaWidth);
    QCOMPARE(e[sizeRight - 7] - e[sizeRight - 8], layout.commaWidth);

    // The year 2000 shows as 00, and the time's cells start right of the date's.
    QCOMPARE(glyphOf(glyphs, texts, textAt(texts, e[9], TextAlignment::Right)).glyph, glyphFor(renderer, '0'));
    QCOMPARE(glyphOf(glyphs, texts, textAt(texts, e[8], TextAlignment::Right)).glyph, glyphFor(renderer, '0'));
    const PlacedGlyph& firstHourDigit = glyphOf(glyphs, texts, textAt(texts, e[10], TextAlignment::Right));
    QCOMPARE(firstHourDigit.glyph, glyphFor(renderer, '1'));
    QVERIFY(firstHourDigit.left >= e[9]);

    // A directory: "d" in the first attribute cell, "-" in the others.
    QCOMPARE(glyphOf(glyphs, texts, textAt(texts, e[columnEdge::AttributeFirstCell], TextAlignment::Right)).glyph,
             glyphFor(renderer, 'd'));
    QCOMPARE(glyphOf(glyphs, texts, textAt(texts, e[columnEdge::AttributesRight], TextAlignment::Right)).glyph,
             glyphFor(renderer, '-'));

    // An entry at the root with a comment: "->" and the comment from the last column's edge.
    size_t path = textAt(texts, e[columnEdge::PathLeft], TextAlignment::Left);
    QCOMPARE(texts[path].text, std::string("->kept"));
    QVERIFY(sameEdge(glyphOf(glyphs, texts, path).left, e[columnEdge::PathLeft]));
    QVERIFY(glyphOf(glyphs, texts, path, 5).right <= layout.totalWidth);
}

void ListingDrawingTest::cellsFollowTheWidestCharacterSoDigitsLineUp()
{
    testing::FakeArchive archive;
    ZipEntry& ones = archive.add("A", 1111111);
    ZipEntry& nines = archive.add("B", 9999999);
    PlacedTextRenderer renderer(proportionalFont());
    FontTextMeasurer measurer(renderer);
    std::vector<ZipEntry*> shown{&ones, &nines};
    ColumnLayout layout = layoutColumns(shown, measurer);
    int32_t widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        widest = std::max(widest, measurer.textWidth(std::string(1, digit)));
    QCOMPARE(layout.digitWidth, widest);

    // The same digit position of both rows ends at the same pixel.
    std::vector<PlacedText> first = detailedRowTexts(ones, layout.edges, " ");
    std::vector<PlacedText> second = detailedRowTexts(nines, layout.edges, " ");
    std::vector<PlacedGlyph> firstGlyphs = placedGlyphs(renderer, first);
    std::vector<PlacedGlyph> secondGlyphs = placedGlyphs(renderer, second);
    for (size_t cell = columnEdge::SizeRight - 6; cell <= columnEdge::SizeRight; ++cell) {
        int32_t edge = layout.edges[cell];
        QVERIFY(sameEdge(glyphOf(firstGlyphs, first, textAt(first, edge, TextAlignment::Right)).right,
                         glyphOf(secondGlyphs, second, textAt(second, edge, TextAlignment::Right)).right));
    }
}

void ListingDrawingTest::textsOutsideAsciiAreDrawnAsShapedText()
{
    PlacedTextRenderer renderer(proportionalFont());
    std::vector<PlacedText> texts{{0, TextAlignment::Left, "AB"}, {40, TextAlignment::Left, "Ünïcödé"}};
    // Only the ASCII text is in the glyph run.
    QCOMPARE(renderer.glyphRun(QPointF(0, 0), texts).glyphIndexes().size(), 2);
    QCOMPARE(renderer.textWidth("Ünïcödé"), QFontMetricsF(proportionalFont()).horizontalAdvance(QStringLiteral("Ünïcödé")));

    // Both are drawn: there is ink right of x = 40.
    QImage image(200, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    renderer.draw(painter, QPointF(0, 0), texts);
    painter.end();
    int inkLeft = 0;
    int inkRight = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                ++(x < 40 ? inkLeft : inkRight);
        }
    }
    QVERIFY(inkLeft > 0);
    QVERIFY(inkRight > 0);
}

void ListingDrawingTest::selectedRowsUseTheHighlightColours()
{
    testing::FakeArchive archive;
    archive.add("A.TXT", 10);
    ListingView view(archive);
    view.setListFont(proportionalFont());
    view.fillList();
    auto* delegate = qobject_cast<ListingDelegate*>(view.itemDelegate());
    QVERIFY(delegate != nullptr);
    QModelIndex row = view.listingModel().index(0);
    QSize size(view.columnLayout().totalWidth, view.rowHeight());

    QPalette palette = QStyleOptionViewItem().palette;
    QImage plain = paintRow(*delegate, row, {}, size);
    QImage selected = paintRow(*delegate, row, QStyle::State_Selected, size);
    QImage focused = paintRow(*delegate, row, QStyle::State_HasFocus, size);
    QCOMPARE(plain.pixelColor(size.width() - 2, size.height() / 2), palette.color(QPalette::Base));
    QCOMPARE(selected.pixelColor(size.width() - 2, size.height() / 2), palette.color(QPalette::Highlight));
    // The caret row gets a focus rectangle; nothing else changes.
    QVERIFY(focused != plain);
}

void ListingDrawingTest::headerTitlesFollowTheHorizontalScroll()
{
    testing::FakeArchive archive;
    archive.add("SOME/VERY/LONG/DIRECTORY/NAME/WITH/MORE/PARTS/THAN/FIT/FILE.TXT", 1234567, 1000);
    QTemporaryDir directory;
    AppSettings settings(directory.filePath("quarvo.ini").toStdString(), directory.path().toStdString());
    ListingPane pane(archive, settings);
    pane.listing().setListFont(proportionalFont());
    pane.resize(300, 200);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    HeaderBar& bar = pane.headerBar();
    QScrollBar* scroll = pane.listing().horizontalScrollBar();
    QVERIFY(scroll->maximum() > 60);

    const int shift = 60;
    const int left0 = bar.rowLeft();
    QImage unscrolled = bar.grab().toImage();
    scroll->setValue(shift);
    QCOMPARE(bar.rowLeft(), left0 - shift);
    QImage scrolled = bar.grab().toImage();
    // Everything the bar drew moved left by exactly the scrolled distance.
    int width = unscrolled.width() - shift;
    QCOMPARE(scrolled.copy(0, 0, width, unscrolled.height()), unscrolled.copy(shift, 0, width, unscrolled.height()));
    QVERIFY(scrolled != unscrolled);

    // A new layout scrolls both back to the left end.
    pane.listing().layoutColumns();
    QCOMPARE(scroll->value(), 0);
    QCOMPARE(bar.rowLeft(), left0);
}

QTEST_MAIN(ListingDrawingTest)
#include "ListingDrawingTest.moc"
