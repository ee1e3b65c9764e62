#include "platform/sources/media_input.h"

#include <algorithm>
#include <thread>

#include "platform/clock/clock.h"
#include "platform/sources/ffmpeg_diagnostics.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

namespace platform {
namespace {

AVDictionary* dictionaryOf(const std::vector<std::pair<std::string, std::string>>& options) {
    AVDictionary* dictionary = nullptr;
    for (const auto& [key, value] : options) av_dict_set(&dictionary, key.c_str(), value.c_str(), 0);
    return dictionary;
}

// Frame threads pay from about 640 x 360 up; each holds pictures of its own,
// so they are capped to keep memory bounded.
int decoderThreadsFor(const AVCodecParameters& parameters) {
    constexpr int smallestWorthIt = 640 * 360;
    constexpr unsigned int mostThreads = 4;
    if (parameters.width * parameters.height < smallestWorthIt) return 1;
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, mostThreads));
}

}  // namespace

MediaInput::~MediaInput() { close(); }

bool MediaInput::open(const InputRequest& request, std::string& reason) {
    close();
    waitLimitNanoseconds_ = request.waitLimitNanoseconds;
    restartWaitLimit();
    if (openContainer(request, reason) && openDecoder(request, reason)) return true;
    close();
    return false;
}

void MediaInput::close() {
    av_frame_free(&picture_);
    av_packet_free(&packet_);
    avcodec_free_context(&decoder_);
    avformat_close_input(&format_);
    streamIndex_ = -1;
    draining_ = false;
    decoding_ = {};
    decodingText_.clear();
    reducedFrom_.reset();
}

bool MediaInput::openContainer(const InputRequest& request, std::string& reason) {
    const AVInputFormat* inputFormat = nullptr;
    if (!request.formatName.empty()) {
        inputFormat = av_find_input_format(request.formatName.c_str());
        if (inputFormat == nullptr) {
            reason = "this FFmpeg cannot read " + request.formatName;
            return false;
        }
    }
    format_ = avformat_alloc_context();
    if (format_ == nullptr) {
        reason = ffmpegErrorText(AVERROR(ENOMEM));
        return false;
    }
    if (request.nonBlocking) format_->flags |= AVFMT_FLAG_NONBLOCK;
    if (waitLimitNanoseconds_ > 0) format_->interrupt_callback = {&MediaInput::interrupted, this};

    AVDictionary* options = dictionaryOf(request.options);
    const int opened = avformat_open_input(&format_, request.url.c_str(), inputFormat, &options);
    av_dict_free(&options);
    if (opened < 0) {
        reason = ffmpegErrorText(opened);
        return false;
    }
    const int found = avformat_find_stream_info(format_, nullptr);
    if (found < 0) {
        reason = "cannot read its streams (" + ffmpegErrorText(found) + ")";
        return false;
    }
    return true;
}

bool MediaInput::openDecoder(const InputRequest& request, std::string& reason) {
    const AVCodec* codec = nullptr;
    streamIndex_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (streamIndex_ == AVERROR_DECODER_NOT_FOUND) {
        reason = "no decoder for its video";
        return false;
    }
    if (streamIndex_ < 0) {
        reason = "no video in it";
        return false;
    }
    for (unsigned int index = 0; index < format_->nb_streams; ++index) {
        if (static_cast<int>(index) != streamIndex_) format_->streams[index]->discard = AVDISCARD_ALL;
    }
    const AVStream* stream = format_->streams[streamIndex_];
    decoder_ = avcodec_alloc_context3(codec);
    packet_ = av_packet_alloc();
    picture_ = av_frame_alloc();
    if (decoder_ == nullptr || packet_ == nullptr || picture_ == nullptr) {
        reason = ffmpegErrorText(AVERROR(ENOMEM));
        return false;
    }
    const int copied = avcodec_parameters_to_context(decoder_, stream->codecpar);
    if (copied < 0) {
        reason = "cannot set up its decoder (" + ffmpegErrorText(copied) + ")";
        return false;
    }
    decoder_->thread_count = request.threadedDecoding ? decoderThreadsFor(*stream->codecpar) : 1;
    decoder_->pkt_timebase = stream->time_base;
    setUpDecoding(*codec, request);
    const int started = avcodec_open2(decoder_, codec, nullptr);
    if (started < 0) {
        reason = "cannot open its decoder (" + ffmpegErrorText(started) + ")";
        return false;
    }
    return true;
}

