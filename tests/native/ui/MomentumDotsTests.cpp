// The busy indicator's frames.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/ui/MomentumDots.h"

namespace zx {
namespace {

TEST(MomentumDots, FramesWrapAfterOneLap) {
    EXPECT_EQ(NextMomentumFrame(0), 1);
    EXPECT_EQ(NextMomentumFrame(kMomentumFrameCount - 1), 0);
    EXPECT_EQ(NextMomentumFrame(-3), 1) << "a broken frame number restarts the lap";
    const auto a = MomentumDots(3, 32);
    const auto b = MomentumDots(3 + kMomentumFrameCount, 32);
    for (int i = 0; i < kMomentumDotCount; ++i) {
        EXPECT_DOUBLE_EQ(a[i].X, b[i].X);
        EXPECT_DOUBLE_EQ(a[i].Y, b[i].Y);
    }
}

TEST(MomentumDots, EveryDotStaysInsideTheBox) {
    for (const int size : {16, 32, 48, 64}) {
        for (int frame = 0; frame < kMomentumFrameCount; ++frame) {
            for (const auto& dot : MomentumDots(frame, size)) {
                EXPECT_GE(dot.X - dot.Radius, 0.0);
                EXPECT_GE(dot.Y - dot.Radius, 0.0);
                EXPECT_LE(dot.X + dot.Radius, size);
                EXPECT_LE(dot.Y + dot.Radius, size);
                EXPECT_GT(dot.Radius, 0.0);
            }
        }
    }
}

TEST(MomentumDots, LeadDotStartsAtTheTopAndHurriesThroughTheBottom) {
    const auto first = MomentumDots(0, 32);
    EXPECT_NEAR(first[0].X, 16.0, 1e-9);
    EXPECT_LT(first[0].Y, 16.0);
    EXPECT_NEAR(MomentumAngle(0.5), std::numbers::pi, 1e-9);
    // Equal steps of the lap: a short arc at the top, a long one at the bottom.
    const double step = 1.0 / kMomentumFrameCount;
    const double atTop = MomentumAngle(step) - MomentumAngle(0);
    const double atBottom = MomentumAngle(0.5 + step / 2) - MomentumAngle(0.5 - step / 2);
    EXPECT_GT(atBottom, 3 * atTop);
    // The angle never runs backwards.
    for (int i = 0; i < 1000; ++i) EXPECT_LE(MomentumAngle(i / 1000.0), MomentumAngle((i + 1) / 1000.0));
}

TEST(MomentumDots, DotsTrailOneAnother) {
    // Dot i is where dot 0 was kMomentumDotLag * i frames earlier.
    const auto now = MomentumDots(20, 32);
    for (int i = 1; i < kMomentumDotCount; ++i) {
        const auto earlier = MomentumDots(20 - i * kMomentumDotLag, 32);
        EXPECT_NEAR(now[i].X, earlier[0].X, 1e-9);
        EXPECT_NEAR(now[i].Y, earlier[0].Y, 1e-9);
    }
}

} // namespace
} // namespace zx
