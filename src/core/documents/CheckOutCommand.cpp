#include "core/documents/CheckOutCommand.h"

#include "core/documents/ArchiveEntrySource.h"
#include "core/documents/CheckOutRecord.h"
#include "core/documents/ChosenDirectory.h"
#include "core/engine/ZipEngineSession.h"
#include "core/framework/Document.h"
#include "core/framework/View.h"
#include "core/settings/AppSettings.h"
#include "core/ui/ArchiveDialogs.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "core/zip/ZipEntry.h"
#include "engines/api/EngineResult.h"

#include <filesystem>

namespace quarvo {

namespace {

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

uint16_t checkOut(ArchiveEntrySource& archive)
{
    if (isEngineOperationRunning())
        return SessionResult::Busy;
    EntrySourceServices services = archive.entryServices();
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
    names.reserve(archive.entries().size());
    for (const auto& entry : archive.entries())
        names.push_back(entry->name);
    CheckOutRecord record(directory, names);

    uint16_t result = archive.extractForCheckOut(directory, values.password);
    if (result != EngineResult::Ok)
        return result;
    archive.setCheckedOut(directory, record.created());
    archive.asDocument().updateAllViews(nullptr, UpdateHint::ContentsRebuilt);
    return result;
}

} // namespace quarvo
