#include "platform/sources/ffmpeg_source.h"

#include "platform/sources/capture_device_formats.h"
#include "platform/sources/ffmpeg_diagnostics.h"
#include "platform/sources/full_size_frame.h"
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
    delivered_ = nullptr;
}

bool FfmpegSource::setFilter(const std::string& description, std::string& failure) {
    auto filter = std::make_unique<FrameFilter>(description);
    const FrameFilter::Input input{640, 480, AV_PIX_FMT_YUV420P, {1, 1}};
    if (!filter->parse(input, failure)) return false;
    filter_ = std::move(filter);
    return true;
}

const AVFrame* FfmpegSource::deliveredPicture(std::string& failure) {
    delivered_ = filter_ ? filter_->apply(held_, failure) : held_;
    return delivered_;
}

std::shared_ptr<const FullSizeFrame> FfmpegSource::fullSizeFrame() const {
    if (delivered_ == nullptr || delivered_->data[0] == nullptr) return nullptr;
    return std::make_shared<const FullSizeFrame>(delivered_);
}

std::optional<PictureSize> FfmpegSource::shownSize() const { return filter_ ? std::nullopt : shownSize_; }

void FfmpegSource::reportDecoding(const MediaInput& input) {
    if (reportedDecoding_ || input.decodingText().empty()) return;
    reportedDecoding_ = true;
    report(input.decodingText());
}

bool FfmpegSource::adoptHeldPicture(std::optional<PictureSize> fullSize, std::string& reason) {
    const AVFrame* picture = deliveredPicture(reason);
    if (picture == nullptr) return false;
    const auto format = static_cast<AVPixelFormat>(picture->format);
    if (sws_isSupportedInput(format) <= 0) {
        const char* formatName = av_get_pix_fmt_name(format);
        reason = std::string("its pixel format ") + (formatName != nullptr ? formatName : "(unknown)") +
                 " cannot be converted";
        return false;
    }
    nativeWidth_ = fullSize ? fullSize->width : picture->width;
    nativeHeight_ = fullSize ? fullSize->height : picture->height;
    return true;
}

bool FfmpegSource::deliverHeld(int width, int height, std::uint8_t* image) {
    std::string failure;
    const AVFrame* delivered = deliveredPicture(failure);
    if (delivered == nullptr) {
        if (!reportedFilter_) report(failure);
        reportedFilter_ = true;
        return false;
    }
    const Picture picture{delivered->data, delivered->linesize, static_cast<AVPixelFormat>(delivered->format),
                          delivered->width, delivered->height};
    return scaler_.scale(picture, width, height, image);
}

void FfmpegSource::dropHeldPicture() {
    av_frame_unref(held_);
    delivered_ = nullptr;
}

void FfmpegSource::report(const std::string& text) const { reportSourceProblem(name_, text); }

}  // namespace platform
