#include "core/documents/OpenEntryCommand.h"

#include "core/app/CommandIds.h"
#include "core/base/TextCase.h"
#include "core/documents/ApplicationWindows.h"
#include "core/documents/CopyState.h"
#include "core/documents/EntryLaunchServices.h"
#include "core/documents/ItemDirectory.h"
#include "core/documents/OpenItemList.h"
#include "core/documents/OpenItemStages.h"
#include "core/documents/ZipDocument.h"
#include "core/engine/ZipEngineSession.h"
#include "core/framework/View.h"
#include "core/launch/CommandLineSplit.h"
#include "core/launch/Execute.h"
#include "core/settings/AppSettings.h"
#include "core/text/PathParts.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "engines/api/EngineResult.h"

#include <array>

namespace quarvo {

namespace {

constexpr const char* NoEntryText = "You must select a file for this operation to work.";
constexpr const char* RunText = "Executing the following command line.";
constexpr const char* OpenElsewhereText = "The file selected can not be shown or run because it is already "
                                          "being shown or run from another ZIP File.\n\n";
constexpr const char* SymbolicLinkText =
    "The file selected is stored as a symbolic link. Quarvo does not show or run links, so that a link "
    "never leads it to another file.\n\n";

// Entries with these extensions may be archives or job files of their own.
constexpr std::array<std::string_view, 4> DocumentExtensions{"zip", "exe", "cfu", "cfz"};

bool mayOpenAsDocument(const std::string& name)
{
    std::string_view extension = extensionPart(name);
    for (std::string_view candidate : DocumentExtensions) {
        if (equalsIgnoringCase(extension, candidate))
            return true;
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
    EntryOpening(ZipDocument& document, View* listing)
        : m_document(document), m_listing(listing), m_services(document.services()),
          m_launch(*document.services().entryLaunch)
    {
    }

    // The entry already has an item: its window or its program comes forward.
    void showAgain(OpenItem& item)
    {
        if (item.kind == OpenItemKind::ZipInZip || item.kind == OpenItemKind::JobFile) {
            if (!m_launch.windows.openDocumentWithWindow(item.fullTemporaryPath()))
                closeOpenItem(m_document, item);
            return;
        }
        if (item.kind != OpenItemKind::LaunchedFile)
            return;
        // Its program ended at once and the copy is being watched: whatever it handed the file to is
        // no process of ours to bring forward. The copy is checked now instead, which ends the item.
        if (item.handedOff) {
            advanceOpenItem(m_document, item);
            return;
        }
        LaunchContext context{m_services.ui, m_launch.launcher, m_services.settings};
        if (activateRunningProgram(item.launch, context) || m_document.isCheckedOut())
            return;
        if (item.stage == OpenItemStage::Watched)
            advanceOpenItem(m_document, item);
        else
            closeOpenItem(m_document, item);
    }

    // The same name is open from another archive: that archive's window comes forward instead.
    void refuseSecondCopy(OpenItem& other)
    {
        warn(m_services.ui, OpenElsewhereText + other.name);
        Document* owner = other.document;
        if (owner && m_launch.windows.openDocumentWithWindow(owner->path()))
            return;
        if (auto* archive = dynamic_cast<ZipDocument*>(owner))
            closeOpenItem(*archive, other);
        else
            m_services.openItems.remove(&other);
    }

    void open(ZipEntry& entry, bool runMode)
    {
        OpenItem& item = m_services.openItems.add(m_document, m_listing);
        item.entrySize = entry.uncompressedSize;
        item.dosTime = entry.modTime;
        item.dosDate = entry.modDate;
        item.crc32 = entry.crc32;
        item.method = entry.method;
        item.name = entry.name;
        item.tempDirectory = m_launch.scratchDirectory;
        entry.openItem = &item;
        if (!askWhatIsNeeded(entry, item, runMode)) {
            closeOpenItem(m_document, item);
            return;
        }
        item.stage = !runMode && mayOpenAsDocument(entry.name) ? OpenItemStage::ExtractedForViewing
                                                               : OpenItemStage::ExtractedForRunning;
        m_document.updateAllViews(nullptr, UpdateHint::Repaint);
        if (m_document.isCheckedOut()) {
            item.tempDirectory = withoutTrailingSlash(m_document.checkoutDirectory());
        } else if (!extract(item)) {
            closeOpenItem(m_document, item);
            return;
        } else if (entry.aes && !entry.aes->checksCrc()) {
            // AE-2 stores no CRC-32; the copy just made, vouched for by its authentication code,
            // gives the one later changes are measured against.
            if (std::optional<uint32_t> crc = copyCrc32(item.fullTemporaryPath()))
                item.crc32 = *crc;
        }
        advanceOpenItem(m_document, item);
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
        ZipEngineSession session(m_services.ui, m_services.engines, m_services.settings);
        // Overwrite on, stored directories recreated, no path recursion.
        session.applyUnzipJob(UnzipJobOptions{1, 0, 1, item.password});
        session.setDestination(item.tempDirectory + "/");
        return session.runUnzip(m_document.path(), item.name, CommandId::Extract) == EngineResult::Ok;
    }

    ZipDocument& m_document;
    View* m_listing;
    ZipDocumentServices& m_services;
    EntryLaunchServices& m_launch;
};

} // namespace

void openEntry(ZipDocument& document, View* listing, ZipEntry* entry, bool runMode)
{
    ZipDocumentServices& services = document.services();
    if (!services.entryLaunch || isEngineOperationRunning())
        return;
    if (!entry || entry->name.ends_with('/')) {
        warn(services.ui, NoEntryText);
        return;
    }
    if (services.settings.alwaysOnTop)
        services.entryLaunch->windows.leaveAlwaysOnTop();
    EntryOpening opening(document, listing);
    if (entry->openItem) {
        opening.showAgain(*entry->openItem);
        return;
    }
    if (!document.canRunCommand(CommandId::ViewFile))
        return;
    if (OpenItem* other = services.openItems.findByName(entry->name)) {
        opening.refuseSecondCopy(*other);
        return;
    }
    if (entry->isSymbolicLink()) {
        warn(services.ui, SymbolicLinkText + entry->name);
        return;
    }
    opening.open(*entry, runMode);
}

} // namespace quarvo
