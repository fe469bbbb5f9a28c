#include "core/search/PseudoFileSystems.h"

#include <algorithm>
#include <array>
#include <sys/vfs.h>

namespace quarvo {

namespace {

// The magic numbers of <linux/magic.h>, written out so the rule does not depend on which of them
// the installed kernel headers define.
constexpr std::array<int64_t, 14> PseudoTypes = {
    0x9fa0,     // proc
    0x62656572, // sysfs
    0x1cd1,     // devpts
    0x27e0eb,   // cgroup
    0x63677270, // cgroup2
    0x64626720, // debugfs
    0x74726163, // tracefs
    0x73636673, // securityfs
    0x6165676c, // pstore
    0xcafe4a11, // bpf
    0x62656570, // configfs
    0x65735543, // fusectl
    0x19800202, // mqueue
    0x0187,     // autofs
};

constexpr std::array<std::string_view, 4> PseudoPaths = {"/proc", "/sys", "/dev", "/run"};

} // namespace

bool isPseudoFileSystemPath(std::string_view absolutePath)
{
    while (absolutePath.size() > 1 && absolutePath.back() == '/')
        absolutePath.remove_suffix(1);
    return std::find(PseudoPaths.begin(), PseudoPaths.end(), absolutePath) != PseudoPaths.end();
}

bool isPseudoFileSystemType(int64_t type)
{
    return std::find(PseudoTypes.begin(), PseudoTypes.end(), type) != PseudoTypes.end();
}

bool isOnPseudoFileSystem(int descriptor)
{
    struct statfs info {};
    return ::fstatfs(descriptor, &info) == 0 && isPseudoFileSystemType(static_cast<int64_t>(info.f_type));
}

} // namespace quarvo
