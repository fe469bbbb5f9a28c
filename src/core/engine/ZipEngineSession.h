#pragma once

#include "core/engine/CompressionEngines.h"
#include "core/engine/UnzipJobOptions.h"
#include "core/engine/ZipJobOptions.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quarvo {

class AppSettings;
class UserInterface;
struct UnzipOptions;
struct ZipOptions;

namespace SessionResult {
// runZip or runUnzip was asked while another engine operation was running (a command started from
// the event pump of a running one). Nothing was started; the caller treats it as a failure.
constexpr uint16_t Busy = 0xFFFF;
} // namespace SessionResult

// One operation of the ZIP engines: it owns the command block of each engine, fills it from the
// settings, a job or the caller, runs the engine synchronously with the progress window open and
// returns the engine's result. The engines report through callbacks that update the progress window,
// pump the user interface's events (so painting and Cancel work) and stop the engine once a cancel
// was requested.
//
// Every text the blocks point to is a copy owned by the session, so the caller's strings may go
// away; the session therefore can be neither copied nor moved. One session serves one operation;
// only one engine operation runs in the process at a time.
class ZipEngineSession {
  public:
    // Both blocks zeroed except their sizes, callbacks, the value 1 at the reserved words the engines
    // expect it in, and the option bits (3 for dzip, 2 for dunzip).
    ZipEngineSession(UserInterface& ui, CompressionEngines& engines, const AppSettings& settings);
    ZipEngineSession(const ZipEngineSession&) = delete;
    ZipEngineSession& operator=(const ZipEngineSession&) = delete;

    // Copies the ZIP options into the dzip block: password and temporary directory when not empty,
    // the date when files are added by date, old-as-latest, compression level, store path (as "no
    // directory names"), recurse, system and hidden files, span options.
    void applyZipOptions(const ZipOptions& options);
    // The same items from a ZIP job, and also its include and exclude lists when not empty.
    void applyZipJob(const ZipJobOptions& job);
    // Copies password, path recursion, overwrite and recreate (as "no directory names") into the
    // dunzip block.
    void applyUnzipOptions(const UnzipOptions& options);
    // The same four items from an UNZIP job.
    void applyUnzipJob(const UnzipJobOptions& job);

    // Joins each array with single spaces into the include and exclude lists; an empty array gives
    // no list at all.
    void setLists(std::span<const std::string> includeNames, std::span<const std::string> excludeNames);
    // The directory dunzip extracts into; the caller adds the trailing "/".
    void setDestination(const std::string& directory);
    // The archive comment dzip writes; an empty text removes the comment, nothing keeps the old one.
    void setComment(const std::optional<std::string>& comment);

    // The blocks themselves, for the few fields a caller sets directly (repair, forced recursion).
    ZipCommand& zipCommand() { return m_zip; }
    UnzipCommand& unzipCommand() { return m_unzip; }
    // The archive's file name without directory and extension, set by the last run.
    const std::string& archiveTitle() const { return m_archiveTitle; }

    // Runs dzip on archivePath. itemSpecification is enclosed in double quotes unless it already
    // holds one; commandId chooses function and flags (the add family, 2600 delete; any other id
    // leaves the function as set). Shows "Nothing to do!" for result 12. The working directory is the
    // same afterwards as before. Returns the engine's result, or SessionResult::Busy.
    uint16_t runZip(const std::string& archivePath, const std::string& itemSpecification, int commandId);
    // Runs dunzip likewise: 3050 extract, 32782 update, 3150 freshen, 3500 test; any other id is a
    // plain extract. Returns the engine's result, or SessionResult::Busy.
    uint16_t runUnzip(const std::string& archivePath, const std::string& itemSpecification, int commandId);

    // The engines' callbacks; data is the session.
    static int onEngineMessage(const char* text, uint32_t unused, void* data);
    static int onEngineStatus(const char* text, uint32_t percent, void* data);
    static int onEngineQuery(uint32_t code, uint32_t value1, uint32_t value2, uint32_t value3, char* text1,
                             char* text2, void* data);

  private:
    void beginRun(const std::string& archivePath, const std::string& itemSpecification);
    uint16_t runWithProgress(bool zip);
    int pumpEvents();
    void rewriteInPlace(char* text, std::string& buffer);
    void keepEngineMessage(const char* text);
    void reportOutcome(uint16_t result, bool zip, bool testOnly);
    std::string joinedEngineMessages() const;

    UserInterface& m_ui;
    CompressionEngines& m_engines;
    const AppSettings& m_settings;

    std::string m_archiveTitle;
    std::string m_rewrittenText1;
    std::string m_rewrittenText2;
    // What the engine said during the run (the first lines, shown together when the run fails) and
    // its last word (a passed test's summary).
    std::vector<std::string> m_engineMessages;
    std::string m_lastEngineMessage;
    ZipCommand m_zip;
    UnzipCommand m_unzip;
    std::string m_includeList;
    std::string m_excludeList;

    // Storage of the other texts the blocks point to.
    std::string m_archivePath;
    std::string m_itemSpecification;
    std::string m_zipPassword;
    std::string m_unzipPassword;
    std::string m_temporaryDirectory;
    std::string m_date;
    std::string m_comment;
    std::string m_destination;
};

// Whether an engine operation is running in the process. A command started from the event pump of
// a running operation asks this first, so it neither asks the user anything nor starts.
bool isEngineOperationRunning();

// The engine's text with every "DYNAZIP", in any letter case, replaced by "Quarvo"; the rest keeps
// its case. The result is never longer than the text.
std::string replaceEngineName(std::string_view text);

} // namespace quarvo
