#include "platform/sources/ffmpeg_source.h"

#include "platform/sources/capture_device_formats.h"
#include "platform/sources/ffmpeg_diagnostics.h"
#include "platform/sources/live_source.h"
#include "platform/sources/recorded_source.h"
#include "platform/sources/source_kind.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace platform {
namespace {

constexpr FrameRate sequenceDefaultRate{25, 1};

}  // namespace

std::unique_ptr<FrameSource> makeFfmpegSource(const std::string& name,
                                              std::optional<FrameRate> rateOverride) {
    prepareFfmpeg();
    const SourceKind kind = kindOfSource(name);
    if (kind == SourceKind::camera) loadCaptureDeviceFormats();
    const InputRequest request = inputRequestFor(name, kind, rateOverride.value_or(sequenceDefaultRate));
    if (isLiveKind(kind)) return std::make_unique<LiveSource>(name, request);
    if (kind == SourceKind::imageSequence) rateOverride = rateOverride.value_or(sequenceDefaultRate);
    return std::make_unique<RecordedSource>(name, request, kind == SourceKind::imageSequence, rateOverride);
}

FfmpegSource::FfmpegSource(std::string name, Conversion conversion)
    : name_(std::move(name)), held_(av_frame_alloc()), scaler_(conversion) {}

FfmpegSource::~FfmpegSource() { av_frame_free(&held_); }

bool FfmpegSource::holdsPicture() const { return held_ != nullptr && held_->data[0] != nullptr; }

void FfmpegSource::hold(AVFrame* decoded) {
    av_frame_unref(held_);
    av_frame_move_ref(held_, decoded);
}

bool FfmpegSource::adoptHeldPicture(std::string& reason) {
    const auto format = static_cast<AVPixelFormat>(held_->format);
    if (sws_isSupportedInput(format) <= 0) {
        const char* formatName = av_get_pix_fmt_name(format);
        reason = std::string("its pixel format ") + (formatName != nullptr ? formatName : "(unknown)") +
                 " cannot be converted";
        return false;
    }
    nativeWidth_ = held_->width;
    nativeHeight_ = held_->height;
    return true;
}

bool FfmpegSource::deliverHeld(int width, int height, std::uint8_t* image) {
    const Picture picture{held_->data, held_->linesize, static_cast<AVPixelFormat>(held_->format),
                          held_->width, held_->height};
    return scaler_.scale(picture, width, height, image);
}

void FfmpegSource::dropHeldPicture() { av_frame_unref(held_); }

void FfmpegSource::report(const std::string& text) const { reportSourceProblem(name_, text); }

}  // namespace platform
