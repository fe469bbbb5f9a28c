#include "core/documents/ConvertCommand.h"

#include "core/app/CommandIds.h"
#include "core/convert/ArchiveConverter.h"
#include "core/convert/BuiltInStubs.h"
#include "core/convert/LinuxExtractor.h"
#include "core/documents/ApplicationWindows.h"
#include "core/documents/EntryLaunchServices.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/framework/DocumentManager.h"
#include "core/settings/AppSettings.h"
#include "core/text/PathParts.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "core/ui/WaitCursor.h"

#include <optional>
#include <vector>

namespace quarvo {

namespace {

// What differs between the conversion commands: the dialog and the words of the failure message.
struct ConversionForm {
    int commandId;
    ConversionMode mode;
    const char* title;
    std::vector<FileDialogFilter> filters;
    const char* extension; // lower case, as Linux tools write extensions
    const char* fileKind;  // "Error creating " + fileKind + " file ..."
};

const std::vector<ConversionForm>& conversionForms()
{
    static const std::vector<ConversionForm> forms = {
        {CommandId::ConvertToZip,
         ConversionMode::Zip,
         "EXE TO ZIP",
         {{"ZIP (*.zip)", {"*.zip"}}, {"All Files (*.*)", {"*.*"}}},
         "zip",
         "ZIP"},
        {CommandId::ConvertToDosExe,
         ConversionMode::DosExe,
         "ZIP TO EXE",
         {{"EXE (*.exe)", {"*.exe"}}, {"All Files (*.*)", {"*.*"}}},
         "exe",
         "EXE"},
        {CommandId::ConvertToWindowsExe,
         ConversionMode::WindowsExe,
         "Create Windows EXE File",
         {{"EXE (*.exe)", {"*.exe"}}, {"All Files (*.*)", {"*.*"}}},
         "exe",
         "Windows EXE"},
        {CommandId::ConvertToLinuxExtractor,
         ConversionMode::LinuxExtractor,
         "Create Linux Self-Extractor",
         {{"Linux Self-Extractor (*.run)", {"*.run"}}, {"All Files (*.*)", {"*.*"}}},
         "run",
         "Linux self-extractor"},
    };
    return forms;
}

const ConversionForm* formOf(int commandId)
{
    for (const ConversionForm& form : conversionForms()) {
        if (form.commandId == commandId)
            return &form;
    }
    return nullptr;
}

// The archive's path with its extension (if any) replaced by extension.
std::string proposedName(const std::string& archivePath, const char* extension)
{
    std::string name(fileNamePart(archivePath));
    const size_t dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + "." + extension;
}

std::string askTarget(ZipDocument& document, const ConversionForm& form)
{
    FileDialogRequest request;
    request.title = form.title;
    request.filters = form.filters;
    request.initialDirectory = std::string(directoryPart(document.path()));
    request.fileName = proposedName(document.path(), form.extension);
    request.defaultExtension = form.extension;
    return document.services().ui.chooseFileToSave(request);
}

void showError(ZipDocument& document, const std::string& text)
{
    MessageBoxRequest message;
    message.text = text;
    message.icon = MessageIcon::Warning;
    document.services().ui.showMessage(message);
}

} // namespace

bool convertDocument(ZipDocument& document, int commandId)
{
    const ConversionForm* form = formOf(commandId);
    if (!form || isEngineOperationRunning() || !document.canRunCommand(commandId))
        return false;
    ZipDocumentServices& services = document.services();
    const std::string target = askTarget(document, *form);
    if (target.empty())
        return false;
    // A document open on the target loses its file: it asks first, so viewed copies are not
    // dropped without a word.
    if (Document* open = services.manager.findByPath(target);
        open && open->confirmClose(false) != DialogResult::Yes)
        return false;

    const std::string source = document.path();
    Result<Ok, ConvertError> converted = ConvertError{};
    {
        WaitCursor waiting(services.ui);
        std::optional<std::vector<uint8_t>> extractor;
        ConversionStubs stubs{builtInDosStub(), builtInWindowsImageRecord(), {}};
        if (form->mode == ConversionMode::LinuxExtractor) {
            Result<std::vector<uint8_t>, ConvertError> loaded =
                loadLinuxExtractor(services.settings.programDirectory());
            if (loaded)
                extractor = std::move(*loaded);
            else
                converted = loaded.error();
        }
        if (extractor)
            stubs.linuxExtractor = *extractor;
        if (form->mode != ConversionMode::LinuxExtractor || extractor)
            converted = convertArchive(source, target, form->mode, stubs);
    }
    if (!converted) {
        const bool noFile = converted.error().failure == ConvertFailure::CannotCreateOutput;
        showError(document, "Error creating " + std::string(form->fileKind) + " file " +
                                (noFile ? target : "from " + source) + "!\n" +
                                describeConvertError(converted.error()));
        (void)document.reload();
        return false;
    }
    // The document itself may be the one on the target: nothing of it is used once it is closed.
    DocumentManager& manager = services.manager;
    EntryLaunchServices* launch = services.entryLaunch;
    if (Document* open = manager.findByPath(target))
        manager.closeDocument(open);
    // In the program the new file opens in a window of its own; without windows (tests, scripts)
    // as a document only.
    if (launch)
        launch->windows.openDocumentWithWindow(target);
    else
        manager.openDocument(target);
    return true;
}

} // namespace quarvo
