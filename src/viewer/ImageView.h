#pragma once

#include <QImage>
#include <QScrollArea>

class QLabel;

namespace quarvo::viewer {

// An image, scaled down to fit the window (never up) or at its actual size with scroll bars. "Z" or a
// double click switches between the two.
class ImageView : public QScrollArea {
    Q_OBJECT
public:
    explicit ImageView(QImage image, QWidget* parent = nullptr);

    const QImage& image() const { return m_image; }
    bool fitsToWindow() const { return m_fitToWindow; }
    void setFitToWindow(bool fit);
    // The scale the image is drawn at, 1.0 for actual size.
    double scale() const { return m_scale; }

signals:
    // The scale or the fit changed.
    void displayChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void updatePixmap();

    QImage m_image;
    QLabel* m_label;
    bool m_fitToWindow = true;
    double m_scale = 1.0;
};

} // namespace quarvo::viewer
