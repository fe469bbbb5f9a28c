#pragma once

#include "core/listing/ColumnLayout.h"
#include "core/text/Utf8Characters.h"

namespace quarvo::testing {

// A printer font in which every character is 5 units wide, so the expected positions of a page can
// be worked out by hand: column c of the printed layout is at 5 * c, and a text of n characters is
// 5 * n wide.
class MonospaceMeasurer : public TextMeasurer {
  public:
    static constexpr int32_t CharacterWidth = 5;

    int32_t textWidth(std::string_view text) const override
    {
        return CharacterWidth * static_cast<int32_t>(utf8CharacterCount(text));
    }
    int32_t averageCharacterWidth() const override { return CharacterWidth; }
};

} // namespace quarvo::testing
