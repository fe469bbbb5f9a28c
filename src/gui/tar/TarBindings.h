#pragma once

#include "gui/app/DocumentKindBindings.h"

namespace quarvo::gui {

// Binds the five TAR kinds (".tar", ".tgz", ".taz", ".gz", ".z"): their documents and windows.
void addTarBindings(DocumentKindBindings& bindings);

} // namespace quarvo::gui
