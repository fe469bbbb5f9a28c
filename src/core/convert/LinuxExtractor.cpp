#include "core/convert/LinuxExtractor.h"

#include <fstream>
#include <iterator>

namespace quarvo {

namespace {

constexpr char ElfMagic[] = {'\x7f', 'E', 'L', 'F'};

} // namespace

Result<std::vector<uint8_t>, ConvertError> loadLinuxExtractor(const std::string& programDirectory)
{
    const std::string path =
        programDirectory + (programDirectory.ends_with('/') ? "" : "/") + LinuxExtractorName;
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> program;
    if (file)
        program.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof())
        program.clear();
    if (program.size() < sizeof ElfMagic ||
        !std::equal(std::begin(ElfMagic), std::end(ElfMagic), program.begin(),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }))
        return ConvertError{ConvertFailure::MissingExtractor, path};
    return program;
}

} // namespace quarvo
