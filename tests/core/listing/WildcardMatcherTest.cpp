#include "core/listing/WildcardMatcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

using namespace quarvo;

namespace quarvo {

// Shows a result as its code in failure messages.
void PrintTo(WildcardResult result, std::ostream* out)
{
    *out << static_cast<int>(result);
}

} // namespace quarvo

namespace {

using enum WildcardResult;

struct MatchCase {
    std::string_view pattern;
    std::string_view name;
    WildcardResult result;
};

void expectCases(std::initializer_list<MatchCase> cases)
{
    for (const MatchCase& c : cases)
        EXPECT_EQ(matchWildcard(c.pattern, c.name), c.result)
            << "pattern \"" << c.pattern << "\" name \"" << c.name << "\"";
}

TEST(WildcardMatcher, StarMatchesEveryNameIncludingEmptyAndNested)
{
    expectCases({
        {"*", "", Match},
        {"*", "A.TXT", Match},
        {"*", "DIR/SUB/A.TXT", Match},
        {"*", "DIR\\SUB\\A.TXT", Match},
        {"A*", "A", Match},
        {"DIR/*", "DIR/SUB/A.TXT", Match},
    });
}

TEST(WildcardMatcher, StarDotStarNeedsADot)
{
    expectCases({
        {"*.*", "README", NameEnded},
        {"*.*", "DIR/README.TXT", Match},
        {"*.*", "DIR.D/README", Match},
        {"*.*", ".", Match},
    });
}

TEST(WildcardMatcher, EmptyPatternMatchesOnlyTheEmptyName)
{
    expectCases({
        {"", "", Match},
        {"", "A", PatternEnded},
    });
}

TEST(WildcardMatcher, LiteralsIgnoreCaseAlsoRightAfterAStar)
{
    expectCases({
        {"*.doc", "DIR/LETTER.DOC", Match},
        {"*.DOC", "dir/letter.doc", Match},
        {"readme", "README", Match},
        {"a/B", "A/b", Match},
        {"a\\b", "A\\B", Match},
        {"abc", "abd", LiteralMismatch},
        {"abc", "ab", NameEnded},
        {"ab", "abc", PatternEnded},
        {"*x", "abc", NameEnded},
    });
}

TEST(WildcardMatcher, QuestionMarkTakesExactlyOneCharacter)
{
    expectCases({
        {"A?", "A", NameEnded},
        {"A?", "AB", Match},
        {"A?", "ABC", PatternEnded},
        {"?", "/", Match},
        {"*?", "", NameEnded},
        {"*?", "A", Match},
        {"*??", "A", NameEnded},
        {"*?*?", "AB", Match},
        {"*?X", "X", NameEnded},
        {"*?X", "AX", Match},
        {"*?X", "ABX", Match},
        {"?*", "", NameEnded},
    });
}

TEST(WildcardMatcher, TrailingStarsOnAnExhaustedName)
{
    // Only a single star at the very end of the pattern accepts a name that has run out.
    expectCases({
        {"A*", "A", Match},
        {"A**", "A", NameEnded},
        {"**", "", NameEnded},
        {"**", "X", Match},
        {"A*B*", "AB", Match},
    });
}

TEST(WildcardMatcher, BracketSetsCompareExactlyWithoutCaseMapping)
{
    expectCases({
        {"[a-c]*", "ALPHA", SetMismatch},
        {"[!a-c]*", "ALPHA", Match},
        {"[^a-c]*", "ALPHA", Match},
        {"[a-c]*", "beta", Match},
        {"[!a-c]*", "beta", SetMismatch},
        {"[xyz]", "y", Match},
        {"[xyz]", "w", SetMismatch},
        {"[xyz]", "Y", SetMismatch},
        {"[z-a]", "m", Match},
        {"[z-a]", "M", SetMismatch},
        {"[a-cx-z]", "y", Match},
        {"[a-cx-z]", "d", SetMismatch},
        {"[-a]", "-", Match},
        {"[a-c]", "", NameEnded},
    });
}

TEST(WildcardMatcher, BracketSetsCompareAsSignedBytes)
{
    // Bytes from 0x80 up are negative, so the range from "\x80" to "a" includes every ASCII
    // character below "a", and a UTF-8 lead byte falls outside "[ -~]".
    expectCases({
        {"[\x80-a]", "A", Match},
        {"[\x80-a]", "z", SetMismatch},
        {"[\x80-a]", "\xC3", Match},
        {"[ -~]", "\xC3", SetMismatch},
        {"[\xC3]", "\xC3", Match},
    });
}

TEST(WildcardMatcher, BackslashEscapesInsideSets)
{
    expectCases({
        {"[]]", "]", MalformedPattern},
        {"[\\]]", "]", Match},
        {"[\\!]", "!", Match},
        {"[\\^x]", "^", Match},
        {"[a\\-z]", "-", Match},
        {"[a\\-z]", "m", SetMismatch},
        {"[\\\\]", "\\", Match},
        {"[a-\\]]", "]", Match},
        {"[a-\\]]", "\\", SetMismatch},
        {"[\\]-a]", "^", Match},
        {"[x\\]]y", "xy", Match}, // the escaped "]" is skipped after "x" matched
        {"[x\\]]y", "]y", Match},
    });
}

TEST(WildcardMatcher, MalformedSetsAreReported)
{
    expectCases({
        {"[", "a", MalformedPattern},
        {"[!", "a", MalformedPattern},
        {"[]", "a", MalformedPattern},
        {"[!]", "a", MalformedPattern},
        {"[a", "b", MalformedPattern},   // no "]", and nothing matched
        {"[ab", "a", MalformedPattern},  // matched, but the "]" is missing
        {"[a-]", "a", MalformedPattern}, // range without an end
        {"[a-", "a", MalformedPattern},
        {"[a-\\", "a", MalformedPattern}, // escape at the end of the pattern
        {"[\\", "a", MalformedPattern},
        {"[ab\\", "a", MalformedPattern}, // escape at the end while skipping the rest
        {"*[", "xa", MalformedPattern},   // found through a star: ends the search
        {"*[a", "xyz", MalformedPattern},
    });
}

TEST(WildcardMatcher, MalformedSetsAfterAMismatchAreNeverReached)
{
    // The character before the set already fails, so the set is not read.
    expectCases({
        {"x[", "ya", LiteralMismatch},
        {"[!a]", "a", SetMismatch},
        {"[!a", "a", SetMismatch},
        {"[", "", NameEnded},
    });
}

TEST(WildcardMatcher, StarTriesEveryLaterPosition)
{
    expectCases({
        {"*a*b", "xaxaxb", Match},
        {"*ab", "aab", Match},
        {"*a", "aab", NameEnded},
        {"*.txt", "a.txt.txt", Match},
        {"*[0-9].txt", "FILE10.TXT", Match},
        {"*[0-9].txt", "FILE1X.TXT", NameEnded},
        {"*/*", "DIR/A", Match},
        {"*/*", "A", NameEnded},
        {"*X*Y*Z", "xxyyzz", Match},
    });
}

TEST(WildcardMatcher, TextsEndAtTheirFirstZeroByte)
{
    using namespace std::string_view_literals;
    expectCases({
        {"A\0B"sv, "A"sv, Match},
        {"A"sv, "A\0B"sv, Match},
        {"*\0X"sv, "anything"sv, Match},
        {"[a\0]"sv, "a"sv, MalformedPattern},
    });
}

TEST(WildcardMatcher, MatchesIsTrueOnlyForAValidMatch)
{
    EXPECT_TRUE(matches("DIR/LETTER.DOC", "*.doc"));
    EXPECT_FALSE(matches("README", "*.*"));
    EXPECT_FALSE(matches("a", "[a"));
    EXPECT_FALSE(matches("anything", ""));
    EXPECT_TRUE(matches("", ""));
}

TEST(WildcardMatcher, LongNamesAndManyStarsStayQuick)
{
    // Every star resumes from where the previous one stopped, so a failing pattern with many
    // stars against a long name finishes after a bounded number of steps, without deep recursion.
    std::string pattern;
    for (int i = 0; i < 20000; ++i)
        pattern += "*a";
    pattern += "b";
    std::string name(100000, 'a');
    EXPECT_EQ(matchWildcard(pattern, name), NameEnded);
    EXPECT_EQ(matchWildcard(pattern, name + "b"), Match);
}

// The matcher written the direct way, star calling back into the matcher, against which the flat
// one is compared on random texts over a small alphabet that is rich in special characters.
WildcardResult referenceMatch(const char* p, const char* t);

WildcardResult referenceSet(const char*& p, char c)
{
    ++p;
    bool inverted = *p == '!' || *p == '^';
    if (inverted)
        ++p;
    if (*p == ']')
        return MalformedPattern;
    bool matched = false;
    while (!matched && *p != ']') {
        if (*p == '\\')
            ++p;
        if (!*p)
            return MalformedPattern;
        char first = *p, last = *p;
        if (p[1] == '-') {
            p += 2;
            if (!*p || *p == ']')
                return MalformedPattern;
            if (*p == '\\' && !*++p)
                return MalformedPattern;
            last = *p;
        }
        ++p;
        int8_t low = std::min<int8_t>(first, last), high = std::max<int8_t>(first, last);
        matched = static_cast<int8_t>(c) >= low && static_cast<int8_t>(c) <= high;
    }
    if (matched == inverted)
        return SetMismatch;
    while (*p != ']') {
        if (*p == '\\')
            ++p;
        if (!*p)
            return MalformedPattern;
        ++p;
    }
    return Match;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

WildcardResult referenceAfterStar(const char* p, const char* t)
{
    while (*p == '*' || *p == '?') {
        if (*p == '?' && !*t++)
            return NameEnded;
        ++p;
    }
    if (!*p)
        return Match;
    WildcardResult result = LiteralMismatch;
    for (;;) {
        if (lower(*p) == lower(*t) || *p == '[')
            result = referenceMatch(p, t);
        if (!*t++)
            result = NameEnded;
        if (result == Match || result == NameEnded || result == MalformedPattern)
            return result;
    }
}

WildcardResult referenceMatch(const char* p, const char* t)
{
    for (; *p; ++p, ++t) {
        if (!*t)
            return *p == '*' && !p[1] ? Match : NameEnded;
        if (*p == '*')
            return referenceAfterStar(p, t);
        if (*p == '[') {
            WildcardResult result = referenceSet(p, *t);
            if (result != Match)
                return result;
        } else if (*p != '?' && lower(*p) != lower(*t)) {
            return LiteralMismatch;
        }
    }
    return *t ? PatternEnded : Match;
}

TEST(WildcardMatcher, AgreesWithTheRecursiveFormOnRandomTexts)
{
    constexpr std::string_view patternAlphabet = "aAb*?[]!^-\\/";
    constexpr std::string_view nameAlphabet = "aAb-]/\\";
    std::mt19937 random(20240601);
    auto randomText = [&](std::string_view alphabet, size_t maxLength) {
        std::string text(random() % (maxLength + 1), ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        return text;
    };
    int matchesSeen = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string pattern = randomText(patternAlphabet, 8);
        std::string name = randomText(nameAlphabet, 8);
        WildcardResult expected = referenceMatch(pattern.c_str(), name.c_str());
        ASSERT_EQ(matchWildcard(pattern, name), expected)
            << "pattern \"" << pattern << "\" name \"" << name << "\"";
        matchesSeen += expected == Match;
    }
    EXPECT_GT(matchesSeen, 1000);
}

} // namespace
