#include "gui/app/StartupBanner.h"

#include "gui/app/ProductInfo.h"
#include "gui/app/ToolIcons.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace quarvo::gui {

StartupBanner::StartupBanner(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(420, 200);
    setWindowTitle(ProductInfo::title());
}

void StartupBanner::showNow()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("lifetime"));
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &QWidget::close);
    timer->start(lifetimeMilliseconds);
    // A question or an error at start-up must not be hidden under the banner, which stays on top.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] {
        if (QGuiApplication::modalWindow())
            close();
    });
}

void StartupBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(rect().topLeft(), rect().bottomLeft());
    background.setColorAt(0, QColor(0x2a, 0x4d, 0x7e));
    background.setColorAt(1, QColor(0x16, 0x2b, 0x4a));
    painter.fillRect(rect(), background);
    painter.setPen(QColor(0x0f, 0x1d, 0x33));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    applicationIcon().paint(&painter, QRect(32, 52, 96, 96));

    QFont name = font();
    name.setPixelSize(40);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(Qt::white);
    painter.drawText(QRect(150, 50, width() - 160, 56), Qt::AlignLeft | Qt::AlignVCenter, ProductInfo::title());

    QFont detail = font();
    detail.setPixelSize(14);
    painter.setFont(detail);
    painter.setPen(QColor(0xc8, 0xd6, 0xea));
    painter.drawText(QRect(152, 106, width() - 160, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Archive manager"));
    painter.drawText(QRect(152, 128, width() - 160, 22), Qt::AlignLeft | Qt::AlignVCenter, ProductInfo::versionLine());
}

} // namespace quarvo::gui
