#pragma once

#include <QAbstractScrollArea>
#include <QString>

namespace quarvo::viewer {

class PagedFile;

// The bytes of a file as hex dump lines (HexFormat.h). Only the lines on screen are read and drawn,
// so a file of any size opens at once; the scroll bar counts lines, several at a time for files too
// long for its range (past 32 GiB).
class HexView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit HexView(const PagedFile& file, QWidget* parent = nullptr);

    qint64 lineCount() const { return m_lineCount; }
    // The line at the top of the view.
    qint64 topLine() const;
    // The text of line, as it is drawn; read from the file on demand.
    QString lineText(qint64 line) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();
    int lineHeight() const;
    int fullyVisibleLines() const;
    qint64 lastTopLine() const;

    const PagedFile& m_file;
    qint64 m_lineCount = 0;
    qint64 m_linesPerStep = 1;
    int m_offsetDigits = 8;
};

} // namespace quarvo::viewer
