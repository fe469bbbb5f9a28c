#pragma once

#include <QString>

namespace quarvo::gui {

// The program's manual: the first that exists of MANUAL.md and README.md in the installation's
// documentation directory (share/doc/quarvo beside the program's bin), then in the docs and top
// directories of the source tree it was built from. Empty when there is none.
QString manualPath(const QString& programDirectory);

// Opens the manual with the desktop's viewer for it; false when there is no manual or nothing
// could show it.
bool openManual(const QString& programDirectory);

} // namespace quarvo::gui
