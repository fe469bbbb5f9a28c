#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quarvo {

// Turns every LF of a file's data into CR LF as the data passes, block by block (the "Convert LF to
// CR/LF" option); an LF that follows a CR already is left as it is, even across blocks.
class LineEndConverter {
  public:
    // The converted form of the next block of data; valid until the next call.
    std::span<const uint8_t> convert(std::span<const uint8_t> bytes);

  private:
    std::vector<uint8_t> m_buffer;
    bool m_lastWasCarriageReturn = false;
};

} // namespace quarvo
