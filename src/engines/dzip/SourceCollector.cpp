#include "engines/dzip/SourceCollector.h"

#include "core/base/TextCase.h"
#include "engines/common/NamePattern.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_set>

namespace quarvo {

namespace {

std::string directoryPartOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string fileNamePartOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joinPath(const std::string& directory, const std::string& name)
{
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

// Removes "." components and a trailing "/" so list names compare with walked paths.
std::string normaliseListName(const std::string& name)
{
    std::string result;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        const std::string component = name.substr(start, end - start);
        if (!component.empty() && component != ".")
            result += (result.empty() ? "" : "/") + component;
        start = end + 1;
    }
    return result;
}

// An include or exclude list made ready for lookup: plain names in a hash set under their
// lower-case base-relative path, patterns tried one by one. The file-list dialog hands over one
// plain name per chosen file, so a list of thousands must not be compared with every file found.
class ListNames {
  public:
    ListNames(const std::vector<std::string>& names, bool recurse) : m_recurse(recurse)
    {
        for (const std::string& name : names) {
            if (hasWildcard(name)) {
                m_patterns.push_back(&name);
            } else if (std::string plain = normaliseListName(name); !plain.empty()) {
                m_plain.insert(toLowerAscii(plain));
            }
        }
    }

    // Whether the path matches a name of the list, as matchesListName() says.
    bool matches(const std::string& relativePath) const
    {
        if (!m_plain.empty() && matchesPlainName(relativePath))
            return true;
        return std::any_of(m_patterns.begin(), m_patterns.end(), [&](const std::string* pattern) {
            return matchesListName(*pattern, relativePath, m_recurse);
        });
    }

  private:
    bool matchesPlainName(const std::string& relativePath) const
    {
        std::string path = toLowerAscii(relativePath);
        if (!path.empty() && path.back() == '/')
            path.pop_back();
        if (m_plain.count(path))
            return true;
        if (!m_recurse)
            return false;
        // With recurse a name also matches in every subdirectory of its own directory: look the
        // file name up under each ancestor of the path's directory.
        const std::string directory = directoryPartOf(path);
        const std::string file = fileNamePartOf(path);
        if (directory.empty())
            return false;
        if (m_plain.count(file))
            return true;
        for (size_t slash = directory.find('/'); slash != std::string::npos;
             slash = directory.find('/', slash + 1)) {
            if (m_plain.count(directory.substr(0, slash) + "/" + file))
                return true;
        }
        return false;
    }

    std::unordered_set<std::string> m_plain;
    std::vector<const std::string*> m_patterns;
    bool m_recurse;
};

class Collector {
  public:
    explicit Collector(const SourceSelection& selection)
        : m_selection(selection), m_exclude(selection.excludeNames, selection.recurse)
    {
        if (selection.includeNames)
            m_include.emplace(*selection.includeNames, selection.recurse);
    }

    CollectedSources run();

  private:
    void collectSpecification(const std::string& given);
    void collectNamed(const std::string& path);
    void walk(const std::string& base, const std::string& relativeDirectory, const std::string& pattern,
              bool addDirectories);
    void consider(const std::string& base, const std::string& relativePath, const struct stat& status,
                  bool explicitName);
    bool passesLists(const std::string& relativePath, bool directory) const;
    void addIncludedNames(const std::string& base);
    bool enterDirectory(const struct stat& status);

