#include "core/documents/RemovableDrive.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace quarvo {

namespace {

bool isBelow(std::string_view path, std::string_view directory)
{
    return path == directory || (path.starts_with(directory) && path[directory.size()] == '/');
}

// The block device directory in sysfs of the device that holds the file, its disk for a partition.
std::filesystem::path blockDeviceDirectory(const std::string& path, const std::string& sysRoot)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    std::filesystem::path link =
        std::filesystem::path(sysRoot) / "dev" / "block" /
        (std::to_string(major(status.st_dev)) + ":" + std::to_string(minor(status.st_dev)));
    std::error_code error;
    std::filesystem::path device = std::filesystem::canonical(link, error);
    if (error)
        return {};
    if (std::filesystem::exists(device / "partition", error))
        device = device.parent_path();
    return device;
}

} // namespace

bool isRemovableMountPath(std::string_view absolutePath)
{
    return isBelow(absolutePath, "/media") || isBelow(absolutePath, "/run/media");
}

bool isOnRemovableDrive(const std::string& path, const std::string& sysRoot)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (!error) {
        std::filesystem::path real = std::filesystem::weakly_canonical(absolute, error);
        if (!error && isRemovableMountPath(real.string()))
            return true;
    }
    std::filesystem::path device = blockDeviceDirectory(path, sysRoot);
    if (device.empty())
        return false;
    std::ifstream removable(device / "removable");
    char flag = '0';
    return removable.get(flag) && flag == '1';
}

} // namespace quarvo
