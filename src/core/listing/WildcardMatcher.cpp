#include "core/listing/WildcardMatcher.h"

#include "core/base/TextCase.h"

#include <cstdint>
#include <utility>

namespace quarvo {

namespace {

constexpr char endOfText = '\0';

// A text read one character at a time; every position at or past its end reads as the end marker,
// so a pattern or name can never be read beyond what it holds.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : m_text(text) {}

    char current() const { return at(m_position); }
    char next() const { return at(m_position + 1); }
    bool atEnd() const { return current() == endOfText; }
    void advance() { ++m_position; }

  private:
    char at(size_t position) const { return position < m_text.size() ? m_text[position] : endOfText; }

    std::string_view m_text;
    size_t m_position = 0;
};

bool sameLetter(char a, char b)
{
    return toLowerAscii(a) == toLowerAscii(b);
}

// Whether c lies between two set members, compared as signed bytes whichever way round the range
// was written.
bool inRange(char c, char first, char last)
{
    auto value = static_cast<int8_t>(c);
    auto low = static_cast<int8_t>(first);
    auto high = static_cast<int8_t>(last);
    if (low > high)
        std::swap(low, high);
    return value >= low && value <= high;
}

// Reads one set member: a character, or "\" and the character it escapes. Leaves the cursor on
// the member's last character. Returns false when the pattern ends instead.
bool readMember(Cursor& pattern, char& member)
{
    if (pattern.current() == '\\')
        pattern.advance();
    if (pattern.atEnd())
        return false;
    member = pattern.current();
    return true;
}

// Matches c against the bracket set that starts at the pattern's "[". On success the cursor is
// left on the set's closing "]".
WildcardResult matchSet(Cursor& pattern, char c)
{
    pattern.advance();
    bool inverted = pattern.current() == '!' || pattern.current() == '^';
    if (inverted)
        pattern.advance();
    if (pattern.current() == ']')
        return WildcardResult::MalformedPattern;

    bool memberMatched = false;
    while (!memberMatched && pattern.current() != ']') {
        char first = 0;
        if (!readMember(pattern, first))
            return WildcardResult::MalformedPattern;
        char last = first;
        if (pattern.next() == '-') {
            pattern.advance();
            pattern.advance();
            if (pattern.current() == ']' || !readMember(pattern, last))
                return WildcardResult::MalformedPattern;
        }
        pattern.advance();
        memberMatched = inRange(c, first, last);
    }

    if (memberMatched == inverted)
        return WildcardResult::SetMismatch;

    // A match before the end of the set: step over the remaining members to the "]".
    while (pattern.current() != ']') {
        if (pattern.current() == '\\')
            pattern.advance();
        if (pattern.atEnd())
            return WildcardResult::MalformedPattern;
        pattern.advance();
    }
    return WildcardResult::Match;
}

// Where matching a stretch of pattern without stars ended: with a result, or at a "*" (the cursors
// then stand on the star and on the name character it starts at).
struct Outcome {
    WildcardResult result = WildcardResult::Match;
    bool atStar = false;
    Cursor pattern;
    Cursor name;
};

Outcome finished(WildcardResult result)
{
    return {result, false, Cursor({}), Cursor({})};
}

// Matches pattern and name character by character up to the end of the pattern or its next star.
Outcome matchUpToStar(Cursor pattern, Cursor name)
{
    while (!pattern.atEnd()) {
        if (name.atEnd())
            return finished(pattern.current() == '*' && pattern.next() == endOfText
                                ? WildcardResult::Match
                                : WildcardResult::NameEnded);
        switch (pattern.current()) {
        case '?':
            break;
        case '*':
            return {WildcardResult::Match, true, pattern, name};
        case '[': {
            WildcardResult result = matchSet(pattern, name.current());
            if (result != WildcardResult::Match)
                return finished(result);
            break;
        }
        default:
            if (!sameLetter(pattern.current(), name.current()))
                return finished(WildcardResult::LiteralMismatch);
            break;
        }
        pattern.advance();
        name.advance();
    }
    return finished(name.atEnd() ? WildcardResult::Match : WildcardResult::PatternEnded);
}

// Matches the rest of the name against a pattern that starts with "*". Question marks among the
// stars each take one character. The stretch after them is tried at every later name position whose
// character could start it; an attempt that reaches the next star hands over to that star, and an
// attempt that matches, finds the name too short or the pattern malformed decides. Running out of
// name ends the search. So no star ever returns to an earlier one, which keeps the work at most the
// pattern's length times the name's, and the stack flat.
Outcome matchAfterStar(Cursor pattern, Cursor name)
{
    while (pattern.current() == '*' || pattern.current() == '?') {
        if (pattern.current() == '?') {
            if (name.atEnd())
                return finished(WildcardResult::NameEnded);
            name.advance();
        }
        pattern.advance();
    }
    if (pattern.atEnd())
        return finished(WildcardResult::Match);

    char next = pattern.current();
    for (;;) {
        WildcardResult result = WildcardResult::LiteralMismatch;
        if (next == '[' || sameLetter(next, name.current())) {
            Outcome attempt = matchUpToStar(pattern, name);
            if (attempt.atStar)
                return attempt;
            result = attempt.result;
        }
        if (name.atEnd())
            result = WildcardResult::NameEnded;
        if (result == WildcardResult::Match || result == WildcardResult::NameEnded ||
            result == WildcardResult::MalformedPattern)
            return finished(result);
        name.advance();
    }
}

} // namespace

WildcardResult matchWildcard(std::string_view pattern, std::string_view name)
{
    Outcome outcome = matchUpToStar(Cursor(pattern), Cursor(name));
    while (outcome.atStar)
        outcome = matchAfterStar(outcome.pattern, outcome.name);
    return outcome.result;
}

bool matches(std::string_view name, std::string_view pattern)
{
    return matchWildcard(pattern, name) == WildcardResult::Match;
}

} // namespace quarvo
