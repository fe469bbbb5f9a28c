#include "gui/app/ScreenFit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace quarvo::gui {

namespace {

qint64 overlap(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

const QRect& areaFor(const QRect& framed, const QList<QRect>& areas, const QRect& primaryArea)
{
    const QRect* best = &primaryArea;
    qint64 bestOverlap = 0;
    for (const QRect& area : areas) {
        if (qint64 shared = overlap(framed, area); shared > bestOverlap) {
            best = &area;
            bestOverlap = shared;
        }
    }
    return *best;
}

// Moves start so that a span of the given length begins at or after low and ends by high.
int clampStart(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}

} // namespace

QRect fitToScreens(const QRect& wanted, const QMargins& frame, const QList<QRect>& availableAreas,
                   const QRect& primaryArea)
{
    const QRect framed = wanted.marginsAdded(frame);
    const QRect& area = areaFor(framed, availableAreas, primaryArea);
    if (area.isEmpty())
        return wanted;
    const QSize size = framed.size().boundedTo(area.size());
    const QPoint topLeft(clampStart(framed.left(), size.width(), area.left(), area.left() + area.width()),
                         clampStart(framed.top(), size.height(), area.top(), area.top() + area.height()));
    return QRect(topLeft, size).marginsRemoved(frame);
}

QRect fitToCurrentScreens(const QRect& wanted)
{
    QList<QRect> areas;
    for (QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    QScreen* primary = QGuiApplication::primaryScreen();
    const QRect primaryArea = primary ? primary->availableGeometry() : QRect();
    // The window manager's real frame is known only once the window is shown; the style's title bar
    // height and frame width are a close, slightly generous stand-in.
    const QStyle* style = QApplication::style();
    const int border = style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int titleBar = style->pixelMetric(QStyle::PM_TitleBarHeight);
    return fitToScreens(wanted, QMargins(border, titleBar + border, border, border), areas, primaryArea);
}

} // namespace quarvo::gui
