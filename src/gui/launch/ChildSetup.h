#pragma once

namespace quarvo::gui {

// The state every started program begins in, set up in the child between fork and exec: a session
// of its own (setsid), so that neither Quarvo's exit nor a hangup of its terminal ends it; every
// signal at its default action and none blocked, whatever Quarvo ignores or blocks; and the working
// directory the parent opened. Calls only async-signal-safe functions, as a child of a threaded
// process must. The parent blocks all signals around the fork, so that none of its handlers runs in
// the child before they are reset here. Returns 0, or the errno of entering the directory.
int prepareStartedChild(int workingDirectory);

} // namespace quarvo::gui
