#include "support/scripted_source.h"

#include <algorithm>
#include <cstring>

namespace testing_support {

Frame frameFromGray(const std::vector<std::uint8_t>& gray, int width, int height) {
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::size_t rowBytes = platform::dibRowBytes(width);
    Frame frame(rowBytes * static_cast<std::size_t>(height), 0);
    // The gray image is the DIB's pixel sequence reversed: pixel i of the
    // DIB (bottom row first) becomes gray byte pixels - 1 - i.
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::size_t row = i / static_cast<std::size_t>(width);
        const std::size_t column = i % static_cast<std::size_t>(width);
        std::uint8_t* pixel = frame.data() + row * rowBytes + 3 * column;
        const std::uint8_t level = gray[pixels - 1 - i];
        pixel[0] = pixel[1] = pixel[2] = level;
    }
    return frame;
}

Frame uniformFrame(std::uint8_t level, int width, int height) {
    return frameFromGray(std::vector<std::uint8_t>(static_cast<std::size_t>(width * height), level), width,
                         height);
}

platform::GrabOutcome ScriptedSource::grab(std::int64_t elapsedNanoseconds, int width, int height,
                                           std::uint8_t* image, std::int64_t& dueNanoseconds) {
    ++grabs_;
    dueNanoseconds = elapsedNanoseconds;
    if (failures_ > 0) {
        --failures_;
        return platform::GrabOutcome::failed;
    }
    if (frames_.empty()) return platform::GrabOutcome::failed;
    const bool ended = ends_ && next_ >= frames_.size();
    const Frame& frame = frames_[std::min(next_, frames_.size() - 1)];
    ++next_;
    std::memcpy(image, frame.data(),
                std::min<std::size_t>(frame.size(), platform::dibImageBytes(width, height)));
    return ended ? platform::GrabOutcome::endOfRecording : platform::GrabOutcome::delivered;
}

}  // namespace testing_support
