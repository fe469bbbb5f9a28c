#include "core/settings/AppSettings.h"

#include "core/settings/ExecutableLocation.h"
#include "core/settings/ProfileFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <pwd.h>
#include <unistd.h>

namespace quarvo {

namespace {

namespace Section {
constexpr std::string_view General = "General";
constexpr std::string_view Options = "Options";
constexpr std::string_view Programs = "PROGRAMS";
constexpr std::string_view Directories = "Directories";
constexpr std::string_view RecentFiles = "Recent File List";
constexpr std::string_view Settings = "Settings";
} // namespace Section

constexpr std::string_view ProfileFileName = "quarvo.ini";

std::string numberedKey(std::string_view prefix, size_t number)
{
    return std::string(prefix) + std::to_string(number);
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string homeDirectory()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

// Re-reads the profile, lets change replace its keys and writes it back, so keys written by anyone
// else since start-up survive. A profile that is there but cannot be read is left alone rather than
// replaced by one holding only these keys. A failed write is ignored by design: the values stay in
// memory.
void updateProfile(const std::string& path, const std::function<void(ProfileFile&)>& change)
{
    std::optional<ProfileFile> profile = ProfileFile::loadForUpdate(path);
    if (!profile)
        return;
    change(*profile);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    (void)profile->save(path);
}

void readHistory(const ProfileFile& profile, std::string_view prefix,
                 std::array<std::string, SettingsLimits::DirectoryHistoryCount>& history)
{
    for (size_t i = 0; i < history.size(); ++i)
        history[i] = profile.readString(Section::Directories, numberedKey(prefix, i + 1), "");
}

// Writes entries up to the first empty one; stored keys after that keep their text.
void writeHistory(ProfileFile& profile, std::string_view prefix,
                  const std::array<std::string, SettingsLimits::DirectoryHistoryCount>& history)
{
    for (size_t i = 0; i < history.size() && !history[i].empty(); ++i)
        profile.writeString(Section::Directories, numberedKey(prefix, i + 1), history[i]);
}

} // namespace

AppSettings::AppSettings() : AppSettings(defaultProfilePath(), executableDirectory()) {}

AppSettings::AppSettings(std::string profilePath, std::string programDirectory)
    : m_profilePath(std::move(profilePath)), m_programDirectory(std::move(programDirectory))
{
}

std::string AppSettings::defaultProfilePath()
{
    // The base directory specification tells to ignore a relative XDG_CONFIG_HOME.
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/')
        return withoutTrailingSlashes(configHome) + "/" + std::string(ProfileFileName);
    std::string home = homeDirectory();
    if (home.empty())
        return {};
    return withoutTrailingSlashes(home) + "/.config/" + std::string(ProfileFileName);
}

void AppSettings::load(int verticalDpi)
{
    ProfileFile profile = ProfileFile::load(m_profilePath);

    font = defaultFontDescription(verticalDpi);
    if (std::optional<std::string> stored = profile.value(Section::General, "Font"))
        font = parseFontDescription(*stored, font);

    ZipOptions& zip = zipOptions;
    zip.recurse = profile.readInt(Section::Options, "Recurse", 0);
    zip.compressionFactor = profile.readInt(Section::Options, "CompressionFactor", 5);
    zip.storePath = profile.readInt(Section::Options, "StorePath", 0);
    zip.editComment = profile.readInt(Section::Options, "EditComment", 0);
    zip.addFilesByDate = profile.readInt(Section::Options, "AddFilesByDate", 0);
    zip.afterDate = profile.readString(Section::Options, "AfterDate", "");
    zip.incSysHiddenFiles = profile.readInt(Section::Options, "IncSysHiddenFiles", 0);
    zip.oldAsLatest = profile.readInt(Section::Options, "OldAsLatest", 0);
    zip.spanDiskType = profile.readInt(Section::Options, "SpanDiskType", 0);
    zip.tempFilePath = profile.readString(Section::Options, "TempFilePath", "");
    std::error_code missing;
    const bool existingProfile = std::filesystem::exists(m_profilePath, missing);
    zip.encryption = profile.readInt(Section::Options, "Encryption",
                                     existingProfile ? ZipEncryptionChoice::Traditional : ZipEncryptionChoice::Aes256);

    unzipOptions.overwrite = profile.readInt(Section::Options, "Overwrite", 0);
    unzipOptions.recreate = profile.readInt(Section::Options, "Recreate", 0);
    unzipOptions.recurseOut = profile.readInt(Section::Options, "RecurseOut", 0);

    untarOptions.tarOverwrite = profile.readInt(Section::Options, "TarOverwrite", 0);
    untarOptions.tarRecreate = profile.readInt(Section::Options, "TarRecreate", 0);
    untarOptions.tarRecurseOut = profile.readInt(Section::Options, "TarRecurseOut", 0);
    untarOptions.tarLF2CRLF = profile.readInt(Section::Options, "TarLF2CRLF", 0);

    viewerName = profile.readString(Section::Programs, "ViewerName", SettingsDefaults::ViewerName);

    readHistory(profile, "EXTRACT", extractHistory);
    readHistory(profile, "COMPRESS", compressHistory);

    recentFiles.clear();
    for (size_t i = 1; i <= SettingsLimits::RecentFileCount; ++i) {
        std::string path = profile.readString(Section::RecentFiles, numberedKey("File", i), "");
        if (!path.empty())
            recentFiles.push_back(std::move(path));
    }

    previewPages = profile.readInt(Section::Settings, "PreviewPages", 0);
}

int AppSettings::loadAlwaysOnTop()
{
    alwaysOnTop = ProfileFile::load(m_profilePath).readInt(Section::General, "AlwaysOnTop", 0);
    return alwaysOnTop;
}

int AppSettings::loadLogFile()
{
    logFile = ProfileFile::load(m_profilePath).readInt(Section::General, "LogFile", 0);
    return logFile;
}

WindowRect AppSettings::loadWindowRect(const WindowRect& current)
{
    ProfileFile profile = ProfileFile::load(m_profilePath);
    windowPos.left = profile.readInt(Section::General, "WindowPosLeft", current.left);
    windowPos.top = profile.readInt(Section::General, "WindowPosTop", current.top);
    windowPos.right = profile.readInt(Section::General, "WindowPosRight", current.right);
    windowPos.bottom = profile.readInt(Section::General, "WindowPosBottom", current.bottom);
    return windowPos;
}

std::string AppSettings::loadCurrentDir(const std::string& workingDirectory)
{
    currentDir =
        ProfileFile::load(m_profilePath).readString(Section::General, "CurrentDir", workingDirectory);
    return currentDir;
}

void AppSettings::saveZipOptions()
{
    updateProfile(m_profilePath, [this](ProfileFile& profile) {
        const ZipOptions& zip = zipOptions;
        profile.writeInt(Section::Options, "Recurse", zip.recurse);
        profile.writeInt(Section::Options, "CompressionFactor", zip.compressionFactor);
        profile.writeInt(Section::Options, "StorePath", zip.storePath);
        profile.writeInt(Section::Options, "EditComment", zip.editComment);
        profile.writeInt(Section::Options, "AddFilesByDate", zip.addFilesByDate);
        profile.writeString(Section::Options, "AfterDate", zip.afterDate);
        profile.writeInt(Section::Options, "IncSysHiddenFiles", zip.incSysHiddenFiles);
        profile.writeInt(Section::Options, "OldAsLatest", zip.oldAsLatest);
        profile.writeInt(Section::Options, "SpanDiskType", zip.spanDiskType);
        profile.writeString(Section::Options, "TempFilePath", zip.tempFilePath);
        profile.writeInt(Section::Options, "Encryption", zip.encryption);
    });
}

void AppSettings::saveUnzipOptions()
{
    updateProfile(m_profilePath, [this](ProfileFile& profile) {
        profile.writeInt(Section::Options, "Overwrite", unzipOptions.overwrite);
        profile.writeInt(Section::Options, "Recreate", unzipOptions.recreate);
        profile.writeInt(Section::Options, "RecurseOut", unzipOptions.recurseOut);
    });
}

void AppSettings::saveUntarOptions()
{
    updateProfile(m_profilePath, [this](ProfileFile& profile) {
        profile.writeInt(Section::Options, "TarOverwrite", untarOptions.tarOverwrite);
        profile.writeInt(Section::Options, "TarRecreate", untarOptions.tarRecreate);
        profile.writeInt(Section::Options, "TarRecurseOut", untarOptions.tarRecurseOut);
        profile.writeInt(Section::Options, "TarLF2CRLF", untarOptions.tarLF2CRLF);
    });
}

void AppSettings::saveGeneral()
{
    updateProfile(m_profilePath, [this](ProfileFile& profile) {
        profile.writeString(Section::Programs, "ViewerName", viewerName);
        profile.writeInt(Section::General, "LogFile", logFile);
    });
}

void AppSettings::saveOnExit(const std::string& workingDirectory)
{
    currentDir = workingDirectory;
    updateProfile(m_profilePath, [this](ProfileFile& profile) {
        for (size_t i = 1; i <= SettingsLimits::RecentFileCount; ++i) {
            std::string key = numberedKey("File", i);
            if (i <= recentFiles.size())
                profile.writeString(Section::RecentFiles, key, recentFiles[i - 1]);
            else
                profile.removeKey(Section::RecentFiles, key);
        }
        if (previewPages != 0)
            profile.writeInt(Section::Settings, "PreviewPages", previewPages);
        profile.writeString(Section::General, "CurrentDir", currentDir);
        profile.writeInt(Section::General, "AlwaysOnTop", alwaysOnTop);
        // A profile without the encryption key is one written before the key existed. The choice
        // this run started with is recorded, so a new profile is never mistaken for such an old one
        // at the next start (the ZIP Options' Save writes it as well).
        if (!profile.value(Section::Options, "Encryption"))
            profile.writeInt(Section::Options, "Encryption", zipOptions.encryption);
        writeHistory(profile, "EXTRACT", extractHistory);
        writeHistory(profile, "COMPRESS", compressHistory);
    });
}

void AppSettings::saveOnExit()
{
    std::error_code error;
    std::filesystem::path workingDirectory = std::filesystem::current_path(error);
    saveOnExit(error ? currentDir : workingDirectory.string());
}

void AppSettings::saveWindowPlacement(const WindowPlacement& placement)
{
    if (placement.showState == WindowShowState::Normal)
        windowPos = placement.normalRect;
    updateProfile(m_profilePath, [this, &placement](ProfileFile& profile) {
        if (placement.showState == WindowShowState::Normal) {
            profile.writeInt(Section::General, "WindowPosLeft", windowPos.left);
            profile.writeInt(Section::General, "WindowPosTop", windowPos.top);
            profile.writeInt(Section::General, "WindowPosRight", windowPos.right);
            profile.writeInt(Section::General, "WindowPosBottom", windowPos.bottom);
        }
        profile.writeInt(Section::General, "WindowState", static_cast<int>(placement.showState));
    });
}

void AppSettings::saveFont(const FontDescription& description)
{
    font = description;
    font.faceName = storableFaceName(description.faceName);
    updateProfile(m_profilePath, [this](ProfileFile& profile) {
        profile.writeString(Section::General, "Font", formatFontDescription(font));
    });
}

void AppSettings::addRecentFile(const std::string& path)
{
    if (path.empty())
        return;
    std::erase(recentFiles, path);
    recentFiles.insert(recentFiles.begin(), path);
    if (recentFiles.size() > SettingsLimits::RecentFileCount)
        recentFiles.resize(SettingsLimits::RecentFileCount);
}

std::string AppSettings::dosStubPath() const
{
    if (m_programDirectory.empty() || m_programDirectory.back() == '/')
        return m_programDirectory + "NEW.EXE";
    return m_programDirectory + "/NEW.EXE";
}

} // namespace quarvo
