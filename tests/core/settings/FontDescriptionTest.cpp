#include "core/settings/FontDescription.h"

#include <gtest/gtest.h>

namespace quarvo {
namespace {

TEST(FontDescription, DefaultIsAnEightPointFontForTheScreen)
{
    EXPECT_EQ(formatFontDescription(defaultFontDescription(96)),
              "-11,0,0,0,400,0,0,0,0,1,2,1,26,MS Sans Serif");
    // 8 * dpi / 72, rounded to the nearest integer.
    EXPECT_EQ(defaultFontDescription(120).height, -13); // 13.33
    EXPECT_EQ(defaultFontDescription(144).height, -16);
    EXPECT_EQ(defaultFontDescription(72).height, -8);
    EXPECT_EQ(defaultFontDescription(99).height, -11);  // 11.0
    EXPECT_EQ(defaultFontDescription(104).height, -12); // 11.56
}

TEST(FontDescription, PartialDescriptionsReplaceOnlyTheFieldsTheyHold)
{
    const FontDescription defaults = defaultFontDescription(96);

    FontDescription bold = parseFontDescription("-13,0,0,0,700", defaults);
    FontDescription expected = defaults;
    expected.height = -13;
    expected.weight = 700;
    EXPECT_EQ(bold, expected);

    // Empty pieces do not exist: four commas then 700 is a one-piece description, the height.
    FontDescription tall = parseFontDescription(",,,,700", defaults);
    expected = defaults;
    expected.height = 700;
    EXPECT_EQ(tall, expected);

    FontDescription gappy = parseFontDescription("-20,,,,,1,2,3,,900", defaults);
    EXPECT_EQ(gappy.height, -20);
    EXPECT_EQ(gappy.width, 1);
    EXPECT_EQ(gappy.escapement, 2);
    EXPECT_EQ(gappy.orientation, 3);
    EXPECT_EQ(gappy.weight, 900);
    EXPECT_EQ(gappy.pitchAndFamily, 26);

    EXPECT_EQ(parseFontDescription("", defaults), defaults);
    EXPECT_EQ(parseFontDescription(",,,", defaults), defaults);
}

TEST(FontDescription, UnreadableNumbersBecomeZeroAndByteFieldsKeepTheLowByte)
{
    FontDescription font = parseFontDescription("big,x,7px,-,300,256,-1,1", defaultFontDescription(96));
    EXPECT_EQ(font.height, 0);
    EXPECT_EQ(font.width, 0);
    EXPECT_EQ(font.escapement, 7);
    EXPECT_EQ(font.orientation, 0);
    EXPECT_EQ(font.weight, 300);
    EXPECT_EQ(font.italic, 0);      // 256
    EXPECT_EQ(font.underline, 255); // -1
    EXPECT_EQ(font.strikeOut, 1);
    EXPECT_EQ(font.faceName, "MS Sans Serif");
}

TEST(FontDescription, FaceIsTheFourteenthPieceCutToThirtyOneCharacters)
{
    const FontDescription defaults = defaultFontDescription(96);
    std::string numbers = "-12,0,0,0,400,1,0,0,0,3,2,1,34,";
    EXPECT_EQ(parseFontDescription(numbers + "DejaVu Sans,ignored,more", defaults).faceName, "DejaVu Sans");
    EXPECT_EQ(parseFontDescription(numbers + std::string(40, 'F'), defaults).faceName, std::string(31, 'F'));
    // Characters, not bytes: 40 two-byte letters give 31 letters, no split sequence.
    std::string umlauts;
    for (int i = 0; i < 40; ++i)
        umlauts += "ü";
    std::string cut = parseFontDescription(numbers + umlauts, defaults).faceName;
    EXPECT_EQ(cut.size(), 62u);
    EXPECT_EQ(cut, umlauts.substr(0, 62));
}

TEST(FontDescription, WrittenTextReadsBackAsTheSameFont)
{
    FontDescription font;
    font.height = -15;
    font.width = 3;
    font.escapement = -900;
    font.orientation = 900;
    font.weight = 700;
    font.italic = 255;
    font.underline = 1;
    font.strikeOut = 1;
    font.charSet = 204;
    font.outPrecision = 3;
    font.clipPrecision = 0;
    font.quality = 5;
    font.pitchAndFamily = 49;
    font.faceName = "Noto Sans Mono";
    std::string text = formatFontDescription(font);
    EXPECT_EQ(text, "-15,3,-900,900,700,255,1,1,204,3,0,5,49,Noto Sans Mono");
    EXPECT_EQ(parseFontDescription(text, FontDescription{}), font);

    // A stray carriage return in a stored face ends it, as it ends a written one.
    EXPECT_EQ(parseFontDescription("1,2,3,4,5,6,7,8,9,10,11,12,13,Face\rTail", font).faceName, "Face");
    EXPECT_EQ(parseFontDescription("1,2,3,4,5,6,7,8,9,10,11,12,13,\rTail", font).faceName, "Noto Sans Mono");

    // A face the text form cannot carry is written as what will read back.
    font.faceName = "Family, Light\nStyle";
    EXPECT_EQ(storableFaceName(font.faceName), "Family");
    EXPECT_EQ(parseFontDescription(formatFontDescription(font), FontDescription{}).faceName, "Family");
}

} // namespace
} // namespace quarvo
