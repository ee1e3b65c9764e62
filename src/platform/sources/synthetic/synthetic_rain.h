#pragma once
// Rain, when the scene asks for it: falling drops drawn out into short
// bright streaks all over the picture, splashes on the road, a veil of
// scattered light that lowers the contrast and a little blur. Heavier and
// lighter showers alternate over tens of seconds. Each frame has its own
// drops. (The wet road itself is painted with the road.)
#include <cstdint>
#include <vector>

namespace platform::synthetic {

class Rain {
public:
    explicit Rain(std::uint64_t seed);

    // Rains on `picture` (pictureBytes), frame `frame` at `seconds`.
    void fall(std::int64_t frame, double seconds, std::uint8_t* picture);

private:
    void blurAndVeil(double strength, std::uint8_t* picture);
    void drawStreaks(std::int64_t frame, double strength, double seconds, std::uint8_t* picture) const;

    std::uint64_t seed_;
    std::vector<std::uint8_t> blurred_;
};

// How a wet road looks darker than a dry one, in 1/256.
constexpr int wetRoadShare = 180;

}  // namespace platform::synthetic
