#pragma once

#include "core/listing/ColumnLayout.h"

namespace quarvo::testing {

// A proportional font with fixed, deliberately unequal widths, so that a layout that takes a wrong
// width anywhere lands on a different pixel. Average character width 5.
class FakeTextMeasurer : public TextMeasurer {
  public:
    static int32_t characterWidth(char c)
    {
        if (c >= '0' && c <= '9')
            return c == '8' ? 8 : 6; // the widest digit is 8
        switch (c) {
        case ',':
            return 2;
        case '/':
            return 3;
        case ':':
            return 2;
        case '%':
            return 9;
        case '-':
            return 4;
        case ' ':
            return 3;
        case '+':
            return 7; // the widest marker
        case '*':
            return 5;
        case 'd':
            return 6; // the widest attribute letter
        case 'r':
            return 3;
        case 'h':
            return 5;
        case 's':
            return 4;
        case '.':
            return 2;
        case '>':
            return 6;
        default:
            return 5;
        }
    }

    int32_t textWidth(std::string_view text) const override
    {
        int32_t width = 0;
        for (char c : text)
            width += characterWidth(c);
        return width;
    }

    int32_t averageCharacterWidth() const override { return 5; }
};

} // namespace quarvo::testing
