#include "core/documents/OpenEntryCommand.h"

#include "core/app/CommandIds.h"
#include "core/documents/ApplicationWindows.h"
#include "core/documents/ArchiveEntrySource.h"
#include "core/documents/CopyState.h"
#include "core/documents/EntryCopyKind.h"
#include "core/documents/EntryLaunchServices.h"
#include "core/documents/ItemDirectory.h"
#include "core/documents/OpenItemList.h"
#include "core/documents/OpenItemStages.h"
#include "core/engine/ZipEngineSession.h"
#include "core/framework/Document.h"
#include "core/framework/View.h"
#include "core/launch/CommandLineSplit.h"
#include "core/launch/Execute.h"
#include "core/settings/AppSettings.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "core/zip/ZipEntry.h"

#include <optional>

namespace quarvo {

namespace {

constexpr const char* NoEntryText = "You must select a file for this operation to work.";
constexpr const char* RunText = "Executing the following command line.";
constexpr const char* OpenElsewhereText = "The file selected can not be shown or run because it is already "
                                          "being shown or run from another ZIP File.\n\n";
constexpr const char* SymbolicLinkText =
    "The file selected is stored as a symbolic link. Quarvo does not show or run links, so that a link "
    "never leads it to another file.\n\n";

// Whether the copy goes to stage 1, to be opened as a document of the program's own: a job file
// always, an archive only where nested archives open.
bool mayOpenAsDocument(const std::string& name, const EntryCopyRules& rules)
{
    switch (entryCopyKind(name)) {
    case EntryCopyKind::JobFile:
        return true;
    case EntryCopyKind::ZipArchive:
    case EntryCopyKind::TarArchive:
        return rules.opensNestedArchives;
    case EntryCopyKind::Other:
        return false;
    }
    return false;
}

void warn(UserInterface& ui, const std::string& text)
{
    MessageBoxRequest request;
    request.text = text;
    request.icon = MessageIcon::Warning;
    ui.showMessage(request);
}

std::string withoutTrailingSlash(std::string directory)
{
    while (directory.size() > 1 && directory.ends_with('/'))
        directory.pop_back();
    return directory;
}

class EntryOpening {
  public:
    EntryOpening(ArchiveEntrySource& archive, View* listing)
        : m_archive(archive), m_listing(listing), m_services(archive.entryServices()),
          m_launch(*m_services.entryLaunch)
    {
    }

    // The entry already has an item: its window or its program comes forward.
    void showAgain(OpenItem& item)
    {
        if (item.kind == OpenItemKind::ZipInZip || item.kind == OpenItemKind::JobFile) {
            if (!m_launch.windows.openDocumentWithWindow(item.fullTemporaryPath()))
                closeOpenItem(m_archive, item);
            return;
        }
        if (item.kind != OpenItemKind::LaunchedFile)
            return;
        // Its program ended at once and the copy is being watched: whatever it handed the file to is
        // no process of ours to bring forward. The copy is checked now instead, which ends the item.
        if (item.handedOff) {
            advanceOpenItem(m_archive, item);
            return;
        }
        LaunchContext context{m_services.ui, m_launch.launcher, m_services.settings};
        if (activateRunningProgram(item.launch, context) || m_archive.isCheckedOut())
            return;
        if (item.stage == OpenItemStage::Watched)
            advanceOpenItem(m_archive, item);
        else
            closeOpenItem(m_archive, item);
    }

    // The same name is open from another archive: that archive's window comes forward instead.
    void refuseSecondCopy(OpenItem& other)
    {
        warn(m_services.ui, OpenElsewhereText + other.name);
        Document* owner = other.document;
        if (owner && m_launch.windows.openDocumentWithWindow(owner->path()))
            return;
        if (auto* archive = dynamic_cast<ArchiveEntrySource*>(owner))
            closeOpenItem(*archive, other);
        else
            m_services.openItems.remove(&other);
    }

