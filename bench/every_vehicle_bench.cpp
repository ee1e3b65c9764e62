// The every-vehicle analysis of one 320 x 240 frame, once the empty scene is
// learnt: twenty seconds of the built-in road scene with traffic, looked at
// again and again (the goal is 30 us a frame).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "analysis/every_vehicle/every_vehicle_analysis.h"
#include "app/regions.h"
#include "pipeline/frame_pipeline.h"
#include "platform/sources/synthetic_source.h"

namespace {

constexpr int width = 320;
constexpr int height = 240;

std::vector<std::vector<std::uint8_t>> grayFramesOf(const std::string& options, int first, int count) {
    std::string failure;
    auto source = platform::makeSyntheticSource(options, std::nullopt, failure);
    source->open(failure);
    std::vector<std::uint8_t> dib(platform::dibImageBytes(width, height));
    std::vector<std::uint8_t> copy(width * height);
    std::vector<std::vector<std::uint8_t>> frames;
    for (int frame = first; frame < first + count; ++frame) {
        std::int64_t due = 0;
        source->grab(static_cast<std::int64_t>(frame) * 40'000'000, width, height, dib.data(), due);
        auto& gray = frames.emplace_back(width * height);
        pipeline::convertReversed(dib.data(), width * height, gray.data(), copy.data());
    }
    return frames;
}

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
