#include "core/engine/ZipEngineSession.h"

#include "core/app/CancelFlags.h"
#include "core/base/WorkingDirectoryKeeper.h"
#include "core/app/CommandIds.h"
#include "core/base/TextCase.h"
#include "core/settings/AppSettings.h"
#include "core/text/PathParts.h"
#include "core/ui/DialogResult.h"
#include "core/ui/UserInterface.h"
#include "engines/api/EngineResult.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <filesystem>

namespace quarvo {

namespace {

constexpr std::string_view EngineName = "DYNAZIP";
constexpr std::string_view ProgramName = "Quarvo";
constexpr std::string_view PreambleWord = "PREAMBLE";
constexpr std::string_view WaitText = "Please wait while reading ZIP info.";
constexpr std::string_view NothingToDoText = "Nothing to do!";
// A failing run over a large archive may report a line per entry; the box shows the first ones.
constexpr size_t MaximumShownMessages = 20;
constexpr int MaximumPercent = 100;
constexpr int DeleteCompressionLevel = 5;

struct ZipOperation {
    int commandId;
    uint32_t function;
    bool deleteSourceFiles;
};

constexpr std::array<ZipOperation, 7> ZipOperations{{
    {CommandId::AddFiles, ZipFunction::Add, false},
    {CommandId::UpdateFiles, ZipFunction::Update, false},
    {CommandId::FreshenFiles, ZipFunction::Freshen, false},
    {CommandId::MoveFiles, ZipFunction::Add, true},
    {CommandId::MoveUpdateFiles, ZipFunction::Update, true},
    {CommandId::MoveFreshenFiles, ZipFunction::Freshen, true},
    {CommandId::DeleteEntries, ZipFunction::Delete, false},
}};

// The span options word of each SpanDiskType index; an index outside the list means no spanning.
constexpr std::array<uint16_t, 7> SpanOptionWords{0, 0x8000, 0x8001, 0x8003, 0x8700, 0x8200, 0x8100};

uint16_t spanOptionsFor(int spanDiskType)
{
    if (spanDiskType < 0 || static_cast<size_t>(spanDiskType) >= SpanOptionWords.size())
        return 0;
    return SpanOptionWords[static_cast<size_t>(spanDiskType)];
}

// Only one engine operation may run in the process: the callbacks pump events, and a command started
// from there must not run a second engine over the same files.
std::atomic<bool> engineRunning{false};

class RunningFlag {
  public:
    RunningFlag() : m_acquired(!engineRunning.exchange(true)) {}
    ~RunningFlag()
    {
        if (m_acquired)
            engineRunning = false;
    }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;
    bool acquired() const { return m_acquired; }

  private:
    bool m_acquired;
};

std::string quotedUnlessQuoted(const std::string& specification)
{
    if (specification.find('"') != std::string::npos)
        return specification;
    return '"' + specification + '"';
}

const char* pointerOrNull(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}

uint32_t given(const void* pointer)
{
    return pointer ? 1 : 0;
}

std::string joinNames(std::span<const std::string> names)
{
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty())
            joined += ' ';
        joined += name;
    }
    return joined;
}

} // namespace

bool isEngineOperationRunning()
{
    return engineRunning;
}

std::string replaceEngineName(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    size_t from = 0;
    for (size_t found = findIgnoringCase(text, EngineName); found != std::string_view::npos;
         found = findIgnoringCase(text, EngineName, from)) {
        result.append(text.substr(from, found - from));
        result.append(ProgramName);
        from = found + EngineName.size();
    }
    result.append(text.substr(from));
    return result;
}

