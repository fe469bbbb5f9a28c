#include "core/tar/TarDocument.h"

#include "core/app/CommandIds.h"
#include "core/base/TextCase.h"
#include "core/documents/ArchiveFileDeletion.h"
#include "core/documents/ArchiveInfo.h"
#include "core/documents/EntryDrag.h"
#include "core/documents/OpenItem.h"
#include "core/documents/OpenItemList.h"
#include "core/documents/OpenItemStages.h"
#include "core/framework/DocumentManager.h"
#include "core/framework/View.h"
#include "core/settings/AppSettings.h"
#include "core/text/CompressionRatio.h"
#include "core/text/NumberFormat.h"
#include "core/ui/ArchiveDialogs.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "core/zip/ZipFormat.h"
#include "core/zip/ZipNames.h"
#include "engines/api/EngineResult.h"

#include <chrono>
#include <cstring>
#include <sys/stat.h>
#include <unordered_map>

namespace quarvo {

namespace {

constexpr const char* AllEntries = "*.*";

// "Reading: NAME" at most this often: a hundred thousand entries must not mean as many repaints.
constexpr int64_t StatusIntervalMilliseconds = 100;

int64_t nowMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

} // namespace

TarDocument::TarDocument(TarDocumentServices services)
    : m_services(std::move(services)),
      m_reader(m_services.ui, m_services.engine, m_services.unpackDirectory),
      m_openItems(m_services.openItems, *this)
{
    m_reader.setEntryPathCallback(&TarDocument::onEntryExtracted, this);
}

TarDocument::~TarDocument() = default;

void TarDocument::showMessage(const std::string& text, MessageIcon icon)
{
    MessageBoxRequest request;
    request.text = text;
    request.icon = icon;
    m_services.ui.showMessage(request);
}

void TarDocument::closeSelf()
{
    // The manager destroys this document: nothing may touch it afterwards.
    m_services.manager.closeDocument(this);
}

bool TarDocument::onOpenDocument(const std::string& path)
{
    m_openItems.noteOpening(path);
    setPath(path);
    bool report = true;
    if (!load(report)) {
        if (report) {
            std::string reason = joined(m_reader.engineMessages());
            showMessage("Error loading TAR File. " + (reason.empty() ? "" : "\n" + reason));
        }
        // The document goes without a window: a stream unpacked to a file that is not TAR (or that
        // the engine refused) is offered now.
        m_reader.close();
        return false;
    }
    // Only an archive that opened is worth offering again.
    if (!isZipInZip())
        m_services.settings.addRecentFile(path);
    return true;
}

bool TarDocument::load(bool& report)
{
    report = true;
    m_current = 1 - m_current;
    m_entriesByName.clear();
    entries().clear();
    m_entryTotal = 0;
    m_totalUncompressed = 0;

    struct stat status {};
    if (::stat(path().c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    m_fileSize = static_cast<uint64_t>(status.st_size);
    m_fileTime = status.st_ctim.tv_sec;

    int result = 0;
    if (!m_reader.isOpen()) {
        result = m_reader.open(path());
        if (result == TarOpenResult::NotOpened)
            report = false;
    } else {
        result = m_reader.reread();
    }
    return result == 0 && readEntries();
}

bool TarDocument::readEntries()
{
    m_entryTotal = m_reader.entryCount();
    // The previous list by name, ignoring case, so carrying over costs one look-up per entry.
    std::unordered_map<std::string, size_t> previous;
    EntryList& old = m_lists[1 - m_current];
    for (size_t i = 0; i < old.size(); ++i)
        previous.emplace(toLowerAscii(old[i]->name), i);

    m_lastStatusTime.reset();
    EntryList& current = entries();
    current.reserve(m_entryTotal);
    for (uint64_t i = 0; i < m_entryTotal; ++i) {
        const TarEntryRecord* record = m_reader.nextEntry();
        if (!record)
            return false;
        auto entry = makeTarListEntry(*record, static_cast<int32_t>(i));
        showStatus(entry->name, i + 1 == m_entryTotal);
        m_totalUncompressed += entry->uncompressedSize;
        if (auto found = previous.find(toLowerAscii(entry->name)); found != previous.end() && old[found->second]) {
            entry->selected = old[found->second]->selected;
            entry->openItem = old[found->second]->openItem;
            old[found->second].reset();
        }
        current.push_back(std::move(entry));
    }
    return true;
}

void TarDocument::showStatus(const std::string& name, bool force)
{
    int64_t now = nowMilliseconds();
    if (!force && m_lastStatusTime && now - *m_lastStatusTime < StatusIntervalMilliseconds)
        return;
    m_lastStatusTime = now;
    m_services.ui.setStatusText("Reading: " + escapeControlCharacters(name));
}

bool TarDocument::reload()
{
    bool report = true;
    if (!load(report)) {
        if (report)
            showMessage("Error loading ZIP File: " + path());
        closeSelf();
        return false;
    }
    m_openItems.dropEntries(m_lists[1 - m_current]);
    updateAllViews(nullptr, UpdateHint::ContentsRebuilt);
    return true;
}

bool TarDocument::deleteArchive()
{
    if (isZipInZip() || !askAndDeleteArchiveFile(m_services.ui, path(), openItemCount()))
        return false;
    closeSelf();
    return true;
}

void TarDocument::showInfo()
{
    ZipFileInfo info;
    info.kind = ArchiveInfoKind::Tar;
    info.fileName = path();
    info.fileSize = formatThousands(m_fileSize) + " Bytes";
    info.dateTime = formatInfoDateTime(m_fileTime);
    info.fileCount = formatThousands(m_entryTotal);
    info.totalUncompressed = formatThousands(m_totalUncompressed) + " Bytes";
    info.totalCompressed = info.totalUncompressed;
    info.percentage = std::to_string(compressionRatio(m_totalUncompressed, m_totalUncompressed)) + "%";
    m_services.dialogs.showZipFileInfo(info);
}

std::optional<bool> TarDocument::isCommandEnabled(int commandId) const
{
    return sharedArchiveCommandState(commandId, isZipInZip());
}

uint16_t TarDocument::extract(const std::string& specification, const std::string& directory, int commandId)
{
    return extractWith(specification, directory, commandId, m_services.settings.untarOptions);
}

uint16_t TarDocument::extractWith(const std::string& specification, const std::string& directory,
                                  int commandId, const UntarOptions& options)
{
    m_reader.setOptions(options);
    m_reader.setTargetDirectory(directory.empty() || directory.back() == '/' ? directory : directory + "/");
    uint16_t result = m_reader.extract(specification, commandId);
    const std::vector<std::string>& said = m_reader.engineMessages();
    bool testing = commandId == CommandId::TestIntegrity;
    // What the engine said would vanish with the wait window: a failure shows it, and so does a test,
    // which exists to tell the user something. The user's own cancel needs no words.
    if (result == EngineResult::Cancelled || said.empty() || (result == EngineResult::Ok && !testing))
        return result;
    MessageBoxRequest request;
    request.caption = m_reader.archiveTitle();
    request.icon = result == EngineResult::Ok ? MessageIcon::Information : MessageIcon::Warning;
    request.text = result == EngineResult::Ok ? said.back() : joined(said);
    m_services.ui.showMessage(request);
    return result;
}

int TarDocument::onEntryExtracted(const char* writtenPath, const char* entryName, void* data)
{
    auto* document = static_cast<TarDocument*>(data);
    if (!writtenPath || !entryName)
        return 0;
    std::string name = decodeArchiveText(
        {reinterpret_cast<const uint8_t*>(entryName), std::strlen(entryName)}, zipformat::flag::Utf8Names);
    // Every extracted entry calls back: one look-up each, not a walk of the whole list.
    if (document->m_entriesByName.empty()) {
        for (auto& entry : document->entries())
            document->m_entriesByName.emplace(toLowerAscii(entry->name), static_cast<TarListEntry*>(entry.get()));
    }
    auto found = document->m_entriesByName.find(toLowerAscii(name));
    if (found == document->m_entriesByName.end())
        return 0;
    found->second->extractedPath = writtenPath;
    return 1;
}

int TarDocument::confirmClose(bool)
{
    offerChangedCopiesBeforeClose();
    m_checkOut.offerDeletion(m_services.ui, path(), [this] { return extractedPaths(); });
    return DialogResult::Yes;
}

// Closing removes the copies still open in their programs. Each one that changed is offered first,
// as when its program ends: the archive is read-only, so the user may keep it elsewhere. Without
// this the changes made in a viewer that is still open would go with the copy, unasked.
void TarDocument::offerChangedCopiesBeforeClose()
{
    for (OpenItem* item : m_services.openItems.itemsOf(*this)) {
        if (item->kind != OpenItemKind::LaunchedFile || item->stage != OpenItemStage::Watched)
            continue;
        // The program is still running: no ended process to follow to another one.
        item->launch.processId = 0;
        advanceOpenItem(*this, *item);
    }
}

// Only what the check-out wrote goes: without a record of what it created, the paths the engine
// reported for this archive's entries, taken by the removal that never follows a link.
std::vector<std::string> TarDocument::extractedPaths() const
{
    std::vector<std::string> written;
    for (const auto& entry : entries()) {
        const std::string& path = static_cast<const TarListEntry&>(*entry).extractedPath;
        if (!path.empty())
            written.push_back(path);
    }
    return written;
}

void TarDocument::onCloseDocument()
{
    m_openItems.offerCopyToParent(path());
    m_reader.close();
    // The names point into the lists.
    m_entriesByName.clear();
    for (EntryList& list : m_lists)
        m_openItems.dropEntries(list);
    m_openItems.removeAll();
}

EntrySourceServices TarDocument::entryServices()
{
    return {m_services.ui, m_services.dialogs, m_services.settings, m_services.openItems,
            m_services.entryLaunch};
}

EntryCopyRules TarDocument::entryCopyRules() const
{
    EntryCopyRules rules;
    rules.opensNestedArchives = false;
    rules.takesChangedCopies = false;
    return rules;
}

bool TarDocument::isStoredLink(const ZipEntry& entry) const
{
    return S_ISLNK(static_cast<const TarListEntry&>(entry).mode);
}

// The copy is the entry as stored: its line ends are never converted, whatever the options say.
// The name is quoted so that a blank does not split it; a name that is stored is never taken as a
// pattern, so "*" or "?" in it stand for themselves.
bool TarDocument::extractEntryCopy(const OpenItem& item)
{
    UntarOptions options;
    options.tarOverwrite = 1;
    options.tarRecreate = 1;
    std::string specification = item.name.find('"') == std::string::npos ? '"' + item.name + '"' : item.name;
    return extractWith(specification, item.tempDirectory, CommandId::Extract, options) == EngineResult::Ok;
}

// Overwrite on, stored directories recreated and no path recursion for this run only; the UNTAR
// options keep what the user chose, line ends included.
uint16_t TarDocument::extractForCheckOut(const std::string& directory, const std::string&)
{
    UntarOptions options = m_services.settings.untarOptions;
    options.tarOverwrite = 1;
    options.tarRecreate = 1;
    options.tarRecurseOut = 0;
    return extractWith(AllEntries, directory, CommandId::Extract, options);
}

bool TarDocument::extractEntriesForDrag(const std::vector<std::string>& names, const std::string& directory)
{
    return extractDraggedEntries(m_services.ui, names, [&](const std::string& specification) {
        UntarOptions options;
        options.tarOverwrite = 1;
        options.tarRecreate = 1;
        return extractWith(specification, directory, CommandId::Extract, options);
    });
}

bool TarDocument::putBackChangedCopy(const OpenItem&)
{
    return false;
}

} // namespace quarvo
