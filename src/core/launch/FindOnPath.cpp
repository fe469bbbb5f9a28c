#include "core/launch/FindOnPath.h"

#include <cstdlib>
#include <filesystem>

namespace quarvo {

namespace {

std::optional<std::string> findIn(std::string_view directory, std::string_view name)
{
    std::string candidate = directory.empty() ? std::string(".") : std::string(directory);
    if (candidate.back() != '/')
        candidate += '/';
    candidate += name;
    std::error_code error;
    if (std::filesystem::exists(candidate, error))
        return candidate;
    return std::nullopt;
}

} // namespace

std::optional<std::string> findOnPath(std::string_view name, std::string_view programDirectory,
                                      std::string_view pathVariable)
{
    if (name.empty())
        return std::nullopt;
    if (!programDirectory.empty()) {
        if (std::optional<std::string> found = findIn(programDirectory, name))
            return found;
    }
    for (;;) {
        size_t separator = pathVariable.find(':');
        if (std::optional<std::string> found = findIn(pathVariable.substr(0, separator), name))
            return found;
        if (separator == std::string_view::npos)
            return std::nullopt;
        pathVariable.remove_prefix(separator + 1);
    }
}

std::optional<std::string> findOnPath(std::string_view name, std::string_view programDirectory)
{
    const char* path = std::getenv("PATH");
    if (path != nullptr)
        return findOnPath(name, programDirectory, path);
    if (name.empty() || programDirectory.empty())
        return std::nullopt;
    return findIn(programDirectory, name);
}

} // namespace quarvo
