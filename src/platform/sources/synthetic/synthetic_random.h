#pragma once
// The synthetic scene's own random numbers (splitmix64): the standard
// library's distributions differ between implementations, and the scene must
// come out the same from one seed on every machine.
#include <cstdint>

namespace platform::synthetic {

constexpr std::uint64_t goldenGamma = 0x9e3779b97f4a7c15ull;

constexpr std::uint64_t mix(std::uint64_t value) {
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ull;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebull;
    return value ^ (value >> 31);
}

// What a stream of random numbers is for, so streams of one seed never overlap.
enum class Purpose : std::uint64_t {
    asphalt = 1,
    verge,
    markings,
    noise,
    noiseOffset,
    drift,
    traffic,
    clouds,
    exposure,
    queue,
    shake,
    softClouds,
    dusk,
    infrared,
    rain,
    streetLamp,
    lamps,
    walkers
};

// Key of the stream for one purpose and index (a frame, a stretch of time, ...).
constexpr std::uint64_t streamKey(std::uint64_t seed, Purpose purpose, std::uint64_t index = 0) {
    const std::uint64_t base = mix(seed + goldenGamma * (static_cast<std::uint64_t>(purpose) + 1));
    return mix(base + goldenGamma * (index + 1));
}

// Uniform in [0, 1), from the top 53 bits.
constexpr double unitInterval(std::uint64_t bits) { return static_cast<double>(bits >> 11) * 0x1.0p-53; }

class Random {
public:
    explicit Random(std::uint64_t key) : state_(key) {}

    std::uint64_t next() {
        state_ += goldenGamma;
        return mix(state_);
    }
    double uniform() { return unitInterval(next()); }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    bool chance(double probability) { return uniform() < probability; }

private:
    std::uint64_t state_;
};

}  // namespace platform::synthetic
