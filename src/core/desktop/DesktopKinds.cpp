#include "core/desktop/DesktopKinds.h"

#include <algorithm>
#include <array>
#include <string>

namespace quarvo {

namespace {

struct KindType {
    int resourceId;
    std::string_view mimeType;
    bool ownType;
};

// The job files have no standard type: Quarvo defines one for each.
constexpr std::array kindTypes{
    KindType{DocumentKindId::Zip, "application/zip", false},
    KindType{DocumentKindId::Tar, "application/x-tar", false},
    KindType{DocumentKindId::Tgz, "application/x-compressed-tar", false},
    KindType{DocumentKindId::Taz, "application/x-tarz", false},
    KindType{DocumentKindId::Gz, "application/gzip", false},
    KindType{DocumentKindId::Z, "application/x-compress", false},
    KindType{DocumentKindId::UnzipJob, "application/x-quarvo-unzip-job", true},
    KindType{DocumentKindId::ZipJob, "application/x-quarvo-zip-job", true},
};

std::array<DesktopKind, kindTypes.size()> makeDesktopKinds()
{
    std::array<DesktopKind, kindTypes.size()> kinds{};
    size_t index = 0;
    for (const DocumentKindInfo& info : documentKindTable()) {
        auto type = std::find_if(kindTypes.begin(), kindTypes.end(),
                                 [&](const KindType& row) { return row.resourceId == info.resourceId; });
        if (type != kindTypes.end() && index < kinds.size())
            kinds[index++] = DesktopKind{&info, type->mimeType, type->ownType};
    }
    return kinds;
}

} // namespace

std::span<const DesktopKind> desktopKinds()
{
    static const auto kinds = makeDesktopKinds();
    return kinds;
}

std::string iconNameForMimeType(std::string_view mimeType)
{
    std::string name(mimeType);
    std::replace(name.begin(), name.end(), '/', '-');
    return name;
}

} // namespace quarvo
