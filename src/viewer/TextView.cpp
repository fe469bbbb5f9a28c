#include "viewer/TextView.h"

#include <QFontDatabase>

namespace quarvo::viewer {

TextView::TextView(const QString& text, QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Keyboard selection and copying stay; typing does not reach a read-only view.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setPlainText(text);
}

} // namespace quarvo::viewer
