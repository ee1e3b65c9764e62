#pragma once
// A live source (V4L2 camera, network stream) on the real clock: a grab
// delivers the newest picture. When the source stops delivering, grabs fail
// and each later grab tries to reopen it, at most once a second, so the
// program carries on by itself once it is back.
#include "platform/sources/ffmpeg_source.h"
#include "platform/sources/media_input.h"

namespace platform {

class LiveSource final : public FfmpegSource {
public:
    LiveSource(std::string name, InputRequest request);

    bool open(std::string& failure) override;
    void close() override;
    bool isOpen() const override { return connected_; }
    bool isLive() const override { return true; }
    GrabOutcome grab(std::int64_t elapsedNanoseconds, int width, int height, std::uint8_t* image,
                     std::int64_t& dueNanoseconds) override;

private:
    bool connect(std::string& reason);
    bool takeNewestPicture();
    bool reconnect();
    bool readNewest(std::string& reason);
    void lose(const std::string& reason);

    InputRequest request_;
    MediaInput input_;
    bool connected_ = false;
    std::int64_t lastAttemptNanoseconds_ = 0;
};

}  // namespace platform
