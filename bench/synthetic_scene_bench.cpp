// How long the synthetic scene takes to draw one frame, and to deliver it
// scaled to the program's 320 x 240, as hours of scene time are replayed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sources/frame_source.h"
#include "platform/sources/synthetic/synthetic_source.h"

namespace {

using platform::SyntheticSource;

std::unique_ptr<platform::FrameSource> makeScene(const std::string& options = ":7") {
    std::string failure;
    auto source = platform::makeSyntheticSource(options, std::nullopt, failure);
    source->open(failure);
    return source;
}

// Frames in order from 10 s on, through traffic and quiet spells alike.
void renderFrame(benchmark::State& state) {
    auto source = makeScene();
    auto& scene = dynamic_cast<SyntheticSource&>(*source);
    std::int64_t frame = 250;
    for (auto _ : state) benchmark::DoNotOptimize(scene.nativeFrame(frame++).data());
}
BENCHMARK(renderFrame);

// The same with each hard condition, frames from 10 s on (night from 0 s).
void renderFrameWith(benchmark::State& state, const std::string& options) {
    auto source = makeScene(options);
    auto& scene = dynamic_cast<SyntheticSource&>(*source);
    std::int64_t frame = 250;
    for (auto _ : state) benchmark::DoNotOptimize(scene.nativeFrame(frame++).data());
}
BENCHMARK_CAPTURE(renderFrameWith, shake, std::string(":7:shake"));
BENCHMARK_CAPTURE(renderFrameWith, nightlights, std::string(":7:night=0-3600:nightlights"));
BENCHMARK_CAPTURE(renderFrameWith, nightlightsWet, std::string(":7:night=0-3600:nightlights:wet"));
BENCHMARK_CAPTURE(renderFrameWith, rain, std::string(":7:rain"));
BENCHMARK_CAPTURE(renderFrameWith, softclouds, std::string(":7:softclouds"));
BENCHMARK_CAPTURE(renderFrameWith, duskIrswitch, std::string(":7:dusk:irswitch"));
BENCHMARK_CAPTURE(renderFrameWith, all,
                  std::string(":7:night=0-3600:nightlights:wet:rain:shake:softclouds:dusk:irswitch"));

void renderAndScaleFrame(benchmark::State& state) {
    auto source = makeScene();
    std::vector<std::uint8_t> image(platform::dibImageBytes(320, 240));
    std::int64_t due = 10'000'000'000;
    for (auto _ : state) {
        source->grab(due, 320, 240, image.data(), due);
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(renderAndScaleFrame);

}  // namespace

BENCHMARK_MAIN();
