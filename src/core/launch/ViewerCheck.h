#pragma once

#include "core/settings/AppSettings.h"
#include "core/ui/UserInterface.h"

#include <optional>
#include <string>

namespace quarvo {

// Why a default viewer name cannot be used, as the message the user sees. The name is resolved by
// resolveViewerProgram (core/launch/ViewerProgram.h); when that finds nothing, the default name
// "VIEWER.EXE" gives "File not found: \n\"PROGRAM-DIRECTORY/quarvo-viewer\"", another bare name (no
// "/") gives "File not found in path: \n\"name\"", and a path gives "File not found: \n\"name\"".
// nullopt when the viewer is found, and for an empty name, which means "no default viewer". The
// General Options dialog uses the same rule before it accepts a name.
std::optional<std::string> viewerNotFoundMessage(const std::string& viewerName,
                                                 const std::string& programDirectory);

// The General Options dialog over settings. Save and OK take the edited viewer name and log flag
// (Save also writes them with saveGeneral); Cancel keeps the old values, except that a viewer name
// that cannot be found is dropped for this run (the stored name is left alone). Returns the dialog's
// DialogResult.
int editGeneralOptions(AppSettings& settings, UserInterface& ui);

// The start-up check of the viewer, after AppSettings::load: when the viewer cannot be found the user
// is told so (OK button) and gets the General Options dialog to correct it. Never stops start-up.
void checkViewerAtStartup(AppSettings& settings, UserInterface& ui);

} // namespace quarvo
