// The quick conversion of a decoded YUV 4:2:0 picture to the driver's
// 320 x 240 BGR DIB, at the sizes cameras and recordings come in. Each round
// converts one of eight pictures in turn, so the picture read is not the one
// just read, as at real speed.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <vector>

#include "platform/sources/frame_scaler.h"
#include "platform/sources/frame_source.h"

namespace {

struct YuvPicture {
    std::array<std::vector<std::uint8_t>, 3> planes;
    std::array<const std::uint8_t*, 4> pointers{};
    std::array<int, 4> strides{};

    YuvPicture(int width, int height, int seed) {
        const std::array<int, 3> widths{width, width / 2, width / 2};
        const std::array<int, 3> heights{height, height / 2, height / 2};
        for (std::size_t plane = 0; plane < 3; ++plane) {
            planes[plane].resize(static_cast<std::size_t>(widths[plane]) * heights[plane]);
            for (std::size_t i = 0; i < planes[plane].size(); ++i)
                planes[plane][i] = static_cast<std::uint8_t>(i * 13 + seed * 7 + plane * 29);
            pointers[plane] = planes[plane].data();
            strides[plane] = widths[plane];
        }
    }
};

void quickConversionTo320x240(benchmark::State& state) {
    const auto width = static_cast<int>(state.range(0));
    const auto height = static_cast<int>(state.range(1));
    std::vector<YuvPicture> pictures;
    for (int seed = 0; seed < 8; ++seed) pictures.emplace_back(width, height, seed);
    platform::FrameScaler scaler(platform::Conversion::quick);
    std::vector<std::uint8_t> dib(platform::dibImageBytes(320, 240));
    std::size_t next = 0;
    for (auto _ : state) {
        const YuvPicture& picture = pictures[next];
        next = (next + 1) % pictures.size();
        const platform::Picture source{picture.pointers.data(), picture.strides.data(), AV_PIX_FMT_YUV420P,
                                       width, height};
        benchmark::DoNotOptimize(scaler.scale(source, 320, 240, dib.data()));
    }
}
BENCHMARK(quickConversionTo320x240)
    ->Args({640, 480})
    ->Args({1280, 720})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
