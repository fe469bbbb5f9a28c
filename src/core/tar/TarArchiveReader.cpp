#include "core/tar/TarArchiveReader.h"

#include "core/app/CancelFlags.h"
#include "core/app/CommandIds.h"
#include "core/base/TextCase.h"
#include "core/base/WorkingDirectoryKeeper.h"
#include "core/settings/AppSettings.h"
#include "core/tar/TarEngine.h"
#include "core/tar/UnpackedFileTransfer.h"
#include "core/text/PathParts.h"
#include "core/ui/DialogResult.h"
#include "core/ui/MessageBoxRequest.h"
#include "core/ui/UserInterface.h"
#include "engines/api/EngineResult.h"

#include <cstring>
#include <unistd.h>

namespace quarvo {

namespace {

constexpr std::string_view ReadingText = "Please wait while reading TAR info.";
constexpr std::string_view ExtractingText = "Please wait while reading Tar info.";
constexpr std::string_view NotDecompressedText = "\nThe archive could not be decompressed.";

std::string unpackWaitText(uint32_t streamType)
{
    switch (streamType) {
    case StreamType::Gzip:
        return "Please wait while deflating GZIP archive.";
    case StreamType::Compress:
        return "Please wait while decompressing LZW archive.";
    default:
        return "Please wait while decompressing archive.";
    }
}

std::string saveFileTitle(uint32_t streamType)
{
    switch (streamType) {
    case StreamType::Gzip:
        return "Save inflated file";
    case StreamType::Compress:
        return "Save uncompressed file";
    default:
        return "Save file";
    }
}

// Copies text into a fixed, NUL-terminated field; false when it does not fit.
template <size_t Size> bool putField(char (&field)[Size], const std::string& text)
{
    if (text.size() >= Size)
        return false;
    std::memcpy(field, text.c_str(), text.size() + 1);
    return true;
}

// A dot that begins the file name starts no extension (".profile" has none).
std::string_view extensionOfName(std::string_view path)
{
    std::string_view name = fileNamePart(path);
    return name.rfind('.') == 0 ? std::string_view() : extensionPart(name);
}

void showWarning(UserInterface& ui, std::string text)
{
    MessageBoxRequest request;
    request.text = std::move(text);
    request.icon = MessageIcon::Warning;
    ui.showMessage(request);
}

} // namespace

TarArchiveReader::TarArchiveReader(UserInterface& ui, TarEngine& engine, std::string unpackDirectory)
    : m_ui(ui), m_engine(engine), m_unpackDirectory(std::move(unpackDirectory))
{
    m_command.reserved60 = 1;
    m_command.statusCallback = &TarArchiveReader::onEngineStatus;
    m_command.statusCallbackData = this;
    m_command.messageCallback = &TarArchiveReader::onEngineMessage;
    m_command.messageCallbackData = this;
}

int TarArchiveReader::open(const std::string& path)
{
    CancelFlags::tarLibrary = false;
    m_isTarStream = true;
    m_archiveTitle = std::string(fileTitlePart(path));

    StreamRequest identify;
    identify.function = StreamFunction::Identify;
    if (!putField(identify.inputPath, path)) {
        showWarning(m_ui, "The path of " + path + " is too long." + std::string(NotDecompressedText));
        return TarOpenResult::NotUnpacked;
    }
    m_streamType = m_engine.runStreamRequest(identify);
    m_holdsTar = identify.holdsTar != 0;

    std::string readPath = path;
    if (m_streamType != StreamType::Plain) {
        Unpacked unpacked = unpack(path);
        if (unpacked.failure != 0) {
            m_streamType = StreamType::Plain;
            return unpacked.failure;
        }
        m_compressedPath = path;
        readPath = unpacked.path;
    }

    // The data decides first; failing that, the name: "x.tar" is TAR, and so is a plain file with no
    // extension at all, while an unpacked file without one is the single file its stream held.
    std::string_view extension = extensionOfName(readPath);
    bool unpacked = m_streamType != StreamType::Plain;
    if (!m_holdsTar && !equalsIgnoringCase(extension, "tar") && (unpacked || !extension.empty())) {
        m_currentPath = readPath;
        if (!unpacked)
            return refuseUncompressed(identify.message);
        m_isTarStream = false;
        return TarOpenResult::NotOpened;
    }

    m_archiveTitle = std::string(fileTitlePart(readPath));
    m_currentPath = readPath;
    m_command.archivePath = m_currentPath.c_str();
    m_command.listing = 1;
    uint16_t result = runWithWaitWindow(UntarFunction::Open, std::string(ReadingText));
    return result == EngineResult::Cancelled ? TarOpenResult::NotOpened : result;
}

TarArchiveReader::Unpacked TarArchiveReader::unpack(const std::string& path)
{
    StreamRequest request;
    request.function = StreamFunction::Unpack;
    putField(request.inputPath, path);
    if (!putField(request.workDirectory, m_unpackDirectory))
        request.workDirectory[0] = 0;
    request.existingOutput = StreamExisting::FreshName;
    m_waitText = unpackWaitText(m_streamType);
    request.statusCallback = &TarArchiveReader::onUnpackProgress;
    request.statusCallbackData = this;
    request.messageCallback = &TarArchiveReader::onEngineMessage;
    request.messageCallbackData = this;

    m_engineMessages.clear();
    m_ui.openProgress(CancelFlags::tarLibrary);
    m_ui.setProgress(m_waitText, 0);
    uint32_t result = m_engine.runStreamRequest(request);
    m_ui.closeProgress();
    if (result == EngineResult::Cancelled)
        return {{}, TarOpenResult::NotOpened};
    if (result != EngineResult::Ok) {
        showWarning(m_ui, request.message + std::string(NotDecompressedText));
        return {{}, TarOpenResult::NotUnpacked};
    }
    m_holdsTar = request.holdsTar != 0;
    return {request.outputPath, 0};
}

// A file the TAR document took for a compressed stream by its name that holds neither a stream nor
// TAR data: the user learns why it does not open.
int TarArchiveReader::refuseUncompressed(const std::string& reason)
{
    showWarning(m_ui, reason + std::string(NotDecompressedText));
    return TarOpenResult::NotUnpacked;
}

uint16_t TarArchiveReader::reread()
{
    CancelFlags::tarLibrary = false;
    if (!isOpen())
        return UntarResult::NoArchiveOpen;
    return runWithWaitWindow(UntarFunction::Reread, std::string(ReadingText));
}

const TarEntryRecord* TarArchiveReader::nextEntry()
{
    m_command.function = UntarFunction::NextEntry;
    return m_engine.runUntar(m_command) == EngineResult::Ok ? m_command.entryRecord : nullptr;
}

uint16_t TarArchiveReader::extract(const std::string& specification, int commandId)
{
    CancelFlags::tarLibrary = false;
    if (!isOpen())
        return UntarResult::NoArchiveOpen;
    m_specification = specification;
    m_command.itemSpecification = m_specification.c_str();
    m_command.freshen = commandId == CommandId::ExtractFreshen ? 1 : 0;
    m_command.update = commandId == CommandId::ExtractUpdate ? 1 : 0;
    m_command.testOnly = commandId == CommandId::TestIntegrity ? 1 : 0;
    m_command.convertLineEnds = m_convertLineEnds ? 1 : 0;
    return runWithWaitWindow(UntarFunction::Extract, std::string(ExtractingText));
}

uint16_t TarArchiveReader::close()
{
    m_command.function = UntarFunction::Close;
    uint16_t result = m_engine.runUntar(m_command);
    if (m_streamType == StreamType::Plain)
        return result;
    if (m_isTarStream)
        offerUnpackedTar();
    else
        offerUnpackedFile();
    return result;
}

void TarArchiveReader::offerUnpackedTar()
{
    std::string name(fileNamePart(m_currentPath));
    MessageBoxRequest question;
    question.text = "Save extracted TAR file: " + toUpperAscii(name) + "?";
    question.buttons = MessageButtons::YesNo;
    question.icon = MessageIcon::Question;
    if (m_ui.showMessage(question) != DialogResult::Yes) {
        ::unlink(m_currentPath.c_str());
        m_streamType = StreamType::Plain;
        return;
    }
    saveUnpacked("Save TAR file", {{"Tar files (*.tar)", {"*.tar"}}, {"All (*.*)", {"*"}}},
                 [](const std::string&) { return std::string("Saving TAR file..."); });
}

void TarArchiveReader::offerUnpackedFile()
{
    saveUnpacked(saveFileTitle(m_streamType), {{"All (*.*)", {"*"}}},
                 [](const std::string& chosen) { return "Saving " + chosen; });
}

// Asks where to keep the unpacked file until it is saved there or the user cancels, which leaves it
// in the unpack directory.
void TarArchiveReader::saveUnpacked(const std::string& title, std::vector<FileDialogFilter> filters,
                                    const std::function<std::string(const std::string&)>& waitText)
{
    FileDialogRequest request;
    request.title = title;
    request.filters = std::move(filters);
    request.fileName = std::string(fileNamePart(m_currentPath));
    request.initialDirectory = std::string(directoryPart(m_compressedPath));
    for (;;) {
        std::string chosen = m_ui.chooseFileToSave(request);
        if (chosen.empty())
            return;
        if (transferUnpackedFile(m_ui, m_currentPath, chosen, waitText(chosen))) {
            m_streamType = StreamType::Plain;
            return;
        }
    }
}

void TarArchiveReader::setOptions(const UntarOptions& options)
{
    m_command.overwrite = options.tarOverwrite != 0 ? 1 : 0;
    m_command.noDirectoryNames = options.tarRecreate == 0 ? 1 : 0;
    m_command.recursePathInformation = options.tarRecurseOut != 0 ? 1 : 0;
    m_convertLineEnds = options.tarLF2CRLF != 0;
}

void TarArchiveReader::setTargetDirectory(const std::string& directory)
{
    m_targetDirectory = directory;
    m_command.destinationDirectory = m_targetDirectory.c_str();
}

void TarArchiveReader::setEntryPathCallback(TarEntryPathCallback callback, void* data)
{
    m_command.entryPathCallback = callback;
    m_command.entryPathCallbackData = data;
}

uint16_t TarArchiveReader::runWithWaitWindow(uint32_t function, const std::string& waitText)
{
    WorkingDirectoryKeeper workingDirectory;
    m_engineMessages.clear();
    m_command.function = function;
    m_ui.openProgress(CancelFlags::tarLibrary);
    m_ui.setProgress(waitText, 0);
    uint16_t result = m_engine.runUntar(m_command);
    m_ui.closeProgress();
    workingDirectory.restore();
    return result;
}

int TarArchiveReader::pumpEvents()
{
    if (m_ui.processEvents())
        CancelFlags::tarLibrary = true;
    return CancelFlags::tarLibrary ? 1 : 0;
}

int TarArchiveReader::onEngineMessage(const char* text, uint32_t, void* data)
{
    auto* reader = static_cast<TarArchiveReader*>(data);
    std::string message = text ? text : "";
    reader->m_ui.setProgressCaption(reader->m_archiveTitle + " - " + message);
    reader->m_engineMessages.push_back(std::move(message));
    return reader->pumpEvents();
}

int TarArchiveReader::onEngineStatus(const char* text, uint32_t percent, void* data)
{
    auto* reader = static_cast<TarArchiveReader*>(data);
    reader->m_ui.setProgressCaption(reader->m_archiveTitle + " - ");
    reader->m_ui.setProgress(text ? text : "", static_cast<int>(percent & 0xFFFF));
    return reader->pumpEvents();
}

// Unpacking keeps its wait text on the status line; only the bar moves.
int TarArchiveReader::onUnpackProgress(const char*, uint32_t percent, void* data)
{
    auto* reader = static_cast<TarArchiveReader*>(data);
    reader->m_ui.setProgress(reader->m_waitText, static_cast<int>(percent & 0xFFFF));
    return reader->pumpEvents();
}

} // namespace quarvo
