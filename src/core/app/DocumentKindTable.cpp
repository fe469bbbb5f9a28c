#include "core/app/DocumentKindTable.h"

#include <array>

namespace quarvo {

namespace {

constexpr std::array kinds{
    DocumentKindInfo{DocumentKindId::Zip, ".zip", "ZIP Files", "ZIP Files (*.zip)", "QuarvoFileType",
                     "Quarvo ZIP File", false},
    DocumentKindInfo{DocumentKindId::Tar, ".tar", "Quarvo Tar Files", "Quarvo TAR File(*.tar)",
                     "QuarvoTARFile", "Quarvo TAR File", false},
    DocumentKindInfo{DocumentKindId::Tgz, ".tgz", "Quarvo Tgz Files", "Quarvo TGZ File[*.tgz]",
                     "QuarvoTGZFile", "Quarvo TGZ File", false},
    DocumentKindInfo{DocumentKindId::Taz, ".taz", "Quarvo Taz Files", "Quarvo TAZ File[*.taz]",
                     "QuarvoTAZFile", "Quarvo TAZ File", false},
    DocumentKindInfo{DocumentKindId::Gz, ".gz", "Quarvo GZ Files", "Quarvo GZ File[*.gz]", "QuarvoGZFile",
                     "Quarvo GZ File", false},
    DocumentKindInfo{DocumentKindId::Z, ".z", "Quarvo Z Files", "Quarvo Z File[*.z]", "QuarvoZFile",
                     "Quarvo Z File", false},
    DocumentKindInfo{DocumentKindId::UnzipJob, ".cfu", "Quarvo Unzip Config Files",
                     "Quarvo Unzip Config File(*.cfu)", "QuarvoUnzipConfigFile", "Quarvo Unzip Config File",
                     true},
    DocumentKindInfo{DocumentKindId::ZipJob, ".cfz", "Quarvo Zip Config Files",
                     "Quarvo Zip Config File(*.cfz)", "QuarvoZIPConfigFile", "Quarvo Zip Config File", true},
};

} // namespace

std::span<const DocumentKindInfo> documentKindTable()
{
    return kinds;
}

const DocumentKindInfo* findDocumentKindInfo(int resourceId)
{
    for (const DocumentKindInfo& info : kinds) {
        if (info.resourceId == resourceId)
            return &info;
    }
    return nullptr;
}

std::string documentString(const DocumentKindInfo& info)
{
    std::string text = "\n\n";
    for (std::string_view part : {info.filterName, info.filterText, info.extension, info.typeId}) {
        text += part;
        text += '\n';
    }
    text += info.typeName;
    return text;
}

DocumentKind makeDocumentKind(const DocumentKindInfo& info, std::function<std::unique_ptr<Document>()> create)
{
    DocumentKind kind;
    kind.resourceId = info.resourceId;
    kind.extension = std::string(info.extension);
    kind.filterName = std::string(info.filterText);
    kind.typeId = std::string(info.typeId);
    kind.typeName = std::string(info.typeName);
    kind.create = std::move(create);
    return kind;
}

} // namespace quarvo
