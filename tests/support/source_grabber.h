#pragma once
// Drives a frame source the way the capture driver does, for the tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sources/ffmpeg_source.h"

namespace testmedia {

struct Grab {
    platform::GrabOutcome outcome;
    std::int64_t dueNanoseconds;
    std::vector<std::uint8_t> image;
};

class SourceGrabber {
public:
    explicit SourceGrabber(const std::string& name, std::optional<platform::FrameRate> rate = std::nullopt)
        : source(platform::makeFfmpegSource(name, rate)) {}

    bool open() {
        failure.clear();
        return source->open(failure);
    }

    // Grabs into a buffer of exactly the DIB size with guard bytes behind it;
    // a write past the DIB fails the test.
    Grab grab(std::int64_t elapsedNanoseconds, int width, int height) {
        const std::size_t size = platform::dibImageBytes(width, height);
        std::vector<std::uint8_t> buffer(size + guardBytes, guardValue);
        std::int64_t due = -1;
        const platform::GrabOutcome outcome =
            source->grab(elapsedNanoseconds, width, height, buffer.data(), due);
        for (std::size_t index = size; index < buffer.size(); ++index) EXPECT_EQ(buffer[index], guardValue);
        buffer.resize(size);
        return {outcome, due, std::move(buffer)};
    }

    Grab grabNative(std::int64_t elapsedNanoseconds) {
        return grab(elapsedNanoseconds, source->nativeWidth(), source->nativeHeight());
    }

    std::unique_ptr<platform::FrameSource> source;
    std::string failure;

private:
    static constexpr std::size_t guardBytes = 64;
    static constexpr std::uint8_t guardValue = 0xA5;
};

// Mean of all bytes of a BGR image: its grey level.
inline double meanLevel(const std::vector<std::uint8_t>& image) {
    double sum = 0;
    for (const std::uint8_t byte : image) sum += byte;
    return image.empty() ? 0.0 : sum / static_cast<double>(image.size());
}

// The lines written to standard error while `action` ran.
template <typename Action>
std::vector<std::string> standardErrorLinesOf(Action action) {
    ::testing::internal::CaptureStderr();
    action();
    const std::string text = ::testing::internal::GetCapturedStderr();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace testmedia
