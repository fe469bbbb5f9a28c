#pragma once

#include <QList>
#include <QMargins>
#include <QRect>

namespace quarvo::gui {

// Fits a window's saved rectangle (its client area, without the frame the window manager draws) to
// the screens there are now, so a placement saved on a larger screen, at another scale factor or on
// a monitor since unplugged still opens with its title bar and its bottom edge in sight.
//
// The screen it falls on is the one whose available area it overlaps most; when it overlaps none,
// the primary screen. The framed rectangle is shrunk to that area and moved into it; what comes
// back is the client rectangle again. A rectangle that fits is returned unchanged.
QRect fitToScreens(const QRect& wanted, const QMargins& frame, const QList<QRect>& availableAreas,
                   const QRect& primaryArea);

// The same for the screens of the running application, with the frame the style expects around a
// top-level window (the title bar above, a thin border elsewhere).
QRect fitToCurrentScreens(const QRect& wanted);

} // namespace quarvo::gui
