#include "viewer/ImageView.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>

namespace quarvo::viewer {

ImageView::ImageView(QImage image, QWidget* parent)
    : QScrollArea(parent), m_image(std::move(image)), m_label(new QLabel)
{
    m_label->setAlignment(Qt::AlignCenter);
    setWidget(m_label);
    setWidgetResizable(true);
    setAlignment(Qt::AlignCenter);
    updatePixmap();
}

void ImageView::setFitToWindow(bool fit)
{
    if (fit == m_fitToWindow)
        return;
    m_fitToWindow = fit;
    updatePixmap();
}

void ImageView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (m_fitToWindow)
        updatePixmap();
}

void ImageView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Z && event->modifiers() == Qt::NoModifier) {
        setFitToWindow(!m_fitToWindow);
        return;
    }
    QScrollArea::keyPressEvent(event);
}

void ImageView::mouseDoubleClickEvent(QMouseEvent*)
{
    setFitToWindow(!m_fitToWindow);
}

void ImageView::updatePixmap()
{
    double scale = 1.0;
    const QSize available = viewport()->size();
    if (m_fitToWindow && !m_image.isNull() && available.isValid() &&
        (m_image.width() > available.width() || m_image.height() > available.height())) {
        scale = std::min(double(available.width()) / m_image.width(),
                         double(available.height()) / m_image.height());
    }
    // Fitting never leaves scroll bars; at actual size they appear when needed.
    setHorizontalScrollBarPolicy(m_fitToWindow ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(m_fitToWindow ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    const QImage shown = scale == 1.0 ? m_image
                                      : m_image.scaled(std::max(1, int(m_image.width() * scale)),
                                                       std::max(1, int(m_image.height() * scale)),
                                                       Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_label->setPixmap(QPixmap::fromImage(shown));
    m_scale = scale;
    emit displayChanged();
}

} // namespace quarvo::viewer
