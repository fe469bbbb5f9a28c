// Fuzzes the profile reader and writer together with the font description parser. Besides the
// sanitizers' checks it asserts two properties: the written text reads back as the same lines, and a
// value just written reads back as written.

#include "core/settings/FontDescription.h"
#include "core/settings/ProfileFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quarvo;
    std::string_view input(reinterpret_cast<const char*>(data), size);

    ProfileFile profile = ProfileFile::parse(input);
    std::string text = profile.text();
    require(ProfileFile::parse(text).text() == text);

    profile.readInt("Options", "CompressionFactor", 5);
    FontDescription defaults = defaultFontDescription(96);
    FontDescription font = parseFontDescription(profile.readString("General", "Font", ""), defaults);
    require(parseFontDescription(formatFontDescription(font), defaults) == font);

    // A value taken from the input itself, so line breaks, NULs and "=" reach the writer.
    std::string_view value = input.substr(0, 64);
    require(profile.writeString("General", "Font", value));
    std::string expected(value.substr(0, value.find_first_of("\r\n")));
    require(profile.readString("General", "Font", "") == expected);
    require(ProfileFile::parse(profile.text()).readString("General", "Font", "") == expected);
    return 0;
}
