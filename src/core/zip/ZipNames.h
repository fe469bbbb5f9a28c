#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quarvo {

// Decodes a stored entry name or comment to UTF-8; the archive comment, which has no flags, with
// flags 0. With flag bit 11 set the bytes are UTF-8 already
// and are kept, except that every byte which is not part of a valid sequence becomes "\xHH".
// Without it, bytes that form valid UTF-8 are kept as they are (Info-ZIP's zip on Linux stores
// names that way, and ASCII is the same in both readings); everything else is code page 437, the
// character set of MS-DOS, and every byte is converted.
std::string decodeArchiveText(std::span<const uint8_t> stored, uint16_t flags);

// Decodes a stored entry name as decodeArchiveText does, except that a name stored without flag bit
// 11 is first taken from the Info-ZIP Unicode path extra field when the header has one of version 1 whose
// CRC-32 matches the stored name and whose text is valid UTF-8 (a field left behind by a program
// that renamed the entry no longer matches, and the stored name wins). This is the one decoder of
// entry names: the listing, both engines, the command line and the search use it, so a name as
// listed is the name that delete, extract, update and freshen match.
std::string decodeEntryName(std::span<const uint8_t> stored, uint16_t flags, std::span<const uint8_t> extraField);

// The CRC-32 of ZIP (ISO 3309) of a whole text at once.
uint32_t crc32OfBytes(std::span<const uint8_t> bytes);

// Converts code page 437 bytes to UTF-8, all 256 values (0x00-0x7F are ASCII).
std::string codePage437ToUtf8(std::span<const uint8_t> bytes);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool isValidUtf8(std::string_view text);

// The text with every control character (U+0000-U+001F, U+007F, U+0080-U+009F) written as "\xHH",
// so a name shown in a listing or a message cannot move the cursor, ring, or hide what follows.
std::string escapeControlCharacters(std::string_view utf8);
// The same, appended to out: a listing of many names builds no string per name.
void appendWithControlCharactersEscaped(std::string& out, std::string_view utf8);

} // namespace quarvo
