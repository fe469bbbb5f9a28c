#pragma once

#include <QIcon>

namespace quarvo::gui {

// The tool bar's image of a command, drawn as vector art so it is sharp at any size and scale; a
// disabled button gets a faded grey version. A null icon for a command without an image.
QIcon toolIcon(int commandId);

// The program's own icon: an archive box with a zipper, used for the windows and the About box.
QIcon applicationIcon();

} // namespace quarvo::gui
