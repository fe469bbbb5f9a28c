#pragma once

class QPalette;

namespace quarvo::gui {

// Dialogs are light grey with black text, and what is disabled in them is drawn in grey, so a
// control that does nothing looks it.
QPalette dialogPalette(const QPalette& base);

// Makes dialogPalette the palette of every dialog of the application.
void applyDialogPalette();

} // namespace quarvo::gui
