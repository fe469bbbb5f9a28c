#pragma once

#include "gui/app/DocumentKindBindings.h"

namespace quarvo::gui {

// Binds the ZIP job (".cfz") and UNZIP job (".cfu") kinds: their documents, their form windows and
// their runs.
void addJobBindings(DocumentKindBindings& bindings);

} // namespace quarvo::gui
