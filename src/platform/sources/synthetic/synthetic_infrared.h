#pragma once
// The camera's night mode, when the scene asks for it: now and then it
// drops its infrared filter and lights the scene with its own infrared lamps
// for a while. From one frame to the next the picture turns gray, flatter
// and brighter; it turns back to colour just as suddenly.
#include <cstdint>
#include <optional>

namespace platform::synthetic {

struct InfraredMode {
    double illumination;  // 0.25 to 0.45: the light its lamps add to the scene
    double gain;          // 1.3 to 1.8: the exposure step at the switch
    double contrast;      // 0.55 to 0.75: how much of the contrast it keeps
};

// The mode in force at `seconds`, if any: one stretch of 35 to 80 s in
// each 150 s, the first starting 25 to 65 s in.
std::optional<InfraredMode> infraredAt(std::uint64_t seed, double seconds);

// Turns `picture` (pictureBytes) into what the camera delivers in `mode`.
void toInfrared(const InfraredMode& mode, std::uint8_t* picture);

}  // namespace platform::synthetic
