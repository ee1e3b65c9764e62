#pragma once
// What follows "synthetic" in a source name:
//   ""                      seed 1, endless, daylight
//   ":SEED"                 another seed (decimal, 64 bits)
//   ":SEED:OPTION:..."      a seed and options; options alone may follow "synthetic:" too
// Options:
//   night                   night from 60 s to 180 s of the timeline
//   night=FROM-TO           night from FROM to TO seconds (whole numbers, FROM < TO)
//   frames=N                the recording ends after N frames (N >= 1)
//   empty                   no traffic: the empty road only
//   clouds                  cloud shadows sweep across the road now and then
//   exposure                the camera's gain steps up or down now and then
//   queue                   once in each 300 s of traffic, a queue stands in
//                           the right lane with its first vehicle in the
//                           detection window for 60 to 75 s
//   followers               half the vehicles follow the one before closely
//   headlights              vehicles drive with their head lamps on
//   shake                   the camera's pole sways in the wind: the whole
//                           picture moves by a fraction of a pixel in calm
//                           spells and by up to about 4 pixels from one frame
//                           to the next in gusts lasting seconds
//   nightlights             as the light fades, lamps stand out: each
//                           vehicle's head lamps (with bloom) and low beams
//                           lighting the road ahead of it, its red tail lamps
//                           and their glow behind it, and, with night, a
//                           street lamp beside the detection window that
//                           switches on after dark and flickers
//   wet                     a wet road: darker, and with nightlights the
//                           lamps' reflections streak down the road
//   rain                    falling rain: streaks, splashes, a veil of light
//                           and a little blur, on a wet road
//   softclouds              large cloud shadows with soft edges drifting over
//                           the road with the wind, taking 20 to 50 % of the
//                           light
//   dusk                    every 80 to 120 s the light starts to halve, or
//                           to come back, within a minute
//   irswitch                now and then the camera switches to its infrared
//                           night mode, gray and flatter with an exposure
//                           step, and back, each from one frame to the next
//   survey                  traffic for the survey: vehicles at 20 to 120 km/h
//                           (bicycles at 20 to 30, lorries at 40 to 90), and
//                           besides cars, vans and lorries also motorbikes,
//                           bicycles and articulated lorries of about 16 m;
//                           with queue, the queue's vehicles come up to it
//                           and drive off at 20 km/h
//   away                    the left lane's vehicles drive away from the
//                           camera, up the picture (not with headlights or
//                           nightlights: their lamps face the camera)
//   walkers                 now and then a person crosses the road through
//                           the detection window, or walks along a lane
//                           through it toward the camera or away, at 3.5 to
//                           6 km/h, in a gap of the traffic
// Each option may be given once.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sources/synthetic/synthetic_lighting.h"

namespace platform::synthetic {

struct SceneOptions {
    std::uint64_t seed = 1;
    std::optional<NightStretch> night;
    std::optional<std::int64_t> frameCount;
    bool traffic = true;
    bool clouds = false;
    bool exposure = false;
    bool queue = false;
    bool followers = false;
    bool headlights = false;
    bool shake = false;
    bool nightLights = false;
    bool wet = false;
    bool rain = false;
    bool softClouds = false;
    bool dusk = false;
    bool irSwitch = false;
    bool survey = false;
    bool away = false;
    bool walkers = false;
};

// Reads the options, or leaves a one-line reason in `failure`.
std::optional<SceneOptions> parseSceneOptions(std::string_view text, std::string& failure);

}  // namespace platform::synthetic
