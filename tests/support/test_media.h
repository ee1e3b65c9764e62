#pragma once
// Media the tests make for themselves: a temporary folder, small videos
// encoded with FFmpeg's API in a known pattern, BMP files, JPEG pictures.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
}

namespace testmedia {

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavo_sources_XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }

private:
    std::string path_;
};

// The pattern of frame `frame` at (x, y), as B, G, R: every frame differs
// from every other in every pixel.
struct Bgr {
    std::uint8_t b, g, r;
};
inline Bgr patternPixel(int frame, int x, int y) {
    return {static_cast<std::uint8_t>(x * 2 + frame * 16), static_cast<std::uint8_t>(y * 3 + frame * 8),
            static_cast<std::uint8_t>(frame * 40 + 7)};
}

// The DIB the driver should hand out for frame `frame` at its native size:
// bottom row first, rows padded to 4 bytes with zeros.
inline std::vector<std::uint8_t> patternDib(int frame, int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> dib(static_cast<std::size_t>(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = dib.data() + static_cast<std::size_t>(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const Bgr pixel = patternPixel(frame, x, y);
            row[x * 3] = pixel.b;
            row[x * 3 + 1] = pixel.g;
            row[x * 3 + 2] = pixel.r;
        }
    }
    return dib;
}

inline void fillPattern(AVFrame* frame, int index) {
    for (int y = 0; y < frame->height; ++y) {
        std::uint8_t* row = frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0];
        for (int x = 0; x < frame->width; ++x) {
            const Bgr pixel = patternPixel(index, x, y);
            row[x * 4] = pixel.b;
            row[x * 4 + 1] = pixel.g;
            row[x * 4 + 2] = pixel.r;
            row[x * 4 + 3] = 0;
        }
    }
}

inline void writePackets(AVCodecContext* encoder, const AVFrame* frame, AVFormatContext* output,
                         AVStream* stream, AVPacket* packet) {
    ASSERT_GE(avcodec_send_frame(encoder, frame), 0);
    for (;;) {
        const int received = avcodec_receive_packet(encoder, packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
        ASSERT_GE(received, 0);
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        ASSERT_GE(av_interleaved_write_frame(output, packet), 0);
    }
}

struct VideoRecipe {
    AVCodecID codec = AV_CODEC_ID_FFV1;
    AVPixelFormat pixelFormat = AV_PIX_FMT_BGR0;  // the pattern is written for BGR0
    int width = 32;
    int height = 24;
    AVRational timeBase{1, 1000};
    std::vector<std::int64_t> timestamps;  // one per frame, in time base units
};

// Encodes one frame per timestamp; the container follows the file extension.
inline void writeVideo(const std::string& path, const VideoRecipe& recipe) {
    AVFormatContext* output = nullptr;
    ASSERT_GE(avformat_alloc_output_context2(&output, nullptr, nullptr, path.c_str()), 0);
    const AVCodec* codec = avcodec_find_encoder(recipe.codec);
    ASSERT_NE(codec, nullptr);
    AVStream* stream = avformat_new_stream(output, nullptr);
    AVCodecContext* encoder = avcodec_alloc_context3(codec);
    encoder->width = recipe.width;
    encoder->height = recipe.height;
    encoder->pix_fmt = recipe.pixelFormat;
    encoder->time_base = recipe.timeBase;
    encoder->thread_count = 1;
    if (output->oformat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    ASSERT_GE(avcodec_open2(encoder, codec, nullptr), 0);
    ASSERT_GE(avcodec_parameters_from_context(stream->codecpar, encoder), 0);
    stream->time_base = recipe.timeBase;
    ASSERT_GE(avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE), 0);
    ASSERT_GE(avformat_write_header(output, nullptr), 0);

    AVFrame* frame = av_frame_alloc();
    frame->format = recipe.pixelFormat;
    frame->width = recipe.width;
    frame->height = recipe.height;
    ASSERT_GE(av_frame_get_buffer(frame, 0), 0);
    AVPacket* packet = av_packet_alloc();
    for (std::size_t index = 0; index < recipe.timestamps.size(); ++index) {
        ASSERT_GE(av_frame_make_writable(frame), 0);
        if (recipe.pixelFormat == AV_PIX_FMT_BGR0) fillPattern(frame, static_cast<int>(index));
        frame->pts = recipe.timestamps[index];
        writePackets(encoder, frame, output, stream, packet);
    }
    writePackets(encoder, nullptr, output, stream, packet);
    ASSERT_GE(av_write_trailer(output), 0);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&encoder);
    avio_closep(&output->pb);
    avformat_free_context(output);
}

inline std::vector<std::int64_t> evenTimestamps(int frames, std::int64_t step) {
    std::vector<std::int64_t> timestamps;
    for (int index = 0; index < frames; ++index) timestamps.push_back(index * step);
    return timestamps;
}

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void putLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
    for (int index = 0; index < size; ++index)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * index)));
}

// A 24-bit BMP: the 14-byte file header, the 40-byte info header, then
// `pixels` as they are (bottom row first, rows padded to 4 bytes).
inline void writeBmp(const std::string& path, int width, int height,
                     const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> file = {'B', 'M'};
    putLittleEndian(file, static_cast<std::uint32_t>(54 + pixels.size()), 4);
    putLittleEndian(file, 0, 4);
    putLittleEndian(file, 54, 4);
    putLittleEndian(file, 40, 4);
    putLittleEndian(file, static_cast<std::uint32_t>(width), 4);
    putLittleEndian(file, static_cast<std::uint32_t>(height), 4);
    putLittleEndian(file, 1, 2);
    putLittleEndian(file, 24, 2);
    putLittleEndian(file, 0, 4);
    putLittleEndian(file, static_cast<std::uint32_t>(pixels.size()), 4);
    putLittleEndian(file, 2835, 4);
    putLittleEndian(file, 2835, 4);
    putLittleEndian(file, 0, 4);
    putLittleEndian(file, 0, 4);
    file.insert(file.end(), pixels.begin(), pixels.end());
    writeBytes(path, file);
}

// A JPEG of a flat picture whose luma is `level`.
inline std::vector<std::uint8_t> flatJpeg(int width, int height, int level) {
    std::vector<std::uint8_t> jpeg;
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    AVCodecContext* encoder = avcodec_alloc_context3(codec);
    encoder->width = width;
    encoder->height = height;
    encoder->pix_fmt = AV_PIX_FMT_YUVJ420P;
    encoder->time_base = {1, 25};
    AVFrame* frame = av_frame_alloc();
    frame->format = encoder->pix_fmt;
    frame->width = width;
    frame->height = height;
    AVPacket* packet = av_packet_alloc();
    if (avcodec_open2(encoder, codec, nullptr) >= 0 && av_frame_get_buffer(frame, 0) >= 0) {
        for (int plane = 0; plane < 3; ++plane) {
            const int rows = plane == 0 ? height : height / 2;
            for (int y = 0; y < rows; ++y) {
                std::uint8_t* row =
                    frame->data[plane] + static_cast<std::ptrdiff_t>(y) * frame->linesize[plane];
                std::fill(row, row + frame->linesize[plane], plane == 0 ? level : 128);
            }
        }
        frame->pts = 0;
        if (avcodec_send_frame(encoder, frame) >= 0 && avcodec_receive_packet(encoder, packet) >= 0) {
            jpeg.assign(packet->data, packet->data + packet->size);
        }
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&encoder);
    return jpeg;
}

}  // namespace testmedia
