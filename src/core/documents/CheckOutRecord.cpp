#include "core/documents/CheckOutRecord.h"

#include "core/documents/CheckOutRemoval.h"

#include <algorithm>
#include <set>
#include <sys/stat.h>

namespace quarvo {

namespace {

size_t depthOf(const std::string& path)
{
    return static_cast<size_t>(std::count(path.begin(), path.end(), '/'));
}

// Each entry's file and the directories above it, relative and "/"-joined, each once.
std::vector<std::string> pathsOf(std::span<const std::string> entryNames)
{
    std::set<std::string> paths;
    for (const std::string& name : entryNames) {
        std::vector<std::string> components = safeNameComponents(name);
        std::string path;
        for (size_t i = 0; i < components.size(); ++i) {
            path += components[i];
            bool directory = i + 1 < components.size() || name.ends_with('/');
            paths.insert(directory ? path + "/" : path);
            path += "/";
        }
    }
    return {paths.begin(), paths.end()};
}

} // namespace

CheckOutRecord::CheckOutRecord(std::string directory, std::span<const std::string> entryNames)
    : m_directory(std::move(directory)), m_paths(pathsOf(entryNames))
{
    m_existedBefore.reserve(m_paths.size());
    for (const std::string& path : m_paths)
        m_existedBefore.push_back(exists(path));
}

bool CheckOutRecord::exists(const std::string& path) const
{
    std::string full = m_directory + "/" + path;
    if (full.ends_with('/'))
        full.pop_back();
    struct stat status {};
    return ::lstat(full.c_str(), &status) == 0;
}

std::vector<std::string> CheckOutRecord::created() const
{
    std::vector<std::string> files;
    std::vector<std::string> directories;
    for (size_t i = 0; i < m_paths.size(); ++i) {
        if (m_existedBefore[i] || !exists(m_paths[i]))
            continue;
        (m_paths[i].ends_with('/') ? directories : files).push_back(m_paths[i]);
    }
    std::stable_sort(directories.begin(), directories.end(),
                     [](const std::string& a, const std::string& b) { return depthOf(a) > depthOf(b); });
    files.insert(files.end(), directories.begin(), directories.end());
    return files;
}

} // namespace quarvo