void MediaInput::setUpDecoding(const AVCodec& codec, const InputRequest& request) {
    if (!request.shownSize) return;
    const AVCodecParameters& parameters = *format_->streams[streamIndex_]->codecpar;
    const PictureSize coded{parameters.width, parameters.height};
    decoding_ = platform::chooseDecoding(codec, coded, *request.shownSize);
    if (!decoding_.cheap()) return;
    decoder_->lowres = decoding_.lowres;
    if (decoding_.lowres > 0) reducedFrom_ = coded;
    if (decoding_.skipBidirectionalLoopFilter) decoder_->skip_loop_filter = AVDISCARD_BIDIR;
    decodingText_ = platform::decodingText(codec, coded, *request.shownSize, decoding_);
}

DecodeStatus MediaInput::decodeNext(std::int64_t unseenBefore) {
    lastWaitNanoseconds_ = 0;
    for (;;) {
        const int received = avcodec_receive_frame(decoder_, picture_);
        if (received == 0) return DecodeStatus::picture;
        if (received == AVERROR_EOF) return DecodeStatus::end;
        if (received != AVERROR(EAGAIN)) {
            lastError_ = received;
            return DecodeStatus::undecodable;
        }
        if (const auto stop = feedDecoder(unseenBefore)) return *stop;
    }
}

// Gives the decoder one packet of the video stream, or the end of the input.
std::optional<DecodeStatus> MediaInput::feedDecoder(std::int64_t unseenBefore) {
    // A decoder that is drained never asks for more; this only guards the loop.
    if (draining_) return DecodeStatus::end;
    // Only a live input, which may wait, times its reads: a recording is read
    // on a thread of its own, where the program's clock is not to be touched.
    const bool timed = waitLimitNanoseconds_ > 0;
    const std::int64_t readStart = timed ? clock::nowNanoseconds() : 0;
    const int read = av_read_frame(format_, packet_);
    if (timed) lastWaitNanoseconds_ += clock::nowNanoseconds() - readStart;
    if (read == AVERROR(EAGAIN)) return DecodeStatus::again;
    if (read < 0) {
        startDraining();
        if (read == AVERROR_EOF) return std::nullopt;
        lastError_ = read;
        return DecodeStatus::readError;
    }
    if (packet_->stream_index != streamIndex_) {
        av_packet_unref(packet_);
        return std::nullopt;
    }
    const bool unseen = packet_->pts != AV_NOPTS_VALUE && packet_->pts < unseenBefore;
    decoder_->skip_frame = unseen ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
    const int sent = avcodec_send_packet(decoder_, packet_);
    av_packet_unref(packet_);
    if (sent < 0) {
        lastError_ = sent;
        return DecodeStatus::undecodable;
    }
    return std::nullopt;
}

void MediaInput::startDraining() {
    draining_ = true;
    // Only fails when the decoder is drained already, which ends it just as well.
    avcodec_send_packet(decoder_, nullptr);
}

bool MediaInput::seekTo(std::int64_t timestamp) {
    if (av_seek_frame(format_, streamIndex_, timestamp, AVSEEK_FLAG_ANY) < 0) return false;
    avcodec_flush_buffers(decoder_);
    draining_ = false;
    return true;
}

void MediaInput::restartWaitLimit() {
    deadlineNanoseconds_ = clock::nowNanoseconds() + waitLimitNanoseconds_;
}

bool MediaInput::waitLimitPassed() const {
    return waitLimitNanoseconds_ > 0 && clock::nowNanoseconds() > deadlineNanoseconds_;
}

// Also the operator's stop: a stream that never answers cannot hold it.
int MediaInput::interrupted(void* self) {
    return static_cast<const MediaInput*>(self)->waitLimitPassed() || clock::stopRequested() ? 1 : 0;
}

AVRational MediaInput::timeBase() const { return format_->streams[streamIndex_]->time_base; }

AVRational MediaInput::averageRate() const { return format_->streams[streamIndex_]->avg_frame_rate; }

std::int64_t MediaInput::startNanoseconds() const {
    const std::int64_t start = format_->start_time;
    return start == AV_NOPTS_VALUE ? 0 : av_rescale_q(start, AV_TIME_BASE_Q, AVRational{1, 1'000'000'000});
}

std::int64_t MediaInput::streamDuration() const {
    const std::int64_t duration = format_->streams[streamIndex_]->duration;
    return duration == AV_NOPTS_VALUE ? 0 : duration;
}

std::int64_t MediaInput::frameCount() const { return format_->streams[streamIndex_]->nb_frames; }

std::string MediaInput::metadata(const char* key) const {
    const AVDictionaryEntry* entry = av_dict_get(format_->metadata, key, nullptr, 0);
    return entry != nullptr && entry->value != nullptr ? entry->value : "";
}

double MediaInput::containerSeconds() const {
    return format_->duration == AV_NOPTS_VALUE ? 0.0 : static_cast<double>(format_->duration) / AV_TIME_BASE;
}

}  // namespace platform
