#include "core/jobs/JobDocument.h"

#include "core/documents/OpenItemList.h"
#include "core/framework/DocumentKind.h"
#include "core/framework/DocumentSaving.h"
#include "core/jobs/JobFile.h"
#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"

namespace quarvo {

namespace {

constexpr const char* OpenFailed = "Failed to open document.";

} // namespace

bool JobDocument::onOpenDocument(const std::string& path)
{
    Result<ProfileFile> profile = loadJobFile(path);
    Result<Ok> read = profile ? this->read(*profile) : Result<Ok>(profile.error());
    if (!read) {
        MessageBoxRequest request;
        request.text = std::string(OpenFailed) + "\n\n" + read.error().message;
        request.icon = MessageIcon::Warning;
        m_services.ui.showMessage(request);
        return false;
    }
    setPath(path);
    return true;
}

Result<Ok> JobDocument::onSaveDocument(const std::string& path)
{
    Result<ProfileFile> profile = write();
    if (!profile)
        return profile.error();
    Result<Ok> saved = saveJobFile(*profile, path, holdsPassword());
    if (saved)
        m_services.settings.addRecentFile(path);
    return saved;
}

FileDialogRequest JobDocument::saveAsRequest() const
{
    FileDialogRequest request;
    if (const DocumentKind* kind = this->kind()) {
        request.filters.push_back({kind->filterName, {"*" + kind->extension}});
        request.defaultExtension = kind->extension.substr(kind->extension.empty() ? 0 : 1);
    }
    request.filters.push_back({"All Files (*.*)", {"*"}});
    return request;
}

int JobDocument::confirmClose(bool)
{
    takeFormValues();
    return saveModifiedDocument(*this, m_services.ui) ? DialogResult::Yes : DialogResult::Cancel;
}

void JobDocument::onCloseDocument()
{
    if (m_updateParentOnClose)
        m_services.openItems.copyWindowClosing(path());
}

bool JobDocument::save()
{
    takeFormValues();
    return saveDocument(*this, m_services.ui);
}

bool JobDocument::saveAs()
{
    takeFormValues();
    return saveDocumentAs(*this, m_services.ui);
}

uint16_t JobDocument::execute()
{
    takeFormValues();
    return run();
}

} // namespace quarvo
