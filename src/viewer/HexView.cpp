#include "viewer/HexView.h"

#include "viewer/ByteSpan.h"
#include "viewer/HexFormat.h"
#include "viewer/PagedFile.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <climits>

namespace quarvo::viewer {

namespace {

constexpr qint64 BytesPerLine = static_cast<qint64>(HexBytesPerLine);

} // namespace

HexView::HexView(const PagedFile& file, QWidget* parent)
    : QAbstractScrollArea(parent), m_file(file), m_lineCount(static_cast<qint64>(hexLineCount(file.size()))),
      m_offsetDigits(hexOffsetDigits(static_cast<uint64_t>(file.size())))
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The scroll bar's range is an int: a longer file moves several lines per step.
    m_linesPerStep = std::max<qint64>(1, (m_lineCount + INT_MAX - 1) / INT_MAX);
    updateScrollBars();
}

qint64 HexView::topLine() const
{
    return std::min(verticalScrollBar()->value() * m_linesPerStep, lastTopLine());
}

QString HexView::lineText(qint64 line) const
{
    if (line < 0 || line >= m_lineCount)
        return {};
    const QByteArray bytes = m_file.read(line * BytesPerLine, BytesPerLine);
    return QString::fromStdString(
        hexDumpLine(static_cast<uint64_t>(line * BytesPerLine), byteSpan(bytes), m_offsetDigits));
}

void HexView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int height = lineHeight();
    const int ascent = fontMetrics().ascent();
    const int x = -horizontalScrollBar()->value() + fontMetrics().horizontalAdvance(QLatin1Char(' '));
    const qint64 first = topLine();
    const qint64 count = std::min<qint64>(viewport()->height() / height + 1, m_lineCount - first);
    // One read for the whole screen; a line takes the first sixteen of the bytes from its start.
    const QByteArray bytes = m_file.read(first * BytesPerLine, count * BytesPerLine);
    const QByteArrayView screen(bytes);
    // The loop ends early when the file shrank after it was opened.
    for (qint64 i = 0; i < count && i * BytesPerLine < screen.size(); ++i) {
        const std::string text = hexDumpLine(static_cast<uint64_t>((first + i) * BytesPerLine),
                                             byteSpan(screen.sliced(i * BytesPerLine)), m_offsetDigits);
        painter.drawText(x, static_cast<int>(i) * height + ascent, QString::fromStdString(text));
    }
}

void HexView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void HexView::keyPressEvent(QKeyEvent* event)
{
    // The base class moves by line and page; the ends of the file are added here.
    switch (event->key()) {
    case Qt::Key_Home:
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    case Qt::Key_End:
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void HexView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void HexView::updateScrollBars()
{
    const qint64 steps = (lastTopLine() + m_linesPerStep - 1) / m_linesPerStep;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, static_cast<int>(steps));
    vertical->setSingleStep(1);
    vertical->setPageStep(static_cast<int>(std::max<qint64>(1, fullyVisibleLines() / m_linesPerStep)));

    const QString widest =
        QString::fromStdString(hexDumpLine(0, {}, m_offsetDigits)) + QString(HexBytesPerLine + 2, u' ');
    const int width = fontMetrics().horizontalAdvance(widest);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, width - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

int HexView::lineHeight() const
{
    return std::max(1, fontMetrics().lineSpacing());
}

int HexView::fullyVisibleLines() const
{
    return std::max(1, viewport()->height() / lineHeight());
}

qint64 HexView::lastTopLine() const
{
    return std::max<qint64>(0, m_lineCount - fullyVisibleLines());
}

} // namespace quarvo::viewer
