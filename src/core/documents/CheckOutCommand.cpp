#include "core/documents/CheckOutCommand.h"

#include "core/app/CommandIds.h"
#include "core/documents/CheckOutRecord.h"
#include "core/documents/ChosenDirectory.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/framework/View.h"
#include "core/settings/AppSettings.h"
#include "core/ui/ArchiveDialogs.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "engines/api/EngineResult.h"

#include <filesystem>

namespace quarvo {

namespace {

constexpr const char* AllEntries = "*.*";

// The chosen directory as a full path without a trailing "/": the working directory changes later,
// the check-out stays where it was made. An empty choice is the working directory.
std::string fullDirectory(const std::string& chosen)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(chosen.empty() ? "." : chosen, error);
    if (error)
        return chosen;
    std::string full = path.lexically_normal().string();
    while (full.size() > 1 && full.ends_with('/'))
        full.pop_back();
    return full;
}

bool isEmptyOrMissing(const std::string& directory)
{
    std::error_code error;
    return !std::filesystem::exists(directory, error) || std::filesystem::is_empty(directory, error);
}

bool agreesToNonEmptyDirectory(UserInterface& ui, const std::string& directory)
{
    MessageBoxRequest request;
    request.text = "The directory\n\n" + directory +
                   "\n\nis not empty. Checking out into it replaces the files that have the names of "
                   "entries.\n\nCheck out into it anyway?";
    request.buttons = MessageButtons::YesNo;
    request.icon = MessageIcon::Warning;
    request.defaultButton = DialogResult::No;
    return ui.showMessage(request) == DialogResult::Yes;
}

} // namespace

uint16_t checkOut(ZipDocument& document)
{
    if (isEngineOperationRunning())
        return SessionResult::Busy;
    ZipDocumentServices& services = document.services();
    AppSettings& settings = services.settings;
    CheckOutDialogValues values;
    values.directoryHistory = settings.extractHistory;
    values.destinationDirectory = settings.extractHistory.front();
    if (services.dialogs.editCheckOut(values) != DialogResult::Ok)
        return 0;
    adoptChosenDirectory(settings.extractHistory, values.destinationDirectory);
    const std::string directory = fullDirectory(values.destinationDirectory);
    if (!isEmptyOrMissing(directory) && !agreesToNonEmptyDirectory(services.ui, directory))
        return 0;

    std::vector<std::string> names;
    names.reserve(document.entries().size());
    for (const auto& entry : document.entries())
        names.push_back(entry->name);
    CheckOutRecord record(directory, names);

    ZipEngineSession session(services.ui, services.engines, settings);
    // Overwrite on, stored directories recreated, no path recursion.
    session.applyUnzipJob(UnzipJobOptions{1, 0, 1, values.password});
    session.setDestination(withTrailingSlash(directory));
    uint16_t result = session.runUnzip(document.path(), AllEntries, CommandId::Extract);
    if (result != EngineResult::Ok)
        return result;
    document.setCheckedOut(directory, record.created());
    document.updateAllViews(nullptr, UpdateHint::ContentsRebuilt);
    return result;
}

} // namespace quarvo
