// Demuxes a video file and decodes every frame of its video stream with the
// same FFmpeg libraries and one decoder thread as the program, and nothing
// else: the floor the whole program is measured against.
//
//   decode_alone FILE [--convert WIDTHxHEIGHT]
//
// --convert also turns every decoded picture into the driver's format, as the
// program does for each delivered frame, to show what that conversion adds.
// Prints the frames decoded and the wall time in seconds.
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/sources/frame_scaler.h"
#include "platform/sources/frame_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

struct Size {
    int width;
    int height;
};

struct Decoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    int stream = -1;

    ~Decoder() {
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

bool openDecoder(const char* path, Decoder& decoder) {
    if (avformat_open_input(&decoder.format, path, nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(decoder.format, nullptr) < 0) return false;
    const AVCodec* codec = nullptr;
    decoder.stream = av_find_best_stream(decoder.format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (decoder.stream < 0) return false;
    for (unsigned int index = 0; index < decoder.format->nb_streams; ++index) {
        if (static_cast<int>(index) != decoder.stream)
            decoder.format->streams[index]->discard = AVDISCARD_ALL;
    }
    decoder.codec = avcodec_alloc_context3(codec);
    if (decoder.codec == nullptr) return false;
    if (avcodec_parameters_to_context(decoder.codec, decoder.format->streams[decoder.stream]->codecpar) < 0)
        return false;
    decoder.codec->thread_count = 1;
    return avcodec_open2(decoder.codec, codec, nullptr) >= 0;
}

class Converter {
public:
    explicit Converter(Size size) : size_(size), image_(platform::dibImageBytes(size.width, size.height)) {}

    bool convert(const AVFrame* picture) {
        const platform::Picture source{picture->data, picture->linesize,
                                       static_cast<AVPixelFormat>(picture->format), picture->width,
                                       picture->height};
        return scaler_.scale(source, size_.width, size_.height, image_.data());
    }

private:
    Size size_;
    platform::FrameScaler scaler_;
    std::vector<std::uint8_t> image_;
};

// Takes every picture the decoder has ready; false when one cannot be converted.
bool drainPictures(Decoder& decoder, AVFrame* picture, std::optional<Converter>& converter, long& frames) {
    while (avcodec_receive_frame(decoder.codec, picture) == 0) {
        ++frames;
        const bool converted = !converter || converter->convert(picture);
        av_frame_unref(picture);
        if (!converted) return false;
    }
    return true;
}

// Number of frames decoded, or -1 when decoding stopped on a fault.
long decodeEveryFrame(Decoder& decoder, std::optional<Converter>& converter) {
    AVPacket* packet = av_packet_alloc();
    AVFrame* picture = av_frame_alloc();
    long frames = 0;
    bool sound = true;
    while (sound && av_read_frame(decoder.format, packet) >= 0) {
        if (packet->stream_index == decoder.stream) {
            // A packet that does not decode is skipped, as the program does.
            avcodec_send_packet(decoder.codec, packet);
            sound = drainPictures(decoder, picture, converter, frames);
        }
        av_packet_unref(packet);
    }
    if (sound) {
        avcodec_send_packet(decoder.codec, nullptr);
        sound = drainPictures(decoder, picture, converter, frames);
    }
    av_frame_free(&picture);
    av_packet_free(&packet);
    return sound ? frames : -1;
}

std::optional<Size> sizeFrom(const std::string& text) {
    Size size{};
    char separator = 0;
    if (std::sscanf(text.c_str(), "%d%c%d", &size.width, &separator, &size.height) != 3 || separator != 'x' ||
        size.width <= 0 || size.height <= 0)
        return std::nullopt;
    return size;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<Size> convertTo;
    if (argc == 4 && std::string(argv[2]) == "--convert") convertTo = sizeFrom(argv[3]);
    if (argc != 2 && !convertTo) {
        std::fprintf(stderr, "usage: decode_alone FILE [--convert WIDTHxHEIGHT]\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    Decoder decoder;
    if (!openDecoder(argv[1], decoder)) {
        std::fprintf(stderr, "decode_alone: cannot decode %s\n", argv[1]);
        return 1;
    }
    std::optional<Converter> converter;
    if (convertTo) converter.emplace(*convertTo);
    const long frames = decodeEveryFrame(decoder, converter);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
    if (frames < 0) {
        std::fprintf(stderr, "decode_alone: a picture of %s cannot be converted\n", argv[1]);
        return 1;
    }
    std::printf("frames %ld seconds %.3f\n", frames, elapsed.count());
    return 0;
}
