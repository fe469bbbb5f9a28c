#include "gui/app/DialogPalette.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace quarvo::gui {

namespace {

const QColor dialogFace(192, 192, 192);
// Dark enough to read on the grey face, light enough to look unavailable next to black.
const QColor disabledText(112, 112, 112);

} // namespace

QPalette dialogPalette(const QPalette& base)
{
    QPalette palette = base;
    palette.setColor(QPalette::Window, dialogFace);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    // Group boxes and check boxes draw some text in the text role of the face.
    palette.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    return palette;
}

void applyDialogPalette()
{
    QApplication::setPalette(dialogPalette(QApplication::palette()), "QDialog");
}

} // namespace quarvo::gui
