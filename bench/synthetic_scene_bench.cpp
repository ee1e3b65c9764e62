// How long the synthetic scene takes to draw one frame, and to deliver it
// scaled to the program's 320 x 240, as hours of scene time are replayed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sources/frame_source.h"
#include "platform/sources/synthetic_source.h"

namespace {

using platform::SyntheticSource;

std::unique_ptr<platform::FrameSource> makeScene() {
    std::string failure;
    auto source = platform::makeSyntheticSource(":7", std::nullopt, failure);
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
