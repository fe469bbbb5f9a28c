#include "core/text/PathParts.h"

namespace quarvo {

std::string_view fileNamePart(std::string_view path)
{
    size_t separator = path.rfind('/');
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view directoryPart(std::string_view path)
{
    size_t separator = path.rfind('/');
    if (separator == std::string_view::npos)
        return {};
    if (separator == 0)
        return path.substr(0, 1);
    return path.substr(0, separator);
}

std::string_view extensionPart(std::string_view path)
{
    std::string_view name = fileNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

std::string_view fileTitlePart(std::string_view path)
{
    std::string_view name = fileNamePart(path);
    return name.substr(0, name.rfind('.'));
}

} // namespace quarvo
