#include "support/scene_video.h"

#include <memory>

#include "platform/sources/ffmpeg_diagnostics.h"
#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace testing_support {
namespace {

struct Encoding {
    AVFormatContext* output = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = av_packet_alloc();
    SwsContext* toYuv = nullptr;

    ~Encoding() {
        sws_freeContext(toYuv);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&encoder);
        if (output != nullptr && output->pb != nullptr) avio_closep(&output->pb);
        avformat_free_context(output);
    }
};

bool start(Encoding& encoding, const std::string& path, const AVCodec& codec) {
    if (avformat_alloc_output_context2(&encoding.output, nullptr, nullptr, path.c_str()) < 0) return false;
    encoding.stream = avformat_new_stream(encoding.output, nullptr);
    encoding.encoder = avcodec_alloc_context3(&codec);
    AVCodecContext& encoder = *encoding.encoder;
    encoder.width = platform::synthetic::pictureWidth;
    encoder.height = platform::synthetic::pictureHeight;
    encoder.pix_fmt = codec.id == AV_CODEC_ID_MJPEG ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
    encoder.time_base = {1, 25};
    encoder.thread_count = 1;
    if (codec.id == AV_CODEC_ID_MJPEG) encoder.global_quality = 4 * FF_QP2LAMBDA;
    if (codec.id == AV_CODEC_ID_MJPEG) encoder.flags |= AV_CODEC_FLAG_QSCALE;
    if ((encoding.output->oformat->flags & AVFMT_GLOBALHEADER) != 0)
        encoder.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // B-frames and the loop filter on, as a camera's or a phone's encoder has them.
    AVDictionary* settings = nullptr;
    av_dict_set(&settings, "preset", "veryfast", 0);
    const int opened = avcodec_open2(&encoder, &codec, &settings);
    av_dict_free(&settings);
    if (opened < 0 || avcodec_parameters_from_context(encoding.stream->codecpar, &encoder) < 0) return false;
    encoding.stream->time_base = encoder.time_base;
    encoding.frame = av_frame_alloc();
    encoding.frame->format = encoder.pix_fmt;
    encoding.frame->width = encoder.width;
    encoding.frame->height = encoder.height;
    encoding.toYuv = sws_getContext(encoder.width, encoder.height, AV_PIX_FMT_BGR24, encoder.width,
                                    encoder.height, encoder.pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
    return encoding.packet != nullptr && encoding.toYuv != nullptr &&
           av_frame_get_buffer(encoding.frame, 0) >= 0 &&
           avio_open(&encoding.output->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 &&
           avformat_write_header(encoding.output, nullptr) >= 0;
}

bool send(Encoding& encoding, const AVFrame* frame) {
    if (avcodec_send_frame(encoding.encoder, frame) < 0) return false;
    for (;;) {
        const int received = avcodec_receive_packet(encoding.encoder, encoding.packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return true;
        if (received < 0) return false;
        av_packet_rescale_ts(encoding.packet, encoding.encoder->time_base, encoding.stream->time_base);
        encoding.packet->stream_index = encoding.stream->index;
        if (av_interleaved_write_frame(encoding.output, encoding.packet) < 0) return false;
    }
}

bool encodeScene(Encoding& encoding, platform::SyntheticSource& scene, int frames) {
    for (int index = 0; index < frames; ++index) {
        const std::uint8_t* bgr = scene.nativeFrame(index).data();
        const int stride = platform::synthetic::pictureRowBytes;
        if (av_frame_make_writable(encoding.frame) < 0) return false;
        sws_scale(encoding.toYuv, &bgr, &stride, 0, platform::synthetic::pictureHeight, encoding.frame->data,
                  encoding.frame->linesize);
        encoding.frame->pts = index;
        if (!send(encoding, encoding.frame)) return false;
    }
    return send(encoding, nullptr) && av_write_trailer(encoding.output) >= 0;
}

}  // namespace

bool writeSceneVideo(const std::string& path, const std::string& options, int frames,
                     const std::string& encoderName, std::string& failure) {
    platform::prepareFfmpeg();
    const AVCodec* codec = avcodec_find_encoder_by_name(encoderName.c_str());
    if (codec == nullptr) {
        failure = "this FFmpeg has no encoder " + encoderName;
        return false;
    }
    std::unique_ptr<platform::FrameSource> source =
        platform::makeSyntheticSource(options, std::nullopt, failure);
    auto* scene = dynamic_cast<platform::SyntheticSource*>(source.get());
    if (scene == nullptr) return false;
    Encoding encoding;
    if (start(encoding, path, *codec) && encodeScene(encoding, *scene, frames)) return true;
    failure = "cannot encode " + path + " with " + encoderName;
    return false;
}

}  // namespace testing_support
