#pragma once

#include <QtGlobal>

namespace quarvo::gui {

// Brings forward the window of a running program: a top-level window of process pid, or failing that
// of one of its descendants, is activated and un-minimised. Works on X11, through the window
// manager's EWMH client list (_NET_CLIENT_LIST, _NET_WM_PID, _NET_ACTIVE_WINDOW). Returns false when
// no such window is listed, and always on platforms that give a program no such means (Wayland,
// offscreen), where the caller says it could not find the application.
bool activateWindowOfProcess(qint64 pid);

} // namespace quarvo::gui