    void open(ZipEntry& entry, bool runMode)
    {
        OpenItem& item = m_services.openItems.add(m_archive.asDocument(), m_listing);
        item.entrySize = entry.uncompressedSize;
        item.dosTime = entry.modTime;
        item.dosDate = entry.modDate;
        item.crc32 = entry.crc32;
        item.method = entry.method;
        item.name = entry.name;
        item.tempDirectory = m_launch.scratchDirectory;
        entry.openItem = &item;
        if (!askWhatIsNeeded(entry, item, runMode)) {
            closeOpenItem(m_archive, item);
            return;
        }
        const EntryCopyRules rules = m_archive.entryCopyRules();
        item.stage = !runMode && mayOpenAsDocument(entry.name, rules) ? OpenItemStage::ExtractedForViewing
                                                                      : OpenItemStage::ExtractedForRunning;
        m_archive.asDocument().updateAllViews(nullptr, UpdateHint::Repaint);
        if (m_archive.isCheckedOut()) {
            item.tempDirectory = withoutTrailingSlash(m_archive.checkoutDirectory());
        } else if (!extract(item)) {
            closeOpenItem(m_archive, item);
            return;
        }
        if (!m_archive.recordsChecksumOf(entry))
            takeFingerprint(item);
        advanceOpenItem(m_archive, item);
    }

  private:
    // The command line of a run, and the password of an encrypted entry; false when one was cancelled.
    bool askWhatIsNeeded(const ZipEntry& entry, OpenItem& item, bool runMode)
    {
        if (runMode) {
            std::string commandLine = buildCommandLine(entry.name, {});
            if (m_services.ui.editCommandLine(RunText, commandLine) != DialogResult::Ok)
                return false;
            item.commandLine = commandLine;
        }
        return !entry.isEncrypted() ||
               m_services.ui.askPassword(entry.name, item.password) == DialogResult::Ok;
    }

    // Extracts the entry alone into a private directory made for the item.
    bool extract(OpenItem& item)
    {
        Result<std::string> directory = makeItemDirectory(m_launch.scratchDirectory);
        if (!directory) {
            warn(m_services.ui,
                 "There is no place to extract " + item.name + " to: " + directory.error().message);
            return false;
        }
        item.tempDirectory = *directory;
        item.ownsDirectory = true;
        return m_archive.extractEntryCopy(item);
    }

    // An entry without a CRC-32 of its data (TAR, AES AE-2) is compared with its copy as it was made,
    // which the extraction vouched for (an AES entry by its authentication code). A copy that is
    // missing is left to the stages, which say so.
    static void takeFingerprint(OpenItem& item)
    {
        if (std::optional<EntryFingerprint> made = fingerprintOf(item.fullTemporaryPath())) {
            item.entrySize = made->size;
            item.crc32 = made->crc32;
        }
    }

    ArchiveEntrySource& m_archive;
    View* m_listing;
    EntrySourceServices m_services;
    EntryLaunchServices& m_launch;
};

} // namespace

void openEntry(ArchiveEntrySource& archive, View* listing, ZipEntry* entry, bool runMode)
{
    EntrySourceServices services = archive.entryServices();
    if (!services.entryLaunch || isEngineOperationRunning())
        return;
    if (!entry || entry->name.ends_with('/')) {
        warn(services.ui, NoEntryText);
        return;
    }
    if (services.settings.alwaysOnTop)
        services.entryLaunch->windows.leaveAlwaysOnTop();
    EntryOpening opening(archive, listing);
    if (entry->openItem) {
        opening.showAgain(*entry->openItem);
        return;
    }
    if (!archive.canRunCommand(CommandId::ViewFile))
        return;
    if (OpenItem* other = services.openItems.findByName(entry->name)) {
        opening.refuseSecondCopy(*other);
        return;
    }
    if (archive.isStoredLink(*entry)) {
        warn(services.ui, SymbolicLinkText + entry->name);
        return;
    }
    opening.open(*entry, runMode);
}

} // namespace quarvo
