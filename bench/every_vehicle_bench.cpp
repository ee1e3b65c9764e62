// The every-vehicle analysis of one 320 x 240 frame, once the empty scene is
// learnt: twenty seconds of the built-in road scene with traffic, looked at
// again and again (the goal is 40 us a frame, the sway measured).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "analysis/every_vehicle/every_vehicle_analysis.h"
#include "app/regions.h"
#include "support/scene_frames.h"

namespace {

using testing_support::grayFramesOf;

constexpr int width = 320;
constexpr int height = 240;

void lookAtAFrame(benchmark::State& state) {
    // Seed 7 has vehicles through the window between 40 s and 60 s.
    const auto frames = grayFramesOf(":7", 25 * 40, 25 * 20);
    analysis::everyvehicle::EveryVehicleAnalysis analysis(app::detectionWindow, false);
    std::size_t next = 0;
    double seconds = 0;
    const auto look = [&]() {
        const auto& verdict = analysis.look({frames[next].data(), width, height}, seconds);
        next = (next + 1) % frames.size();
        seconds += 0.04;
        return verdict.keepFrame;
    };
    while (analysis.figures().learning) look();  // the empty scene first, untimed
    for (auto _ : state) benchmark::DoNotOptimize(look());
}

}  // namespace

BENCHMARK(lookAtAFrame)->Iterations(5000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
