#pragma once
// Frame sources that FFmpeg decodes: video files and image sequences
// (recorded) and V4L2 cameras and network streams (live).
#include <memory>
#include <optional>
#include <string>

#include "platform/sources/frame_filter.h"
#include "platform/sources/frame_scaler.h"
#include "platform/sources/frame_source.h"
#include "platform/sources/media_input.h"
#include "platform/sources/recorded_timeline.h"

struct AVFrame;

namespace platform {

// `name` is a video file path, an image-sequence printf pattern (it contains
// '%'), /dev/videoN or a network URL. `rateOverride` sets the frame rate of a
// recording (image sequences run at 25 frames/s without it); live sources
// ignore it. The source is returned closed.
std::unique_ptr<FrameSource> makeFfmpegSource(const std::string& name, std::optional<FrameRate> rateOverride);

// What every FFmpeg source shares: its name, the picture it holds and the one
// conversion into the driver's format.
class FfmpegSource : public FrameSource {
public:
    FfmpegSource(const FfmpegSource&) = delete;
    FfmpegSource& operator=(const FfmpegSource&) = delete;
    ~FfmpegSource() override;

    int nativeWidth() const override { return nativeWidth_; }
    int nativeHeight() const override { return nativeHeight_; }
    bool setFilter(const std::string& description, std::string& failure) override;
    void decodeOnlyFor(int width, int height) override { shownSize_ = PictureSize{width, height}; }
    std::shared_ptr<const FullSizeFrame> fullSizeFrame() const override;

protected:
    FfmpegSource(std::string name, Conversion conversion);

    const std::string& name() const { return name_; }
    // The size the decoder may decode for; empty with a filter, whose graph
    // wants the pictures as they are.
    std::optional<PictureSize> shownSize() const;
    // Says once what `input` leaves out of decoding, if anything.
    void reportDecoding(const MediaInput& input);
    bool canHoldPictures() const { return held_ != nullptr; }
    bool holdsPicture() const;
    // Keeps `decoded` (moved out of it) as the picture to deliver.
    void hold(AVFrame* decoded);
    // Takes the native size from the held picture (or `fullSize`, when the
    // decoder makes it smaller), or says why it cannot be converted.
    bool adoptHeldPicture(std::optional<PictureSize> fullSize, std::string& reason);
    // Converts the held picture (filtered, with a filter) into the driver's format.
    bool deliverHeld(int width, int height, std::uint8_t* image);
    void dropHeldPicture();
    void report(const std::string& text) const;

private:
    // The held picture as it is delivered: filtered when there is a filter;
    // null, with the reason, when the filter gives none.
    const AVFrame* deliveredPicture(std::string& failure);

    std::string name_;
    AVFrame* held_;
    FrameScaler scaler_;
    std::unique_ptr<FrameFilter> filter_;
    const AVFrame* delivered_ = nullptr;
    bool reportedFilter_ = false;
    std::optional<PictureSize> shownSize_;
    bool reportedDecoding_ = false;
    int nativeWidth_ = 0;
    int nativeHeight_ = 0;
};

}  // namespace platform
