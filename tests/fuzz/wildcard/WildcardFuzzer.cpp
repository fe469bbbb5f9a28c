// Feeds the wildcard matcher arbitrary patterns and names: the input up to its first newline is the
// pattern, the rest the name. Besides running clean under the sanitizers, a result must be one of
// the six codes, and a text must read the same whatever follows its first zero byte.

#include "FuzzCheck.h"
#include "core/listing/WildcardMatcher.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using quarvo::WildcardResult;
using quarvo::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t newline = input.find('\n');
    std::string_view pattern = input.substr(0, newline);
    std::string_view name = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

    // Copies on the heap of exactly the texts' sizes, so that AddressSanitizer sees any read past
    // their ends.
    std::string patternCopy(pattern);
    std::string nameCopy(name);
    WildcardResult result = quarvo::matchWildcard(patternCopy, nameCopy);
    int code = static_cast<int>(result);
    check(code >= 1 && code <= 6);
    check(quarvo::matches(nameCopy, patternCopy) == (result == WildcardResult::Match));

    std::string patternWithTail = patternCopy;
    patternWithTail.append(1, '\0').append("*[x");
    std::string nameWithTail = nameCopy;
    nameWithTail.append(1, '\0').append("tail");
    check(quarvo::matchWildcard(patternWithTail, nameWithTail) ==
          quarvo::matchWildcard(patternCopy.c_str(), nameCopy.c_str()));
    return 0;
}
