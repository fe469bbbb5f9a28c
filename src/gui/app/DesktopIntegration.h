#pragma once

namespace quarvo::gui {

// Registers the running program with the desktop, as every start does. A copy that runs from the
// build tree it was compiled in registers nothing unless QUARVO_REGISTER=1, so a developer's
// builds never take the desktop's associations from the installed program.
void registerWithDesktopAtStartup();

// "quarvo --unregister": removes what registration wrote, names each removed file on standard
// output and each failure on standard error. Returns the exit status: 0, or 1 after a failure.
int unregisterFromDesktopAndReport();

} // namespace quarvo::gui
