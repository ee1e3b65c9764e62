#pragma once
// An FFmpeg filter graph (libavfilter) run on each picture of a source
// before it is scaled to the driver's size: turning, cropping, undistorting,
// so the detection window can be put on the lane without moving the camera.
// The graph must take one picture and give one for it.
#include <cstdint>
#include <string>

extern "C" {
#include <libavutil/rational.h>
}

struct AVFilterGraph;
struct AVFilterContext;
struct AVFrame;

namespace platform {

class FrameFilter {
public:
    explicit FrameFilter(std::string description);
    FrameFilter(const FrameFilter&) = delete;
    FrameFilter& operator=(const FrameFilter&) = delete;
    ~FrameFilter();

    struct Input {
        int width;
        int height;
        int format;  // an AVPixelFormat
        AVRational aspect;
    };

    // Parses the graph for pictures like `input` without setting it up: what
    // does not parse, names no filter or gives no video is refused with
    // FFmpeg's reason. Sizes are checked only against the real pictures.
    bool parse(const Input& input, std::string& failure);

    // The filtered `input`, valid until the next call; null, with FFmpeg's
    // reason in `failure`, when the graph gives no picture for it. The graph
    // is built again whenever the input's size or format changes.
    const AVFrame* apply(const AVFrame* input, std::string& failure);

private:
    bool build(const AVFrame* input, std::string& failure);
    void release();

    std::string description_;
    AVFilterGraph* graph_ = nullptr;
    AVFilterContext* entry_ = nullptr;
    AVFilterContext* exit_ = nullptr;
    AVFrame* output_;
    int builtWidth_ = 0;
    int builtHeight_ = 0;
    int builtFormat_ = -1;
};

// A new frame holding a copy of `width` x `height` BGR24 rows, top first;
// null when out of memory. The caller frees it.
AVFrame* copyBgrPicture(const std::uint8_t* pixels, int width, int height, int stride);

}  // namespace platform
