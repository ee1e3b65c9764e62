#pragma once
// A frame source for tests: hands out prepared frames one per grab, in order,
// whatever the clock says; the last frame repeats.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sources/frame_source.h"

namespace testing_support {

using Frame = std::vector<std::uint8_t>;

// A bottom-up BGR24 frame whose gray image (top row first, mirrored) is
// `gray`: every pixel neutral, so its gray value is exactly the byte.
Frame frameFromGray(const std::vector<std::uint8_t>& gray, int width, int height);

// A frame of one gray level.
Frame uniformFrame(std::uint8_t level, int width = 320, int height = 240);

class ScriptedSource : public platform::FrameSource {
public:
    explicit ScriptedSource(int width = 320, int height = 240) : width_(width), height_(height) {}

    void add(Frame frame) { frames_.push_back(std::move(frame)); }
    void failNextGrabs(int count) { failures_ = count; }
    // After the last frame the recording ends: the driver raises a close
    // request, as at the end of a video file.
    void endAfterLastFrame() { ends_ = true; }
    int grabs() const { return grabs_; }

    bool open(std::string&) override {
        open_ = true;
        return true;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool isLive() const override { return false; }
    int nativeWidth() const override { return width_; }
    int nativeHeight() const override { return height_; }
    platform::GrabOutcome grab(std::int64_t elapsedNanoseconds, int width, int height, std::uint8_t* image,
                               std::int64_t& dueNanoseconds) override;

private:
    int width_;
    int height_;
    std::vector<Frame> frames_;
    std::size_t next_ = 0;
    int failures_ = 0;
    int grabs_ = 0;
    bool open_ = false;
    bool ends_ = false;
};

}  // namespace testing_support
