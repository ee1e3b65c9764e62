// The per-frame cost of scene analysis once a frame is in: one quiet Stable
// step on the detection window, and the twelve dark-object cells of the main
// loop with none firing.
#include <benchmark/benchmark.h>

#include <string>

#include "analysis/dark_object.h"
#include "analysis/region_measures.h"
#include "analysis/scene_state.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"

namespace {

// A 320 x 240 scene with some structure, the same in the current image and
// the reference, and a background range of 255.
void prepareScene() {
    pipeline::frameImage.width = 320;
    pipeline::frameImage.height = 240;
    for (int i = 0; i < 320 * 240; ++i) {
        pipeline::currentImage[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(60 + (i * 7 + i / 320) % 90);
    }
    pipeline::referenceImage = pipeline::currentImage;
    analysis::backgroundRange = 255;
    analysis::backgroundMin = 0;
}

void stableNoMotionStep(benchmark::State& benchState) {
    prepareScene();
    std::string console;
    platform::console::captureInto(&console);
    analysis::sceneState = analysis::state::stable;
    analysis::stillTexture = analysis::measureTexture(50, 116, 81, 228);
    for (auto _ : benchState) {
        analysis::stableCount = 0;  // keeps the periodic re-learning away
        analysis::stepOnAcquiredFrame(50, 116, 81, 228);
        benchmark::DoNotOptimize(analysis::statusLine);
    }
    platform::console::captureInto(nullptr);
    if (analysis::sceneState != analysis::state::stable || !console.empty())
        benchState.SkipWithError("left Stable");
}
BENCHMARK(stableNoMotionStep);

void twelveQuietCells(benchmark::State& benchState) {
    prepareScene();
    std::string console;
    platform::console::captureInto(&console);
    analysis::lastTexture = analysis::stillTexture;
    int fired = 0;
    for (auto _ : benchState) {
        for (const int top : {74, 84, 134}) {
            fired += analysis::testDarkObject(top, top + 8, 8, 83);
            fired += analysis::testDarkObject(top, top + 8, 83, 158);
            fired += analysis::testDarkObject(top, top + 8, 158, 233);
            fired += analysis::testDarkObject(top, top + 8, 233, 309);
        }
        benchmark::DoNotOptimize(fired);
    }
    platform::console::captureInto(nullptr);
    if (fired != 0) benchState.SkipWithError("a cell fired");
}
BENCHMARK(twelveQuietCells);

}  // namespace

BENCHMARK_MAIN();
