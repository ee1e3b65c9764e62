#pragma once
// The thresholds of the motion decision, all integer formulas of the range of
// the background strip: a low-contrast scene needs a smaller difference to
// count as motion. Multiply first, truncate each division.
#include <cstdint>

namespace analysis {

// Difference above which Learning sees slight motion, and below which
// (or equal) Moving counts as settled.
constexpr std::int32_t baseSlightThreshold(std::int32_t range) { return range * 2000 / 255 + 1000; }

// "MT": difference above which Stable may switch to Moving.
constexpr std::int32_t motionThreshold(std::int32_t range) { return range * 2100 / 255 + 2000; }

// Difference above which Stable switches to Moving whatever the texture.
constexpr std::int32_t strongMotionThreshold(std::int32_t range) { return 4 * (range * 2100 / 255) + 8000; }

// "hight th": difference above which Learning may see fast motion.
constexpr std::int32_t learningMotionThreshold(std::int32_t range) { return range * 4100 / 255 + 6500; }

}  // namespace analysis
