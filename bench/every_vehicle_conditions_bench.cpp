// The every-vehicle mode's figures in each condition of the built-in scene:
// vehicles pictured, pictures, pictures of an empty window, pictures of
// vehicles pictured before. A measurement, not a test.
//
//   every_vehicle_conditions_bench [SECONDS] [OPTIONS...]
//
// With no options, the conditions the mode is judged in.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/scene_score.h"

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 300;
    std::vector<std::string> conditions(argv + std::min(argc, 2), argv + argc);
    if (conditions.empty()) {
        conditions = {":7",
                      ":7:shake",
                      ":7:softclouds",
                      ":7:exposure",
                      ":7:clouds",
                      ":7:dusk",
                      ":7:irswitch",
                      ":7:rain",
                      ":4:queue",
                      ":7:followers",
                      ":3:night=0-300:nightlights",
                      ":3:night=0-300:nightlights:wet",
                      ":5:shake:softclouds:rain"};
    }
    std::printf("%-36s %9s %8s %6s %7s %9s\n", "scene", "pictured", "pictures", "empty", "repeats",
                "per veh.");
    for (const std::string& condition : conditions) {
        const testing_support::SceneScore scene =
            testing_support::watchScene(condition, static_cast<std::int64_t>(seconds) * 25 - 1);
        const auto visits = static_cast<int>(scene.visits.size());
        std::printf("%-36s %4d/%-4d %8zu %6d %7d %9.2f\n", condition.c_str(), scene.pictured, visits,
                    scene.pictures.size(), scene.extras, scene.repeats,
                    static_cast<double>(scene.pictures.size()) / std::max(scene.pictured, 1));
        if (!scene.missed.empty()) std::printf("  missed:%s\n", scene.missed.c_str());
        std::fflush(stdout);
    }
}
