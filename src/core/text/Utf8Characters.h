#pragma once

#include <cstddef>
#include <string_view>

namespace quarvo {

// Walking UTF-8 text by characters rather than bytes. Names and comments reach the listing decoded
// to UTF-8, so a rule stated in characters ("more than 12 characters") must not count the bytes of
// a multi-byte sequence. These never fail: a byte that cannot start a sequence (0xFF) is a character
// of its own, and continuation bytes belong to the character before them (at the very start, to
// the first byte).

// The number of characters, the steps nextCharacterBoundary takes through the text.
size_t utf8CharacterCount(std::string_view text);

// Where the character after the one starting at position begins: position plus the length of its
// sequence, at most text.size().
size_t nextCharacterBoundary(std::string_view text, size_t position);

} // namespace quarvo
