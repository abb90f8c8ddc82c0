// The user-interface model: DPI scaling, colour rules, title-font fitting.
#include <gtest/gtest.h>

#include "platform/ui/Color.h"
#include "platform/ui/DpiScale.h"
#include "platform/ui/FontFit.h"

namespace zx {
namespace {

TEST(DpiScale, RoundsLikeMulDiv) {
    struct TCase {
        int Value, Dpi, Expected;
    } const cases[] = {
        {498, 96, 498}, {498, 144, 747}, {426, 120, 533},                // 532.5 rounds up
        {1, 144, 2},    {3, 120, 4},     {59, 192, 118},  {-5, 144, -8}, // -7.5 away from zero
        {0, 144, 0},    {13, 168, 23},                                   // 22.75
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c.Value, c.Dpi), c.Expected) << c.Value << " at " << c.Dpi;
}

TEST(DpiScale, PercentComesFromTheDpiRoundedToTheNearest) {
    struct TCase {
        int Dpi, Percent;
    } const cases[] = {
        {96, 100}, {120, 125}, {144, 150}, {168, 175}, {192, 200}, {100, 104}, {72, 75},
    };
    for (const auto& c : cases) EXPECT_EQ(ScalePercentForDpi(c.Dpi), c.Percent) << c.Dpi;
}

TEST(DpiScale, BoxesThatTouchStillTouch) {
    // The header buttons sit side by side at 70 px steps; at 120 DPI each edge rounds on
    // its own, so widths may differ by a pixel but no gap or overlap appears.
    for (const int dpi : {96, 120, 144, 168, 192, 216}) {
        const TBox first = ScaleBox({0, 0, 70, 30}, dpi);
        const TBox second = ScaleBox({70, 0, 70, 30}, dpi);
        EXPECT_EQ(first.Left + first.Width, second.Left) << dpi;
        const TBox head = ScaleBox({0, 0, 498, 50}, dpi);
        const TBox main = ScaleBox({0, 50, 498, 376}, dpi);
        EXPECT_EQ(head.Top + head.Height, main.Top) << dpi;
        EXPECT_EQ(main.Top + main.Height, ScaleForDpi(426, dpi)) << dpi;
    }
    EXPECT_EQ(ScaleBox({176, 264, 162, 68}, 144), (TBox{264, 396, 243, 102}));
}

TEST(Color, LightenAndGrayGiveTheDerivedColours) {
    struct TCase {
        std::uint32_t From;
        int Percent;
        bool Gray;
        std::uint32_t Expected;
    } const cases[] = {
        {0x3D84DD, 10, false, 0x5090E0}, // the hot colour
        {0x3D84DD, 70, true, 0xD7D7D7},   {0x000000, 70, true, 0xB3B3B3},
        {0x3D84DD, 50, true, 0xBCBCBC},   {0x000000, 50, true, 0x808080}, // 127.5 lightens up to 128
        {0x3D84DD, 0, false, 0x3D84DD},   {0x3D84DD, 100, false, 0xFFFFFF},
        {0x123456, 150, false, 0xFFFFFF}, // over 100 is clamped
    };
    for (const auto& c : cases) {
        TColor result = LightenColor(ColorFromRgb(c.From), c.Percent);
        if (c.Gray) result = GrayOfColor(result);
        EXPECT_EQ(result, ColorFromRgb(c.Expected)) << std::hex << c.From << " " << std::dec << c.Percent;
    }
}

TEST(Color, GrayRoundsHalvesToEven) {
    struct TCase {
        TColor From;
        std::uint8_t Expected;
    } const cases[] = {
        {{0, 0, 250}, 28}, // 28.5 down to the even 28
        {{1, 1, 251}, 30}, // 29.5 up to the even 30
        {{0, 0, 251}, 29}, // 28.614
        {{255, 255, 255}, 255},
    };
    for (const auto& c : cases) EXPECT_EQ(GrayOfColor(c.From), (TColor{c.Expected, c.Expected, c.Expected}));
}

TEST(FontFit, ShrinksOnceByIntegerDivisionNeverBelowSix) {
    struct TCase {
        int Points, LabelWidth, TextWidth, Expected;
    } const cases[] = {
        {20, 400, 500, 16}, // 20 * 400 / 500
        {20, 400, 2000, 6}, // 4 becomes 6
        {20, 400, 400, 20}, // fits exactly: unchanged
        {20, 400, 100, 20}, // smaller text is never enlarged
        {44, 484, 700, 30}, // 30.42 cut to 30
        {44, 484, 485, 43}, // one pixel too wide still shrinks a whole point
        {4, 400, 500, 6},   // a font already below six is raised to six once it must shrink
        {20, 400, 0, 20},   // nothing measured: nothing to fit
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitFontPoints(c.Points, c.LabelWidth, c.TextWidth), c.Expected)
            << c.Points << " pt, " << c.TextWidth << " px in " << c.LabelWidth;
}

TEST(FontFit, PointPixelConversions) {
    EXPECT_EQ(PointsFromPixels(59, 96), 44); // the title: 59 px at 96 DPI is 44.25 pt
    EXPECT_EQ(PixelsFromPoints(44, 96), 59); // 58.67
    EXPECT_EQ(PixelsFromPoints(44, 144), 88);
    EXPECT_EQ(PixelsFromPoints(6, 96), 8);
    EXPECT_EQ(PointsFromPixels(12, 96), 9);
}

} // namespace
} // namespace zx
