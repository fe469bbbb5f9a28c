#include "core/app/JobKind.h"

#include "core/base/TextCase.h"
#include "core/text/PathParts.h"

namespace quarvo {

JobKind jobKindForPath(std::string_view path)
{
    std::string_view extension = extensionPart(path);
    if (equalsIgnoringCase(extension, "cfu"))
        return JobKind::UnzipJob;
    if (equalsIgnoringCase(extension, "cfz"))
        return JobKind::ZipJob;
    return JobKind::None;
}

} // namespace quarvo
