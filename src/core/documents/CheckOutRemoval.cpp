#include "core/documents/CheckOutRemoval.h"

#include <fcntl.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace quarvo {

std::vector<std::string> safeNameComponents(std::string_view name)
{
    std::vector<std::string> components;
    size_t start = 0;
    while (start <= name.size()) {
        size_t slash = name.find('/', start);
        std::string_view part = name.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (part == "..")
            return {};
        if (!part.empty() && part != ".")
            components.emplace_back(part);
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    return components;
}

namespace {

// Descriptors of the directories from the check-out directory down to an entry's parent, closed with
// the object. descriptors[0] is the check-out directory itself.
class DirectoryChain {
  public:
    explicit DirectoryChain(int root) { m_descriptors.push_back(root); }
    ~DirectoryChain()
    {
        for (size_t i = 1; i < m_descriptors.size(); ++i)
            ::close(m_descriptors[i]);
    }
    DirectoryChain(const DirectoryChain&) = delete;
    DirectoryChain& operator=(const DirectoryChain&) = delete;

    // Opens the named subdirectory of the deepest one, refusing a symbolic link.
    bool descend(const std::string& name)
    {
        int descriptor =
            ::openat(m_descriptors.back(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor < 0)
            return false;
        m_descriptors.push_back(descriptor);
        return true;
    }
    int at(size_t depth) const { return m_descriptors[depth]; }
    size_t depth() const { return m_descriptors.size() - 1; }

  private:
    std::vector<int> m_descriptors;
};

// Deletes one entry's file (or, for a directory entry, the directory when empty) and then the
// directories above it that became empty.
bool deleteEntry(int root, const std::vector<std::string>& components, bool directoryEntry,
                 bool removeEmptiedParents)
{
    DirectoryChain chain(root);
    for (size_t i = 0; i + 1 < components.size(); ++i) {
        if (!chain.descend(components[i]))
            return false;
    }
    const std::string& last = components.back();
    bool deleted = ::unlinkat(chain.at(chain.depth()), last.c_str(), directoryEntry ? AT_REMOVEDIR : 0) == 0;
    if (!deleted)
        return false;
    if (!removeEmptiedParents)
        return true;
    for (size_t depth = chain.depth(); depth > 0; --depth) {
        if (::unlinkat(chain.at(depth - 1), components[depth - 1].c_str(), AT_REMOVEDIR) != 0)
            break;
    }
    return true;
}

} // namespace

int deleteCheckedOutFiles(const std::string& checkoutDirectory, std::span<const std::string> entryNames,
                          bool removeEmptiedParents)
{
    int root = ::open(checkoutDirectory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0)
        return 0;
    int deleted = 0;
    for (const std::string& name : entryNames) {
        std::vector<std::string> components = safeNameComponents(name);
        if (components.empty())
            continue;
        bool directoryEntry = name.ends_with('/');
        if (deleteEntry(root, components, directoryEntry, removeEmptiedParents))
            ++deleted;
    }
    ::close(root);
    return deleted;
}

} // namespace quarvo
