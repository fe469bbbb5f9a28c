#pragma once

#include "core/ui/FileDialogRequest.h"
#include "engines/api/StreamRequest.h"
#include "engines/api/UntarCommand.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quarvo {

class TarEngine;
class UserInterface;
struct UntarOptions;

namespace TarOpenResult {
// open() read nothing and has nothing to report: the file is no TAR archive (an unpacked stream is
// offered on close), or the user cancelled the unpacking.
constexpr int NotOpened = -1;
// The stream could not be unpacked, or a file named as a compressed stream is not one; the reader
// has said why.
constexpr int NotUnpacked = 1;
} // namespace TarOpenResult

// The reader of one TAR document. It unpacks a compressed stream (GZIP, compress and the others the
// engine knows) into the instance's unpack directory so that the TAR engine reads a plain file,
// drives the engine's directory and extraction functions with the wait window open and Cancel
// working, and when the document closes offers to keep the unpacked file under a name the user
// picks.
//
// The command block lives in the reader for its whole life; the reader is neither copied nor moved.
class TarArchiveReader {
  public:
    TarArchiveReader(UserInterface& ui, TarEngine& engine, std::string unpackDirectory);
    TarArchiveReader(const TarArchiveReader&) = delete;
    TarArchiveReader& operator=(const TarArchiveReader&) = delete;

    // Unpacks path when it is a compressed stream, then opens the (unpacked) file and reads its
    // directory. 0: open, entryCount() valid. TarOpenResult::NotOpened: nothing to report.
    // Anything else: a failure the caller reports (TarOpenResult::NotUnpacked was reported here).
    int open(const std::string& path);
    // Reads the directory of the open archive again; UntarResult::NoArchiveOpen when none is open.
    uint16_t reread();
    // The next entry of the directory read last, or null when there is none.
    const TarEntryRecord* nextEntry();
    // Extracts (3050), updates (32782), freshens (3150) or tests (3500) the entries that the
    // specification names into the target directory; UntarResult::NoArchiveOpen when none is open.
    uint16_t extract(const std::string& specification, int commandId);
    // Closes the archive, then offers to keep an unpacked file; returns the engine's result of the
    // close.
    uint16_t close();

    // Copies the TAR unpacking options into the block.
    void setOptions(const UntarOptions& options);
    void setTargetDirectory(const std::string& directory);
    void setEntryPathCallback(TarEntryPathCallback callback, void* data);

    bool isOpen() const { return m_command.handle != -1; }
    uint32_t entryCount() const { return m_command.entryCount; }
    // The file the engine reads: the archive itself or its unpacked copy.
    const std::string& currentPath() const { return m_currentPath; }
    // The compressed archive, once unpacked; empty otherwise.
    const std::string& compressedPath() const { return m_compressedPath; }
    uint32_t streamType() const { return m_streamType; }
    bool isTarStream() const { return m_isTarStream; }
    // The file name of the file read, without directory and extension, for the wait window's caption.
    const std::string& archiveTitle() const { return m_archiveTitle; }
    // What the engine said during the last call (skipped entries, damage), in order.
    const std::vector<std::string>& engineMessages() const { return m_engineMessages; }

    // The engine's callbacks; data is the reader.
    static int onEngineMessage(const char* text, uint32_t unused, void* data);
    static int onEngineStatus(const char* text, uint32_t percent, void* data);

  private:
    // The outcome of unpacking: the unpacked file's path, or the result open() returns.
    struct Unpacked {
        std::string path;
        int failure = 0;
    };
    Unpacked unpack(const std::string& path);
    int refuseUncompressed(const std::string& reason);
    uint16_t runWithWaitWindow(uint32_t function, const std::string& waitText);
    int pumpEvents();
    static int onUnpackProgress(const char* text, uint32_t percent, void* data);
    void offerUnpackedTar();
    void offerUnpackedFile();
    void saveUnpacked(const std::string& title, std::vector<FileDialogFilter> filters,
                      const std::function<std::string(const std::string&)>& waitText);

    UserInterface& m_ui;
    TarEngine& m_engine;
    std::string m_unpackDirectory;

    std::string m_archiveTitle;
    UntarCommand m_command;
    bool m_isTarStream = true;
    uint32_t m_streamType = StreamType::Plain;
    std::string m_currentPath;
    std::string m_compressedPath;

    std::string m_specification;
    std::string m_targetDirectory;
    bool m_convertLineEnds = false;
    bool m_holdsTar = false;
    std::string m_waitText;
    std::vector<std::string> m_engineMessages;
};

} // namespace quarvo
