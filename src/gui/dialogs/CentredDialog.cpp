#include "gui/dialogs/CentredDialog.h"

#include <QScreen>
#include <QShowEvent>

namespace quarvo::gui {

void centreOnParent(QWidget* window)
{
    QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    QScreen* screen = parent ? parent->screen() : window->screen();
    QRect area = parent ? parent->frameGeometry() : (screen ? screen->availableGeometry() : QRect());
    if (area.isEmpty())
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    // A dialog larger than its parent still opens with its title bar on the screen.
    if (screen) {
        const QRect available = screen->availableGeometry();
        frame.moveLeft(std::max(available.left(), std::min(frame.left(), available.right() - frame.width())));
        frame.moveTop(std::max(available.top(), std::min(frame.top(), available.bottom() - frame.height())));
    }
    window->move(frame.topLeft());
}

void CentredDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        centreOnParent(this);
    QDialog::showEvent(event);
}

} // namespace quarvo::gui