ZipEngineSession::ZipEngineSession(UserInterface& ui, CompressionEngines& engines,
                                   const AppSettings& settings)
    : m_ui(ui), m_engines(engines), m_settings(settings)
{
    m_zip.messageCallback = &ZipEngineSession::onEngineMessage;
    m_zip.messageCallbackData = this;
    m_zip.statusCallback = &ZipEngineSession::onEngineStatus;
    m_zip.statusCallbackData = this;
    m_zip.queryCallback = &ZipEngineSession::onEngineQuery;
    m_zip.queryCallbackData = this;
    m_zip.reserved32 = 1;
    m_zip.optionBits = ZipOptionBits::Default;

    m_unzip.statusCallback = &ZipEngineSession::onEngineStatus;
    m_unzip.statusCallbackData = this;
    m_unzip.messageCallback = &ZipEngineSession::onEngineMessage;
    m_unzip.messageCallbackData = this;
    m_unzip.queryCallback = &ZipEngineSession::onEngineQuery;
    m_unzip.queryCallbackData = this;
    m_unzip.reserved56 = 1;
    m_unzip.optionBits = 2;
}

void ZipEngineSession::applyZipOptions(const ZipOptions& options)
{
    ZipJobOptions job;
    job.password = options.password;
    job.encryption = options.encryption;
    job.tempFilePath = options.tempFilePath;
    job.addNewerFiles = options.addFilesByDate;
    job.date = options.afterDate;
    job.oldAsLatest = options.oldAsLatest;
    job.compMethod = options.compressionFactor;
    job.storePath = options.storePath;
    job.recurseSubdirs = options.recurse;
    job.includeSystemHidden = options.incSysHiddenFiles;
    job.spanDisks = options.spanDiskType;
    applyZipJob(job);
}

void ZipEngineSession::applyZipJob(const ZipJobOptions& job)
{
    m_zipPassword = job.password;
    m_zip.password = pointerOrNull(m_zipPassword);
    const int encryption = job.encryption.value_or(m_settings.zipOptions.encryption);
    m_zip.encryption = encryption == ZipEncryptionChoice::Aes256 ? ZipEncryption::Aes256 : ZipEncryption::Traditional;
    m_temporaryDirectory = job.tempFilePath;
    m_zip.temporaryDirectory = pointerOrNull(m_temporaryDirectory);
    m_date = job.addNewerFiles == 1 ? job.date : std::string();
    m_zip.date = job.addNewerFiles == 1 ? m_date.c_str() : nullptr;
    m_zip.oldAsLatest = static_cast<uint32_t>(job.oldAsLatest);
    m_zip.compressionLevel = static_cast<uint32_t>(job.compMethod);
    m_zip.noDirectoryNames = job.storePath == 0 ? 1 : 0;
    m_zip.recurse = static_cast<uint32_t>(job.recurseSubdirs);
    m_zip.includeSystemAndHidden = static_cast<uint32_t>(job.includeSystemHidden);
    m_zip.spanOptions = spanOptionsFor(job.spanDisks);
    if (!job.include.empty()) {
        m_includeList = job.include;
        m_zip.includeList = m_includeList.c_str();
    }
    if (!job.exclude.empty()) {
        m_excludeList = job.exclude;
        m_zip.excludeList = m_excludeList.c_str();
    }
}

void ZipEngineSession::applyUnzipOptions(const UnzipOptions& options)
{
    applyUnzipJob({options.overwrite, options.recurseOut, options.recreate, options.password});
}

void ZipEngineSession::applyUnzipJob(const UnzipJobOptions& job)
{
    // The pointer is set even for an empty password; runUnzip decrypts only with a non-empty one.
    m_unzipPassword = job.password;
    m_unzip.password = m_unzipPassword.c_str();
    m_unzip.recursePathInformation = static_cast<uint32_t>(job.recurse);
    m_unzip.overwrite = static_cast<uint32_t>(job.overwrite);
    m_unzip.noDirectoryNames = job.recreate == 0 ? 1 : 0;
}

void ZipEngineSession::setLists(std::span<const std::string> includeNames,
                                std::span<const std::string> excludeNames)
{
    m_includeList = joinNames(includeNames);
    m_zip.includeList = includeNames.empty() ? nullptr : m_includeList.c_str();
    m_excludeList = joinNames(excludeNames);
    m_zip.excludeList = excludeNames.empty() ? nullptr : m_excludeList.c_str();
}

