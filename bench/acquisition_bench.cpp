// acquireFrame on a 320 x 240 frame from a source that hands out a ready
// frame: the figure to watch is the work after the grab, the conversion to
// gray and the copy into the current image.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "capture/capture_device.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"
#include "platform/vfw/driver_table.h"
#include "support/program_fixture.h"

namespace {

void prepareScriptedCamera() {
    testing_support::resetProgramState();
    static std::string console;
    platform::console::captureInto(&console);
    auto source = std::make_unique<testing_support::ScriptedSource>();
    std::vector<std::uint8_t> gray(320 * 240);
    for (std::size_t i = 0; i < gray.size(); ++i) gray[i] = static_cast<std::uint8_t>(i * 7);
    source->add(testing_support::frameFromGray(gray, 320, 240));
    platform::installDriver(0, std::move(source), "bench");
    capture::captureDevice.connect(0);
    pipeline::acquireFrame();
    console.clear();
}

void acquireFrame320x240(benchmark::State& state) {
    prepareScriptedCamera();
    for (auto _ : state) {
        pipeline::acquireFrame();
        benchmark::DoNotOptimize(pipeline::currentImage.data());
    }
}
BENCHMARK(acquireFrame320x240);

void grayConversionOnly(benchmark::State& state) {
    std::vector<std::uint8_t> pixels(230400);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 13);
    std::vector<std::uint8_t> gray(76800), copy(76800);
    for (auto _ : state) {
        pipeline::convertReversed(pixels.data(), 76800, gray.data(), copy.data());
        benchmark::DoNotOptimize(gray.data());
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(grayConversionOnly);

void plainCopyOfTheFrameBytes(benchmark::State& state) {
    std::vector<std::uint8_t> from(230400, 1), to(230400);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
    }
}
BENCHMARK(plainCopyOfTheFrameBytes);

}  // namespace

BENCHMARK_MAIN();
