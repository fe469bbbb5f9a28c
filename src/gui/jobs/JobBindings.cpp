#include "gui/jobs/JobBindings.h"

#include "core/app/DocumentKindTable.h"
#include "core/jobs/UnzipJobDocument.h"
#include "core/jobs/ZipJobDocument.h"
#include "gui/jobs/UnzipJobWindow.h"
#include "gui/jobs/ZipJobWindow.h"

namespace quarvo::gui {

namespace {

JobServices servicesOf(ApplicationContext& context)
{
    return {context.ui, context.settings, context.engines, context.openItems};
}

int runJob(Document& document, JobKind, ApplicationContext&)
{
    return static_cast<JobDocument&>(document).execute();
}

template <typename JobDocumentType, typename Window>
DocumentKindBinding bindingOf()
{
    return {
        [](ApplicationContext& context) -> std::unique_ptr<Document> {
            return std::make_unique<JobDocumentType>(servicesOf(context));
        },
        [](Document& document, ApplicationContext& context) -> DocumentWindow* {
            return new Window(static_cast<JobDocumentType&>(document), context.ui);
        },
        runJob,
    };
}

} // namespace

void addJobBindings(DocumentKindBindings& bindings)
{
    bindings[DocumentKindId::ZipJob] = bindingOf<ZipJobDocument, ZipJobWindow>();
    bindings[DocumentKindId::UnzipJob] = bindingOf<UnzipJobDocument, UnzipJobWindow>();
}

} // namespace quarvo::gui
