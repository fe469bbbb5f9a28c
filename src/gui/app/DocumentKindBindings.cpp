#include "gui/app/DocumentKindBindings.h"

#include "core/app/DocumentKindTable.h"
#include "core/documents/ZipDocument.h"
#include "gui/app/ZipWindow.h"
#include "gui/jobs/JobBindings.h"
#include "gui/tar/TarBindings.h"

namespace quarvo::gui {

DocumentKindBindings builtInDocumentKindBindings()
{
    DocumentKindBindings bindings;
    bindings[DocumentKindId::Zip] = {
        [](ApplicationContext& context) -> std::unique_ptr<Document> {
            ZipDocumentServices services{context.ui,        context.archiveDialogs, context.settings,
                                         context.openItems, context.engines,        context.documents};
            services.entryLaunch = context.entryLaunch;
            return std::make_unique<ZipDocument>(std::move(services));
        },
        [](Document& document, ApplicationContext& context) -> DocumentWindow* {
            return new ZipWindow(static_cast<ZipDocument&>(document), context.settings);
        },
        {},
    };
    addJobBindings(bindings);
    addTarBindings(bindings);
    return bindings;
}

} // namespace quarvo::gui
