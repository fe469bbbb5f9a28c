#include "gui/tar/TarBindings.h"

#include "core/app/DocumentKindTable.h"
#include "core/tar/TarDocument.h"
#include "gui/tar/TarWindow.h"

namespace quarvo::gui {

void addTarBindings(DocumentKindBindings& bindings)
{
    DocumentKindBinding binding{
        [](ApplicationContext& context) -> std::unique_ptr<Document> {
            TarDocumentServices services{
                context.ui,         context.archiveDialogs, context.settings,       context.openItems,
                *context.tarEngine, context.documents,      context.unpackDirectory};
            services.entryLaunch = context.entryLaunch;
            return std::make_unique<TarDocument>(std::move(services));
        },
        [](Document& document, ApplicationContext& context) -> DocumentWindow* {
            return new TarWindow(static_cast<TarDocument&>(document), context.settings);
        },
        {},
    };
    for (int kind : {DocumentKindId::Tar, DocumentKindId::Tgz, DocumentKindId::Taz, DocumentKindId::Gz,
                     DocumentKindId::Z})
        bindings[kind] = binding;
}

} // namespace quarvo::gui