void ZipEngineSession::setDestination(const std::string& directory)
{
    m_destination = directory;
    m_unzip.destinationDirectory = m_destination.c_str();
}

void ZipEngineSession::setComment(const std::optional<std::string>& comment)
{
    m_comment = comment.value_or(std::string());
    m_zip.comment = comment ? m_comment.c_str() : nullptr;
}

void ZipEngineSession::beginRun(const std::string& archivePath, const std::string& itemSpecification)
{
    CancelFlags::zipEngine = false;
    m_archiveTitle = fileTitlePart(archivePath);
    m_archivePath = archivePath;
    m_itemSpecification = quotedUnlessQuoted(itemSpecification);
}

uint16_t ZipEngineSession::runZip(const std::string& archivePath, const std::string& itemSpecification,
                                  int commandId)
{
    RunningFlag running;
    if (!running.acquired())
        return SessionResult::Busy;
    beginRun(archivePath, itemSpecification);
    m_zip.archivePath = m_archivePath.c_str();
    m_zip.itemSpecification = m_itemSpecification.c_str();

    m_zip.deleteSourceFiles = 0;
    auto operation =
        std::find_if(ZipOperations.begin(), ZipOperations.end(),
                     [commandId](const ZipOperation& entry) { return entry.commandId == commandId; });
    if (operation != ZipOperations.end()) {
        m_zip.function = operation->function;
        m_zip.deleteSourceFiles = operation->deleteSourceFiles ? 1 : 0;
        if (commandId == CommandId::DeleteEntries) {
            m_zip.optionBits &= static_cast<uint16_t>(~ZipOptionBits::Bit0);
            m_zip.compressionLevel = DeleteCompressionLevel;
        }
    }

    m_zip.temporaryDirectoryGiven = given(m_zip.temporaryDirectory);
    m_zip.commentGiven = given(m_zip.comment);
    m_zip.dateGiven = given(m_zip.date);
    m_zip.includeListGiven = given(m_zip.includeList);
    m_zip.excludeListGiven = given(m_zip.excludeList);
    m_zip.encrypt = given(m_zip.password);

    m_zip.writeLog = static_cast<uint32_t>(m_settings.logFile);
    m_zip.reserved32 = 0;
    if (equalsIgnoringCase(extensionPart(archivePath), "exe"))
        m_zip.optionBits |= ZipOptionBits::SelfExtractor;
    return runWithProgress(true);
}

uint16_t ZipEngineSession::runUnzip(const std::string& archivePath, const std::string& itemSpecification,
                                    int commandId)
{
    RunningFlag running;
    if (!running.acquired())
        return SessionResult::Busy;
    beginRun(archivePath, itemSpecification);
    m_unzip.archivePath = m_archivePath.c_str();
    m_unzip.itemSpecification = m_itemSpecification.c_str();
    m_unzip.function = UnzipFunction::Extract;
    m_unzip.decrypt = m_unzip.password && m_unzip.password[0] != '\0' ? 1 : 0;
    m_unzip.freshen = commandId == CommandId::ExtractFreshen ? 1 : 0;
    m_unzip.update = commandId == CommandId::ExtractUpdate ? 1 : 0;
    m_unzip.testOnly = commandId == CommandId::TestIntegrity ? 1 : 0;
    m_unzip.writeLog = static_cast<uint32_t>(m_settings.logFile);
    return runWithProgress(false);
}

