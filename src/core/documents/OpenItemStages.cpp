#include "core/documents/OpenItemStages.h"

#include "core/app/CommandIds.h"
#include "core/documents/ApplicationWindows.h"
#include "core/documents/ArchiveEntrySource.h"
#include "core/documents/CopyState.h"
#include "core/documents/EntryCopyKind.h"
#include "core/documents/EntryLaunchServices.h"
#include "core/documents/ItemDirectory.h"
#include "core/documents/KeptCopy.h"
#include "core/documents/OpenItemList.h"
#include "core/framework/Document.h"
#include "core/framework/DocumentManager.h"
#include "core/framework/View.h"
#include "core/launch/Execute.h"
#include "core/launch/ProgramLauncher.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "core/zip/ZipEntry.h"
#include "core/zip/ZipProbe.h"

#include <sys/stat.h>
#include <unistd.h>

namespace quarvo {

namespace {

constexpr const char* ChangedQuestion =
    "The file has changed. Do you want to update the ZIP file with the changed file?\n\n";
constexpr const char* ReadOnlyQuestion =
    "The file has changed, but a TAR archive is read-only: the changed file cannot be put back into "
    "it.\n\nDo you want to keep the changed file elsewhere?\n\n";

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

void deleteExtraTemporaryFiles(OpenItem& item)
{
    for (std::string& file : item.extraTemporaryFiles) {
        if (!file.empty())
            ::unlink(file.c_str());
        file.clear();
    }
}

// The stages' view of the archive's services.
class Stages {
  public:
    Stages(ArchiveEntrySource& archive, OpenItem& item)
        : m_archive(archive), m_item(item), m_services(archive.entryServices()),
          m_launch(*m_services.entryLaunch)
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
        bool job = entryCopyKind(m_item.name) == EntryCopyKind::JobFile;
        if (!job && !opensAsNestedArchive(path))
            return false;
        m_item.stage = OpenItemStage::Watched;
        m_item.kind = job ? OpenItemKind::JobFile : OpenItemKind::ZipInZip;
        if (!m_launch.windows.openDocumentWithWindow(path)) {
            closeOpenItem(m_archive, m_item);
            return true;
        }
        m_archive.asDocument().updateAllViews(nullptr, UpdateHint::Repaint);
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
            closeOpenItem(m_archive, m_item);
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
            closeOpenItem(m_archive, m_item);
            return;
        }
        m_launch.windows.raiseMainWindow();
        if (m_archive.entryCopyRules().takesChangedCopies)
            offerBack();
        else
            offerToKeep();
        closeOpenItem(m_archive, m_item);
    }

  private:
    // A copy that is not a regular file is never opened or launched: a link there would lead the
    // program elsewhere.
    bool copyIsThere()
    {
        if (isRegularFile(m_item.fullTemporaryPath()))
            return true;
        ask(m_services.ui, notExtractedMessage(m_item.name), MessageButtons::Ok, MessageIcon::Warning);
        closeOpenItem(m_archive, m_item);
        return false;
    }

    // Archives and compressed streams named as such open in the program itself, whatever their
    // data: the document's kind decides by the extension, and its own open says what is wrong with
    // one that is none.
    bool opensAsNestedArchive(const std::string& path) const
    {
        if (!m_archive.entryCopyRules().opensNestedArchives)
            return false;
        return entryCopyKind(m_item.name) == EntryCopyKind::TarArchive || holdsZipDirectory(path);
    }

    void offerBack()
    {
        int answer =
            ask(m_services.ui, ChangedQuestion + m_item.name, MessageButtons::YesNo, MessageIcon::Warning);
        if (answer != DialogResult::Yes) {
            keepCopy("The changed file was not put back into the ZIP file. It was kept as:\n\n",
                     MessageIcon::Information);
        } else if (!m_archive.canRunCommand(CommandId::PutBackChangedFile) ||
                   !m_archive.putBackChangedCopy(m_item)) {
            keepCopy("The ZIP file was not updated with the changed file. It was kept as:\n\n",
                     MessageIcon::Warning);
        } else {
            m_item.updated = true;
        }
    }

    // A read-only archive (TAR) is never offered the copy: the engine that puts copies back writes
    // ZIP archives only and would destroy it. The user may keep the edit elsewhere instead.
    void offerToKeep()
    {
        if (ask(m_services.ui, ReadOnlyQuestion + m_item.name, MessageButtons::YesNo, MessageIcon::Warning) ==
            DialogResult::Yes)
            keepCopy("The changed file was kept as:\n\n", MessageIcon::Information);
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
        Result<std::string> kept =
            keepChangedCopy(copy, m_launch.keptDirectory, m_archive.asDocument().path());
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

    ArchiveEntrySource& m_archive;
    OpenItem& m_item;
    EntrySourceServices m_services;
    EntryLaunchServices& m_launch;
};

void releaseOpenItem(OpenItem& item, EntryLaunchServices& services, DocumentManager& manager)
{
    if (item.kind == OpenItemKind::ZipInZip || item.kind == OpenItemKind::JobFile) {
        if (Document* copy = manager.findByPath(item.fullTemporaryPath())) {
            // The copy's own close must not offer it back: the parent is done with it.
            if (auto* nested = dynamic_cast<ArchiveEntrySource*>(copy))
                nested->setUpdateParentOnClose(false);
            services.windows.closeDocument(*copy);
        }
    }
    if (item.ownsDirectory && !item.keepDirectory)
        removeItemDirectory(item.tempDirectory, services.scratchDirectory);
}

} // namespace

void advanceOpenItem(ArchiveEntrySource& archive, OpenItem& item)
{
    if (!archive.entryServices().entryLaunch)
        return;
    const int64_t endedProcess = item.launch.processId;
    item.launch.clear();
    Stages stages(archive, item);
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

bool closeOpenItem(ArchiveEntrySource& archive, OpenItem& item)
{
    item.launch.clear();
    for (const auto& entry : archive.entries()) {
        if (entry->openItem == &item)
            entry->openItem = nullptr;
    }
    deleteExtraTemporaryFiles(item);
    const bool updated = item.updated;
    archive.entryServices().openItems.remove(&item);
    if (updated)
        return archive.reload();
    archive.asDocument().updateAllViews(nullptr, UpdateHint::Repaint);
    return true;
}

void installOpenItemHandlers(OpenItemList& openItems, EntryLaunchServices& services, DocumentManager& manager)
{
    openItems.setAdvanceHandler([](OpenItem& item) {
        if (auto* archive = dynamic_cast<ArchiveEntrySource*>(item.document))
            advanceOpenItem(*archive, item);
    });
    openItems.setReleaseHandler(
        [&services, &manager](OpenItem& item) { releaseOpenItem(item, services, manager); });
}

} // namespace quarvo
