#include "core/app/JobKind.h"

#include "core/base/TextCase.h"

namespace quarvo {

JobKind jobKindForPath(std::string_view path)
{
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return JobKind::None;
    std::string_view extension = path.substr(dot + 1);
    if (equalsIgnoringCase(extension, "cfu"))
        return JobKind::UnzipJob;
    if (equalsIgnoringCase(extension, "cfz"))
        return JobKind::ZipJob;
    return JobKind::None;
}

} // namespace quarvo
