#include "support/scene_frames.h"

#include "pipeline/frame_pipeline.h"
#include "platform/sources/synthetic/synthetic_source.h"

namespace testing_support {

std::vector<std::vector<std::uint8_t>> grayFramesOf(const std::string& options, int first, int count) {
    constexpr int width = 320;
    constexpr int height = 240;
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

}  // namespace testing_support
