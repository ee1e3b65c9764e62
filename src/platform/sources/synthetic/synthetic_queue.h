#pragma once
// A queue that stops in the detection window, when the scene asks for it:
// once in each stretch of traffic, the right lane stops with its first
// vehicle standing in the window for 60 to 75 s and one or two vehicles
// standing behind it, the first of them in the picture above the window.
// Then they drive off one after the other, each keeping its gap. No other
// vehicle of the right lane comes by until they have gone; the left lane
// carries its traffic as usual.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/sources/synthetic/synthetic_traffic.h"

namespace platform::synthetic {

// Halts the queue's vehicles of stretch `stretch` in `vehicles` (in order of
// arrival, kept so), and drops those of the lane that would run into it.
// With `approachSpeed` (metres per second) its first vehicle comes no faster:
// the scene's vehicles stop and start at once, which only a slow one could.
void formQueue(std::uint64_t seed, std::int64_t stretch, std::vector<Vehicle>& vehicles,
               std::optional<double> approachSpeed = std::nullopt);

}  // namespace platform::synthetic
