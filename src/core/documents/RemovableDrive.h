#pragma once

#include <string>
#include <string_view>

namespace quarvo {

// Whether an absolute path lies where desktops mount removable media: below /media or /run/media.
bool isRemovableMountPath(std::string_view absolutePath);

// Whether the file at path lies on a removable drive: its real path is below a removable mount
// point, or its file system sits on a block device that the kernel marks removable (a partition
// counts as its disk). sysRoot is where sysfs is mounted. A path that cannot be examined is taken as
// not removable.
bool isOnRemovableDrive(const std::string& path, const std::string& sysRoot = "/sys");

} // namespace quarvo
