#include "core/documents/OpenItemStages.h"

#include "core/app/CommandIds.h"
#include "core/base/TextCase.h"
#include "core/documents/ApplicationWindows.h"
#include "core/documents/CopyState.h"
#include "core/documents/EntryLaunchServices.h"
#include "core/documents/ItemDirectory.h"
#include "core/documents/KeptCopy.h"
#include "core/documents/OpenItemList.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/framework/DocumentManager.h"
#include "core/framework/View.h"
#include "core/launch/Execute.h"
#include "core/launch/ProgramLauncher.h"
#include "core/settings/AppSettings.h"
#include "core/text/PathParts.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipProbe.h"
#include "engines/api/EngineResult.h"

#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

namespace {

constexpr const char* ChangedQuestion =
    "The file has changed. Do you want to update the ZIP file with the changed file?\n\n";

std::string notExtractedMessage(const std::string& name)
{
    return "An error occured while extracting the file " + name +
           ". The file was NOT extracted.  If a password was required, try again (You might have supplied a "
           "wrong password).";
}

int ask(UserInterface& ui, const std::string& text, MessageButtons buttons, MessageIcon icon)
{
    MessageBoxRequest request;
    request.text = text;
    request.buttons = buttons;
    request.icon = icon;
    return ui.showMessage(request);
}

bool isRegularFile(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool isJobFile(const std::string& name)
{
    std::string_view extension = extensionPart(name);
    return equalsIgnoringCase(extension, "cfu") || equalsIgnoringCase(extension, "cfz");
}

void deleteExtraTemporaryFiles(OpenItem& item)
{
    for (std::string& file : item.extraTemporaryFiles) {
        if (!file.empty())
            ::unlink(file.c_str());
        file.clear();
    }
}

// The stages' view of the document's services.
class Stages {
  public:
    Stages(ZipDocument& document, OpenItem& item)
        : m_document(document), m_item(item), m_services(document.services()),
          m_launch(*document.services().entryLaunch)
    {
    }

    // Stage 1. True when the copy was opened as a document or the item closed; false when it is to
    // be launched instead.
    bool openAsDocument()
    {
        deleteExtraTemporaryFiles(m_item);
        if (!copyIsThere())
            return true;
        const std::string path = m_item.fullTemporaryPath();
        bool job = isJobFile(m_item.name);
        if (!job && !holdsZipDirectory(path))
            return false;
        m_item.stage = OpenItemStage::Watched;
        m_item.kind = job ? OpenItemKind::JobFile : OpenItemKind::ZipInZip;
        if (!m_launch.windows.openDocumentWithWindow(path)) {
            closeOpenItem(m_document, m_item);
            return true;
        }
        m_document.updateAllViews(nullptr, UpdateHint::Repaint);
        return true;
    }

    // Stage 2.
    void launch()
    {
        deleteExtraTemporaryFiles(m_item);
        if (!copyIsThere())
            return;
        m_item.stage = OpenItemStage::Watched;
        LaunchMode mode = m_item.commandLine.empty() ? LaunchMode::Open : LaunchMode::Run;
        if (mode == LaunchMode::Run)
            m_item.launch.command = m_item.commandLine;
        LaunchContext context{m_services.ui, m_launch.launcher, m_services.settings};
        const std::string& name = m_item.useAlternateFileName ? m_item.alternateFileName : m_item.name;
        if (!launchStarted(execute(m_item.launch, LaunchFile{m_item.tempDirectory, name}, mode, context)))
            closeOpenItem(m_document, m_item);
    }

    // Stage 3, after the process endedProcess ended (0 for a window that closed).
    void checkForChanges(int64_t endedProcess)
    {
        const EntryFingerprint entry{m_item.entrySize, m_item.crc32};
        const CopyState copy = inspectCopy(m_item.fullTemporaryPath(), entry);
        if (copy == CopyState::Unchanged && endedProcess != 0 && !m_item.handedOff &&
            m_launch.launcher.watchHandOff(endedProcess, m_item.fullTemporaryPath())) {
            m_item.handedOff = true;
            m_item.launch.processId = endedProcess;
            return;
        }
        if (copy != CopyState::Changed) {
            closeOpenItem(m_document, m_item);
            return;
        }
        m_launch.windows.raiseMainWindow();
        int answer =
            ask(m_services.ui, ChangedQuestion + m_item.name, MessageButtons::YesNo, MessageIcon::Warning);
        if (answer != DialogResult::Yes) {
            keepCopy("The changed file was not put back into the ZIP file. It was kept as:\n\n",
                     MessageIcon::Information);
        } else if (!m_document.canRunCommand(CommandId::PutBackChangedFile) || !putBack()) {
            keepCopy("The ZIP file was not updated with the changed file. It was kept as:\n\n",
                     MessageIcon::Warning);
        } else {
            m_item.updated = true;
        }
        closeOpenItem(m_document, m_item);
    }

  private:
    // A copy that is not a regular file is never opened or launched: a link there would lead the
    // program elsewhere.
    bool copyIsThere()
    {
        if (isRegularFile(m_item.fullTemporaryPath()))
            return true;
        ask(m_services.ui, notExtractedMessage(m_item.name), MessageButtons::Ok, MessageIcon::Warning);
        closeOpenItem(m_document, m_item);
        return false;
    }

    // The copy replaces the entry of its name, whatever its time: an edit within the same
    // two-second tick as the entry is newer too, which a freshen would not see. Only the named file
    // is taken, found directly below the item's directory, so nothing else there goes in.
    bool putBack()
    {
        ZipJobOptions job;
        job.password = m_item.password;
        // An entry goes back encrypted the way it came.
        job.encryption = m_item.method == zipformat::method::Aes ? ZipEncryptionChoice::Aes256
                                                                 : ZipEncryptionChoice::Traditional;
        job.compMethod = static_cast<int>(m_item.method);
        job.storePath = 1;
        job.include = m_item.name.find('"') == std::string::npos ? '"' + m_item.name + '"' : m_item.name;
        ZipEngineSession session(m_services.ui, m_services.engines, m_services.settings);
        session.applyZipJob(job);
        return session.runZip(m_document.path(), m_item.tempDirectory + "/*.*", CommandId::AddFiles) ==
               EngineResult::Ok;
    }

    // The edited copy stays where the user can find it: in the check-out directory, which nothing
    // deletes, or else moved out of the scratch directory, which goes when the program ends.
    void keepCopy(const std::string& text, MessageIcon icon)
    {
        const std::string copy = m_item.fullTemporaryPath();
        if (!m_item.ownsDirectory) {
            ask(m_services.ui, text + copy, MessageButtons::Ok, icon);
            return;
        }
        Result<std::string> kept = keepChangedCopy(copy, m_launch.keptDirectory, m_document.path());
        if (kept) {
            ask(m_services.ui, text + *kept, MessageButtons::Ok, icon);
            return;
        }
        m_item.keepDirectory = true;
        ask(m_services.ui,
            "The changed file could not be kept (" + kept.error().message + "). It stays at\n\n" + copy +
                "\n\nuntil Quarvo ends: copy it elsewhere to keep it.",
            MessageButtons::Ok, MessageIcon::Warning);
    }

    ZipDocument& m_document;
    OpenItem& m_item;
    ZipDocumentServices& m_services;
    EntryLaunchServices& m_launch;
};

void releaseOpenItem(OpenItem& item, EntryLaunchServices& services, DocumentManager& manager)
{
    if (item.kind == OpenItemKind::ZipInZip || item.kind == OpenItemKind::JobFile) {
        if (Document* copy = manager.findByPath(item.fullTemporaryPath())) {
            // The copy's own close must not offer it back: the parent is done with it.
            if (auto* nested = dynamic_cast<ZipDocument*>(copy))
                nested->setUpdateParentOnClose(false);
            services.windows.closeDocument(*copy);
        }
    }
    if (item.ownsDirectory && !item.keepDirectory)
        removeItemDirectory(item.tempDirectory, services.scratchDirectory);
}

} // namespace

void advanceOpenItem(ZipDocument& document, OpenItem& item)
{
    if (!document.services().entryLaunch)
        return;
    const int64_t endedProcess = item.launch.processId;
    item.launch.clear();
    Stages stages(document, item);
    switch (item.stage) {
    case OpenItemStage::ExtractedForViewing:
        if (stages.openAsDocument())
            return;
        stages.launch();
        return;
    case OpenItemStage::ExtractedForRunning:
        stages.launch();
        return;
    case OpenItemStage::Watched:
        stages.checkForChanges(endedProcess);
        return;
    default:
        return;
    }
}

bool closeOpenItem(ZipDocument& document, OpenItem& item)
{
    item.launch.clear();
    for (const auto& entry : document.entries()) {
        if (entry->openItem == &item)
            entry->openItem = nullptr;
    }
    deleteExtraTemporaryFiles(item);
    const bool updated = item.updated;
    document.services().openItems.remove(&item);
    if (updated)
        return document.reload();
    document.updateAllViews(nullptr, UpdateHint::Repaint);
    return true;
}

void installOpenItemHandlers(OpenItemList& openItems, EntryLaunchServices& services, DocumentManager& manager)
{
    openItems.setAdvanceHandler([](OpenItem& item) {
        // Items of other kinds of documents (TAR archives) have stage machines of their own.
        if (auto* document = dynamic_cast<ZipDocument*>(item.document))
            advanceOpenItem(*document, item);
    });
    openItems.setReleaseHandler(
        [&services, &manager](OpenItem& item) { releaseOpenItem(item, services, manager); });
}

} // namespace quarvo
