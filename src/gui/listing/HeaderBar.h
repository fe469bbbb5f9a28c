#pragma once

#include <QPointer>
#include <QWidget>

namespace quarvo::gui {

class ListingView;

// The bar above a detailed listing that shows the eight column titles over their columns, follows
// the listing's horizontal scrolling, and selects or clears every row when clicked. It is one line
// of the listing's font tall plus a pixel, and changes its height with that font, so the window
// around it lays out again.
class HeaderBar : public QWidget {
    Q_OBJECT
public:
    explicit HeaderBar(QWidget* parent = nullptr);

    // The listing whose columns the bar shows; until one is set the bar is plain gray.
    void setListing(ListingView* listing);
    ListingView* listing() const { return m_listing; }

    // Draws the titles in this font and takes its height plus one pixel.
    void setHeaderFont(const QFont& font);
    // Where a listing row's left edge is, in the bar's coordinates: negative while the listing is
    // scrolled to the right.
    int rowLeft() const;

    QSize sizeHint() const override;

signals:
    // A text for the status bar's message pane: the hint while the pointer is over the bar, the
    // idle prompt (which brings the archive's summaries back) when it leaves or after a click.
    void statusTextRequested(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPointer<ListingView> m_listing;
};

} // namespace quarvo::gui
