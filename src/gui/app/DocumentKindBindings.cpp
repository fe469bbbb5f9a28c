#include "gui/app/DocumentKindBindings.h"

namespace quarvo::gui {

DocumentKindBindings builtInDocumentKindBindings()
{
    // No document kind has its documents and windows yet: the archive and job kinds bind
    // themselves here as they arrive.
    return {};
}

} // namespace quarvo::gui
