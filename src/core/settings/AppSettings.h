#pragma once

#include "core/settings/FontDescription.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

namespace SettingsLimits {
constexpr size_t RecentFileCount = 4;
constexpr size_t DirectoryHistoryCount = 5;
constexpr int DefaultVerticalDpi = 96;
} // namespace SettingsLimits

namespace SettingsDefaults {
// The default viewer as profiles store it. The name stays for stored profiles; the launcher maps it
// onto the viewer program that ships beside the executable (core/launch/ViewerProgram.h).
constexpr std::string_view ViewerName = "VIEWER.EXE";
} // namespace SettingsDefaults

// The choices of the ZIP Options dialog's encryption list, as stored.
namespace ZipEncryptionChoice {
constexpr int Traditional = 0;
constexpr int Aes256 = 1;
} // namespace ZipEncryptionChoice

// The compression defaults, section "Options", edited by the ZIP Options dialog. Numbers are kept
// exactly as read: a compressionFactor of 12 stays 12 and reaches the engine unchanged.
struct ZipOptions {
    int recurse = 0;
    int compressionFactor = 5; // index: 0 store, 1 shrink, 2..5 reduce 1..4, 6 implode, 7 tokenize, 8 deflate
    int storePath = 0;
    int editComment = 0;
    int addFilesByDate = 0;
    std::string afterDate; // as the user typed it; handed to the engine as text
    int incSysHiddenFiles = 0;
    int oldAsLatest = 0;
    int spanDiskType = 0;     // index: 0 don't span .. 6 wipe subdirectories
    std::string tempFilePath; // empty: the engine's default

    // Kept for the run only, never written to the profile.
    std::string password;
    int backupEntireDrive = 0;

    // How a password encrypts, key "Encryption": 0 the traditional ZIP cipher, 1 AES-256. A new
    // profile starts with AES-256; a profile written before the key existed keeps the traditional
    // cipher its user had until the user chooses otherwise.
    int encryption = ZipEncryptionChoice::Aes256;
};

// The extraction defaults, section "Options", edited by the UNZIP Options dialog.
struct UnzipOptions {
    int overwrite = 0;
    int recreate = 0;
    int recurseOut = 0;

    // Kept for the run only, never written to the profile.
    std::string password;
};

// The TAR unpacking defaults, section "Options", edited by the UNTAR Options dialog.
struct UntarOptions {
    int tarOverwrite = 0;
    int tarRecreate = 0;
    int tarRecurseOut = 0;
    int tarLF2CRLF = 0;
};

// A screen rectangle in pixels, right and bottom exclusive.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const WindowRect&) const = default;
};

// The main window's show state as the profile records it.
enum class WindowShowState { Normal = 1, Minimised = 2, Maximised = 3 };

// Where the main window is when it closes: its show state and its normal (restored) rectangle.
struct WindowPlacement {
    WindowShowState showState = WindowShowState::Normal;
    WindowRect normalRect;
};

// The one process-wide set of user preferences, persisted in the profile file. Fields are named after
// their profile keys. Option dialogs and commands change the fields in memory; only the save
// functions write, each one re-reading the file and replacing just its own keys, so foreign sections
// and keys survive. A write that fails is ignored: the in-memory value stays.
class AppSettings {
  public:
    // Settings over the profile at $XDG_CONFIG_HOME/quarvo.ini (default ~/.config/quarvo.ini), with
    // the program directory of the running executable.
    AppSettings();
    // Settings over an explicit profile path and program directory, for tests and tools.
    AppSettings(std::string profilePath, std::string programDirectory);

    // The default profile location described above; empty when no home directory can be found.
    static std::string defaultProfilePath();

    // Reads every persisted key except the ones start-up reads itself (the load... functions below).
    // verticalDpi is the screen's, for the default font. The viewer is checked separately
    // (checkViewerAtStartup in core/launch), because that may ask the user.
    void load(int verticalDpi = SettingsLimits::DefaultVerticalDpi);

    // Start-up keys, read from the profile into the fields and returned.
    int loadAlwaysOnTop();
    int loadLogFile();
    // The stored normal rectangle, each edge defaulting to the window's current one.
    WindowRect loadWindowRect(const WindowRect& current);
    // The stored working directory, defaulting to the one the process started in.
    std::string loadCurrentDir(const std::string& workingDirectory);

    // Each writes the group its options dialog edits (the dialog's "Save").
    void saveZipOptions();
    void saveUnzipOptions();
    void saveUntarOptions();
    void saveGeneral(); // ViewerName in "PROGRAMS", LogFile in "General"

    // The exit step: recent files, PreviewPages when not 0, CurrentDir (the given working directory,
    // which also becomes currentDir), AlwaysOnTop, then both directory histories, each up to its first
    // empty entry (stored keys after that keep their text).
    void saveOnExit(const std::string& workingDirectory);
    // As above with the process's working directory now.
    void saveOnExit();

    // Main window close: WindowState always; the four WindowPos keys only in the normal state.
    void saveWindowPlacement(const WindowPlacement& placement);

    // The listing's font command: takes the font (face made storable) and writes Font.
    void saveFont(const FontDescription& description);

    // Puts path at the top of the recent files (moving it when present, compared exactly), keeping at
    // most four. Written at exit.
    void addRecentFile(const std::string& path);

    // The profile file these settings read and write.
    const std::string& profilePath() const { return m_profilePath; }
    // Directory of the running executable, without a trailing "/" unless it is "/".
    const std::string& programDirectory() const { return m_programDirectory; }
    // The DOS stub the self-extractor conversions put in front of an archive: "NEW.EXE" beside the
    // executable.
    std::string dosStubPath() const;

    // Section "General".
    int alwaysOnTop = 0;
    WindowRect windowPos; // WindowPosLeft, WindowPosTop, WindowPosRight, WindowPosBottom
    int logFile = 0;
    std::string currentDir;
    FontDescription font = defaultFontDescription(SettingsLimits::DefaultVerticalDpi);

    // Section "Options".
    ZipOptions zipOptions;
    UnzipOptions unzipOptions;
    UntarOptions untarOptions;

    // Section "PROGRAMS": bare name (searched in the program directory and PATH), a path, or empty
    // for no default viewer. The default name means Quarvo's own viewer (resolveViewerProgram).
    std::string viewerName = std::string(SettingsDefaults::ViewerName);

    // Section "Directories": EXTRACT1..5 and COMPRESS1..5, most recent first; empty entries allowed.
    std::array<std::string, SettingsLimits::DirectoryHistoryCount> extractHistory;
    std::array<std::string, SettingsLimits::DirectoryHistoryCount> compressHistory;

    // Section "Recent File List": File1..File4, most recent first, no empty entries.
    std::vector<std::string> recentFiles;

    // Section "Settings".
    int previewPages = 0;

  private:
    std::string m_profilePath;
    std::string m_programDirectory;
};

} // namespace quarvo