uint16_t ZipEngineSession::runWithProgress(bool zip)
{
    WorkingDirectoryKeeper workingDirectory;
    m_ui.openProgress(CancelFlags::zipEngine);
    m_ui.setProgress(std::string(WaitText), 0);
    m_engineMessages.clear();
    m_lastEngineMessage.clear();
    uint16_t result = zip ? m_engines.runDzip(m_zip) : m_engines.runDunzip(m_unzip);
    // The outcome is told once the progress window, whose Cancel means nothing any more, is gone.
    m_ui.closeProgress();
    if (zip && result == EngineResult::NothingToDo) {
        MessageBoxRequest request;
        request.text = std::string(NothingToDoText);
        m_ui.showMessage(request);
    } else {
        reportOutcome(result, zip, !zip && m_unzip.testOnly != 0);
    }
    workingDirectory.restore();
    return result;
}

int ZipEngineSession::pumpEvents()
{
    if (m_ui.processEvents())
        CancelFlags::zipEngine = true;
    return CancelFlags::zipEngine ? 1 : 0;
}

// The progress window closes when the engine returns, so what the engine said would vanish with it:
// a failed run shows its messages in one box, and a passed test shows the engine's last word (its
// summary), since a test exists to tell the user something. A successful write speaks only of what
// it left out (hidden files not taken, a source that vanished or is not a regular file), which the
// listing would never show; a successful extraction speaks through the files. A cancel is the
// user's own doing.
void ZipEngineSession::reportOutcome(uint16_t result, bool zip, bool testOnly)
{
    if (result == EngineResult::Cancelled || m_engineMessages.empty())
        return;
    MessageBoxRequest request;
    request.caption = m_archiveTitle;
    if (result == EngineResult::Ok) {
        if (!testOnly && !zip)
            return;
        request.icon = MessageIcon::Information;
        request.text = testOnly ? m_lastEngineMessage : joinedEngineMessages();
        m_ui.showMessage(request);
        return;
    }
    request.icon = MessageIcon::Warning;
    request.text = joinedEngineMessages();
    m_ui.showMessage(request);
}

// The engine's messages, one a line, at most MaximumShownMessages of them.
std::string ZipEngineSession::joinedEngineMessages() const
{
    std::string text;
    size_t shown = std::min(m_engineMessages.size(), MaximumShownMessages);
    for (size_t i = 0; i < shown; ++i)
        text += (i ? "\n" : "") + m_engineMessages[i];
    if (shown < m_engineMessages.size())
        text += "\n...";
    return text;
}

void ZipEngineSession::keepEngineMessage(const char* text)
{
    if (!text || text[0] == '\0')
        return;
    m_lastEngineMessage = text;
    if (m_engineMessages.size() <= MaximumShownMessages)
        m_engineMessages.emplace_back(text);
}

int ZipEngineSession::onEngineMessage(const char* text, uint32_t, void* data)
{
    auto* session = static_cast<ZipEngineSession*>(data);
    session->keepEngineMessage(text);
    session->m_ui.setProgressCaption(session->m_archiveTitle + " - " + (text ? text : ""));
    return session->pumpEvents();
}

int ZipEngineSession::onEngineStatus(const char* text, uint32_t percent, void* data)
{
    auto* session = static_cast<ZipEngineSession*>(data);
    int shown = static_cast<int>(std::min<uint32_t>(percent, MaximumPercent));
    session->m_ui.setProgress(text ? text : "", shown);
    return session->pumpEvents();
}

int ZipEngineSession::onEngineQuery(uint32_t code, uint32_t, uint32_t, uint32_t, char* text1, char* text2,
                                    void* data)
{
    auto* session = static_cast<ZipEngineSession*>(data);
    if (text1) {
        if (findIgnoringCase(text1, PreambleWord) != std::string_view::npos)
            return 1;
        session->rewriteInPlace(text1, session->m_rewrittenText1);
    }
    if (text2 && code != EngineQuery::ArchiveComment)
        session->rewriteInPlace(text2, session->m_rewrittenText2);
    return 0;
}

void ZipEngineSession::rewriteInPlace(char* text, std::string& buffer)
{
    buffer = replaceEngineName(text);
    // The replacement is shorter than the word it replaces, so the engine's buffer always holds it.
    std::memcpy(text, buffer.c_str(), buffer.size() + 1);
}

} // namespace quarvo
