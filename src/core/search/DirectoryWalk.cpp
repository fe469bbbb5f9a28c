#include "core/search/DirectoryWalk.h"

#include "core/base/TextCase.h"
#include "core/base/UniqueFd.h"
#include "core/search/ArchiveScan.h"
#include "core/search/PseudoFileSystems.h"

#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace quarvo {

namespace {

constexpr int DirectoryOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;

// What one directory holds that the search wants, read at once so that no directory stays open
// while the ones below it are searched.
struct DirectoryContents {
    std::vector<std::string> zipFiles;
    std::vector<std::string> exeFiles;
    std::vector<std::string> subdirectories;
};

bool hasExtension(std::string_view name, std::string_view extension)
{
    return name.size() > extension.size() &&
           equalsIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

// A regular file (also through a link) the user can change: no read-only archive is examined.
bool isExaminableFile(int directory, const char* name)
{
    struct stat info {};
    return ::fstatat(directory, name, &info, 0) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR);
}

bool isRealDirectory(int directory, const dirent& entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat info {};
    return ::fstatat(directory, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

DirectoryContents readContents(UniqueFd descriptor)
{
    DirectoryContents contents;
    DIR* stream = ::fdopendir(descriptor.get());
    if (!stream)
        return contents;
    const int directory = descriptor.release();
    while (const dirent* entry = ::readdir(stream)) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (isRealDirectory(directory, *entry)) {
            contents.subdirectories.emplace_back(name);
            continue;
        }
        // Hidden files are not examined; hidden directories are searched.
        if (name.starts_with('.') || entry->d_type == DT_FIFO || entry->d_type == DT_SOCK ||
            entry->d_type == DT_CHR || entry->d_type == DT_BLK)
            continue;
        const bool zip = hasExtension(name, ".zip");
        const bool exe = !zip && hasExtension(name, ".exe");
        if ((zip || exe) && isExaminableFile(directory, entry->d_name))
            (zip ? contents.zipFiles : contents.exeFiles).emplace_back(name);
    }
    ::closedir(stream);
    return contents;
}

std::string joinPath(const std::string& directory, const std::string& name)
{
    return directory.ends_with('/') ? directory + name : directory + "/" + name;
}

class Walk {
  public:
    Walk(const SearchCriteria& criteria, const SearchListener& listener, const std::atomic<bool>& cancel)
        : m_criteria(criteria), m_listener(listener), m_cancel(cancel)
    {
    }

    WalkOutcome search(const std::string& path, bool top)
    {
        // The named location may be a link; links met on the way down are not followed.
        UniqueFd descriptor(::open(path.c_str(), DirectoryOpenFlags | (top ? 0 : O_NOFOLLOW)));
        if (!descriptor)
            return WalkOutcome::CannotEnter;
        struct stat info {};
        if (::fstat(descriptor.get(), &info) != 0)
            return WalkOutcome::CannotEnter;
        if (!m_visited.emplace(info.st_dev, info.st_ino).second)
            return WalkOutcome::Done;
        if (!top && isOnPseudoFileSystem(descriptor.get()))
            return WalkOutcome::Done;
        examining(path.ends_with('/') ? path : path + "/");
        if (m_cancel)
            return WalkOutcome::Cancelled;
        DirectoryContents contents = readContents(std::move(descriptor));
        for (const std::vector<std::string>* files : {&contents.zipFiles, &contents.exeFiles}) {
            if (files == &contents.exeFiles && !m_criteria.searchSelfExtracting)
                break;
            for (const std::string& name : *files) {
                const std::string archive = joinPath(path, name);
                examining(archive);
                if (m_cancel)
                    return WalkOutcome::Cancelled;
                scanArchive(archive, m_criteria, m_listener);
            }
        }
        if (!m_criteria.searchSubdirectories)
            return WalkOutcome::Done;
        for (const std::string& name : contents.subdirectories) {
            const std::string child = joinPath(path, name);
            if (isPseudoFileSystemPath(child))
                continue;
            // A subdirectory that cannot be entered is passed by like any other the search skips.
            if (search(child, false) == WalkOutcome::Cancelled)
                return WalkOutcome::Cancelled;
        }
        return WalkOutcome::Done;
    }

  private:
    void examining(const std::string& path)
    {
        if (m_listener.examining)
            m_listener.examining(path);
    }

    const SearchCriteria& m_criteria;
    const SearchListener& m_listener;
    const std::atomic<bool>& m_cancel;
    std::set<std::pair<dev_t, ino_t>> m_visited;
};

} // namespace

WalkOutcome searchLocation(const std::string& location, const SearchCriteria& criteria,
                           const SearchListener& listener, const std::atomic<bool>& cancel)
{
    if (location.empty())
        return WalkOutcome::CannotEnter;
    // Shown and listed as a full path, as the user would type it to open an archive.
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(location, error);
    std::string path = error ? location : absolute.lexically_normal().string();
    if (path.size() > 1 && path.ends_with('/'))
        path.pop_back();
    return Walk(criteria, listener, cancel).search(path, true);
}

} // namespace quarvo
