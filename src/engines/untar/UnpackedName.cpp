#include "engines/untar/UnpackedName.h"

#include "core/base/TextCase.h"

#include <array>
#include <utility>

namespace quarvo {

namespace {

// Suffixes in the order they are tried; the first that ends the name (ignoring case) wins, so the
// longer ".tar.gz" forms are covered by ".gz".
constexpr std::array<std::pair<std::string_view, std::string_view>, 17> Suffixes = {{
    {".tgz", ".tar"},
    {".taz", ".tar"},
    {".tbz2", ".tar"},
    {".tbz", ".tar"},
    {".tb2", ".tar"},
    {".txz", ".tar"},
    {".tzst", ".tar"},
    {".tlz", ".tar"},
    {".gz", ""},
    {".z", ""},
    {".bz2", ""},
    {".bz", ""},
    {".xz", ""},
    {".zst", ""},
    {".lz", ""},
    {".lzma", ""},
    {".zstd", ""},
}};

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    return text.size() > suffix.size() &&
           equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace

std::string unpackedNameFor(std::string_view archiveFileName)
{
    for (const auto& [suffix, replacement] : Suffixes) {
        if (!endsWithIgnoringCase(archiveFileName, suffix))
            continue;
        std::string name(archiveFileName.substr(0, archiveFileName.size() - suffix.size()));
        name += replacement;
        if (name != "." && name != "..")
            return name;
    }
    return std::string(archiveFileName) + ".unpacked";
}

std::string alternativeName(std::string_view name, unsigned n)
{
    const size_t dot = name.rfind('.');
    const size_t split = dot == std::string_view::npos || dot == 0 ? name.size() : dot;
    return std::string(name.substr(0, split)) + " (" + std::to_string(n) + ")" +
           std::string(name.substr(split));
}

} // namespace quarvo
