#pragma once

#include <string_view>

namespace quarvo {

// The outcome of matching a name against a wildcard pattern. Only Match means the name is accepted;
// the others say why not, which the search tool and the tests tell apart.
enum class WildcardResult {
    Match = 1,
    PatternEnded = 2,    // the pattern ended before the name
    NameEnded = 3,       // the name ended before the pattern
    SetMismatch = 4,     // a bracket set did not accept the character
    LiteralMismatch = 5, // a literal character differed
    MalformedPattern = 6,
};

// Matches the whole name against pattern. "*" stands for any run of characters, "/" included;
// "?" for exactly one; "[...]" for one character of a set, inverted by a leading "!" or "^", with
// ranges "a-z" (either way round) and "\" making the next character a member. Literals compare
// ignoring ASCII letter case; set members compare exactly, as signed bytes. Outside brackets "\" and
// "/" are ordinary characters. Both texts end at their size or at their first zero byte, whichever
// comes first; nothing past that is read. Allocates nothing.
WildcardResult matchWildcard(std::string_view pattern, std::string_view name);

// Whether name matches pattern (matchWildcard gives Match). A malformed pattern matches nothing.
bool matches(std::string_view name, std::string_view pattern);

} // namespace quarvo
