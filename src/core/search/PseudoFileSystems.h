#pragma once

#include <cstdint>
#include <string_view>

namespace quarvo {

// Whether a directory the search comes upon is one of the places where the kernel and the system
// keep their own files: /proc, /sys, /dev and /run. They hold no archives of the user's, and
// reading some of their files blocks or has effects.
bool isPseudoFileSystemPath(std::string_view absolutePath);

// Whether a file system type (statfs's f_type) is one made up by the kernel rather than stored:
// proc, sysfs, devpts, cgroups, debugfs, tracefs, securityfs, and the automounter, whose
// directories mount on being entered.
bool isPseudoFileSystemType(int64_t type);

// The pseudo file system rule for a directory open as descriptor.
bool isOnPseudoFileSystem(int descriptor);

} // namespace quarvo
