// The busy indicator's "momentum dots": a few dots that chase each other round a ring,
// slow at the top and fast at the bottom. One frame every 50 ms.
#pragma once

#include <array>

namespace zx {

inline constexpr int kMomentumFrameMilliseconds = 50;
inline constexpr int kMomentumFrameCount = 44; // one lap: 2.2 s
inline constexpr int kMomentumDotCount = 5;
inline constexpr int kMomentumDotLag = 3; // frames between one dot and the next

struct TDotPlace {
    double X = 0; // centre, pixels from the box's left
    double Y = 0; // centre, pixels from the box's top
    double Radius = 0;
};

// The frame after `frame`, wrapping round after the last one.
int NextMomentumFrame(int frame);

// The ring's angle of a dot at a point of its lap (0 <= phase < 1): radians clockwise
// from the top, eased so that the dot lingers at the top and hurries through the bottom.
double MomentumAngle(double phase);

// Where the dots of `frame` stand in a square box `boxSize` pixels wide; every dot lies
// wholly inside the box.
std::array<TDotPlace, kMomentumDotCount> MomentumDots(int frame, int boxSize);

} // namespace zx