    const SourceSelection& m_selection;
    ListNames m_exclude;
    std::optional<ListNames> m_include;
    CollectedSources m_result;
    std::set<std::pair<dev_t, ino_t>> m_visitedDirectories;
    std::unordered_set<std::string> m_storedNames;
};

CollectedSources Collector::run()
{
    for (const std::string& specification : m_selection.specifications) {
        collectSpecification(specification);
        if (m_result.readError)
            break;
    }
    return std::move(m_result);
}

void Collector::collectSpecification(const std::string& given)
{
    // A trailing "/" on a directory changes nothing, as with zip.
    std::string specification = given;
    while (specification.size() > 1 && specification.back() == '/')
        specification.pop_back();
    m_visitedDirectories.clear();
    if (specification.empty())
        return;
    std::string base = directoryPartOf(specification);
    const std::string pattern = fileNamePartOf(specification);
    if (!hasWildcard(pattern)) {
        collectNamed(specification);
        return;
    }
    if (base.empty() && specification.front() == '/')
        base = "/";
    const std::string baseForDisk = base.empty() ? "." : base;
    struct stat status {};
    if (stat(baseForDisk.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        m_result.notes.push_back("Not found: " + specification);
        return;
    }
    enterDirectory(status);
    const bool matchesAll = pattern == "*" || pattern == "*.*";
    walk(baseForDisk, "", pattern, matchesAll);
    addIncludedNames(baseForDisk);
}

// A file or directory named without a wildcard keeps the path it was named by, as zip stores it
// (without a leading "/" and without "." and ".." components), so that what zip added is found
// again by freshen and update. Patterns store names relative to their own directory.
void Collector::collectNamed(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        m_result.notes.push_back("Not found: " + path);
        return;
    }
    consider("", path, status, true);
    if (S_ISDIR(status.st_mode) && m_selection.recurse && enterDirectory(status))
        walk("", path, "*", true);
    addIncludedNames(".");
}

bool Collector::enterDirectory(const struct stat& status)
{
    return m_visitedDirectories.insert({status.st_dev, status.st_ino}).second;
}

void Collector::walk(const std::string& base, const std::string& relativeDirectory,
                     const std::string& pattern, bool addDirectories)
{
    const std::string diskDirectory = joinPath(base, relativeDirectory);
    DIR* directory = opendir(diskDirectory.c_str());
    if (!directory) {
        m_result.readError = "Cannot read the directory " + diskDirectory + ": " + std::strerror(errno);
        return;
    }
    std::vector<std::string> names;
    while (dirent* item = readdir(directory)) {
        const std::string name = item->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(directory);
    std::sort(names.begin(), names.end());

    for (const std::string& name : names) {
        if (m_result.readError)
            return;
        const std::string relativePath = joinPath(relativeDirectory, name);
        struct stat status {};
        if (stat(joinPath(base, relativePath).c_str(), &status) != 0) {
            if (name.front() != '.' || m_selection.includeHiddenAndSystem)
                m_result.notes.push_back("Skipped (dangling link or vanished): " + joinPath(base, relativePath));
            continue;
        }
        if (name.front() == '.' && !m_selection.includeHiddenAndSystem) {
            // Counted only when it would have been taken, so the summary never overstates.
            if (S_ISDIR(status.st_mode) ? m_selection.recurse : matchesNamePattern(pattern, name))
                ++m_result.hiddenLeftOut;
            continue;
        }
        if (S_ISDIR(status.st_mode)) {
            if (!m_selection.recurse)
                continue;
            if (!enterDirectory(status)) {
                m_result.notes.push_back("Skipped (directory already added, link loop): " +
                                         joinPath(base, relativePath));
                continue;
            }
            if (addDirectories)
                consider(base, relativePath, status, false);
            walk(base, relativePath, pattern, addDirectories);
        } else if (matchesNamePattern(pattern, name)) {
            consider(base, relativePath, status, false);
        }
    }
}

bool Collector::passesLists(const std::string& relativePath, bool directory) const
{
    if (m_exclude.matches(relativePath))
        return false;
    if (!m_include)
        return true;
    // A directory entry is only a container; with an include list only named files are taken.
    return !directory && m_include->matches(relativePath);
}

void Collector::consider(const std::string& base, const std::string& relativePath, const struct stat& status,
                         bool explicitName)
{
    const bool directory = S_ISDIR(status.st_mode);
    if (!directory && !S_ISREG(status.st_mode)) {
        // Reading a pipe, socket or device could block or never end; such files are never stored.
        if (m_selection.includeHiddenAndSystem || explicitName)
            m_result.notes.push_back("Skipped (not a regular file): " + joinPath(base, relativePath));
        return;
    }
    if (m_selection.skipFiles.count({status.st_dev, status.st_ino}))
        return;
    if (!passesLists(relativePath, directory))
        return;
    if (directory && m_selection.noDirectoryNames)
        return;

    std::string storedName =
        sanitizeStoredName(m_selection.noDirectoryNames ? fileNamePartOf(relativePath) : relativePath);
    if (storedName.empty())
        return;
    if (directory)
        storedName += "/";
    if (!m_storedNames.insert(storedName).second) {
        if (!directory)
            m_result.duplicates.push_back(joinPath(base, relativePath));
        return;
    }
    SourceFile file;
    file.diskPath = joinPath(base, relativePath);
    file.storedName = std::move(storedName);
    file.directory = directory;
    file.size = directory ? 0 : static_cast<uint64_t>(status.st_size);
    file.modified = status.st_mtime;
    file.mode = status.st_mode;
    m_result.files.push_back(std::move(file));
}

void Collector::addIncludedNames(const std::string& base)
{
    if (!m_selection.includeNames)
        return;
    for (const std::string& name : *m_selection.includeNames) {
        if (name.empty() || hasWildcard(name))
            continue;
        const std::string relativePath = normaliseListName(name);
        struct stat status {};
        if (relativePath.empty() || stat(joinPath(base, relativePath).c_str(), &status) != 0 ||
            !S_ISREG(status.st_mode))
            continue;
        const std::string stored =
            sanitizeStoredName(m_selection.noDirectoryNames ? fileNamePartOf(relativePath) : relativePath);
        if (m_storedNames.count(stored))
            continue;
        consider(base, relativePath, status, true);
    }
}

} // namespace

bool matchesListName(const std::string& listName, const std::string& relativePath, bool recurse)
{
    const std::string name = normaliseListName(listName);
    if (name.empty())
        return false;
    std::string path = relativePath;
    if (!path.empty() && path.back() == '/')
        path.pop_back();
    const std::string nameDirectory = directoryPartOf(name);
    const std::string pathDirectory = directoryPartOf(path);
    if (!matchesNamePattern(fileNamePartOf(name), fileNamePartOf(path)))
        return false;
    if (equalsIgnoringCase(nameDirectory, pathDirectory))
        return true;
    if (!recurse)
        return false;
    if (nameDirectory.empty())
        return true;
    return pathDirectory.size() > nameDirectory.size() && pathDirectory[nameDirectory.size()] == '/' &&
           equalsIgnoringCase(pathDirectory.substr(0, nameDirectory.size()), nameDirectory);
}

std::string sanitizeStoredName(const std::string& path)
{
    std::string result;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string component = path.substr(start, end - start);
        if (!component.empty() && component != "." && component != ".." &&
            component.find('\0') == std::string::npos)
            result += (result.empty() ? "" : "/") + component;
        start = end + 1;
    }
    return result;
}

CollectedSources collectSources(const SourceSelection& selection)
{
    return Collector(selection).run();
}

} // namespace quarvo
