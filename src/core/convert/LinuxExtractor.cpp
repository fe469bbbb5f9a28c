#include "core/convert/LinuxExtractor.h"

#include "core/layout/InstallLayout.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace quarvo {

namespace {

constexpr char ElfMagic[] = {'\x7f', 'E', 'L', 'F'};

// The whole file when it is an ELF program; nothing when it is missing, unreadable or anything else.
std::optional<std::vector<uint8_t>> readElfProgram(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::vector<uint8_t> program(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>{});
    if (!file.good() && !file.eof())
        return std::nullopt;
    if (program.size() < sizeof ElfMagic ||
        !std::equal(std::begin(ElfMagic), std::end(ElfMagic), program.begin(),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }))
        return std::nullopt;
    return program;
}

} // namespace

Result<std::vector<uint8_t>, ConvertError> loadLinuxExtractor(const std::string& programDirectory)
{
    std::vector<std::string> candidates = companionProgramCandidates(programDirectory, LinuxExtractorName);
    for (const std::string& path : candidates) {
        if (std::optional<std::vector<uint8_t>> program = readElfProgram(path))
            return std::move(*program);
    }
    // The message names where an installation keeps the program, the place worth looking at.
    std::string expected = candidates.empty() ? std::string(LinuxExtractorName) : candidates.back();
    return ConvertError{ConvertFailure::MissingExtractor, std::filesystem::path(expected).lexically_normal().string()};
}

} // namespace quarvo
