#include "platform/sources/frame_filter.h"

#include <cstring>

#include "platform/sources/ffmpeg_diagnostics.h"
#include "platform/sources/filter_library.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

namespace platform {
namespace {

// FFmpeg names what is wrong with a graph in its log, which is otherwise
// kept to fatal errors.
class GraphErrorsShown {
public:
    GraphErrorsShown() : level_(av_log_get_level()) { av_log_set_level(AV_LOG_ERROR); }
    ~GraphErrorsShown() { av_log_set_level(level_); }
    GraphErrorsShown(const GraphErrorsShown&) = delete;
    GraphErrorsShown& operator=(const GraphErrorsShown&) = delete;

private:
    int level_;
};

std::string inputArguments(const FrameFilter::Input& input) {
    const AVRational aspect = input.aspect.num > 0 ? input.aspect : AVRational{1, 1};
    return "video_size=" + std::to_string(input.width) + "x" + std::to_string(input.height) +
           ":pix_fmt=" + std::to_string(input.format) +
           ":time_base=1/25:pixel_aspect=" + std::to_string(aspect.num) + "/" + std::to_string(aspect.den);
}

bool failed(int code, const std::string& what, std::string& failure) {
    if (code >= 0) return false;
    failure = "filter graph: " + what + ": " + ffmpegErrorText(code);
    return true;
}

}  // namespace

FrameFilter::FrameFilter(std::string description)
    : description_(std::move(description)), output_(av_frame_alloc()) {}

FrameFilter::~FrameFilter() {
    release();
    av_frame_free(&output_);
}

void FrameFilter::release() {
    if (graph_ != nullptr) filterLibrary()->graphFree(&graph_);
    entry_ = nullptr;
    exit_ = nullptr;
    builtFormat_ = -1;
}

bool FrameFilter::parse(const Input& input, std::string& failure) {
    release();
    const FilterLibrary* library = filterLibrary();
    if (library == nullptr) {
        failure = "filter graph: libavfilter cannot be loaded";
        return false;
    }
    const GraphErrorsShown shown;
    graph_ = library->graphAlloc();
    if (graph_ == nullptr) return !failed(AVERROR(ENOMEM), "no memory", failure);
    graph_->nb_threads = 1;
    if (failed(library->createFilter(&entry_, library->filterNamed("buffer"), "in",
                                     inputArguments(input).c_str(), nullptr, graph_),
               "its input", failure) ||
        failed(library->createFilter(&exit_, library->filterNamed("buffersink"), "out", nullptr, nullptr,
                                     graph_),
               "its output", failure)) {
        release();
        return false;
    }
    AVFilterInOut* outputs = library->inOutAlloc();
    AVFilterInOut* inputs = library->inOutAlloc();
    outputs->name = av_strdup("in");
    outputs->filter_ctx = entry_;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = exit_;
    const int parsed = library->parse(graph_, description_.c_str(), &inputs, &outputs, nullptr);
    library->inOutFree(&inputs);
    library->inOutFree(&outputs);
    if (failed(parsed, "'" + description_ + "' does not parse", failure)) {
        release();
        return false;
    }
    return true;
}

bool FrameFilter::build(const AVFrame* input, std::string& failure) {
    const Input described{input->width, input->height, input->format, input->sample_aspect_ratio};
    if (!parse(described, failure)) return false;
    const GraphErrorsShown shown;
    if (failed(filterLibrary()->configure(graph_, nullptr), "'" + description_ + "' cannot be set up",
               failure)) {
        release();
        return false;
    }
    builtWidth_ = input->width;
    builtHeight_ = input->height;
    builtFormat_ = input->format;
    return true;
}

const AVFrame* FrameFilter::apply(const AVFrame* input, std::string& failure) {
    if (input->width != builtWidth_ || input->height != builtHeight_ || input->format != builtFormat_) {
        if (!build(input, failure)) return nullptr;
    }
    av_frame_unref(output_);
    const FilterLibrary* library = filterLibrary();
    const GraphErrorsShown shown;
    if (failed(library->writeFrame(entry_, input), "'" + description_ + "' takes no picture", failure))
        return nullptr;
    const int pulled = library->takeFrame(exit_, output_);
    if (pulled == AVERROR(EAGAIN)) {
        failure = "filter graph: '" + description_ + "' gives no picture for a picture";
        release();
        return nullptr;
    }
    if (failed(pulled, "'" + description_ + "' gives no picture", failure)) return nullptr;
    // A graph that gives more pictures than it takes would fall behind.
    AVFrame* surplus = av_frame_alloc();
    while (surplus != nullptr && library->takeFrame(exit_, surplus) >= 0) av_frame_unref(surplus);
    av_frame_free(&surplus);
    return output_;
}

AVFrame* copyBgrPicture(const std::uint8_t* pixels, int width, int height, int stride) {
    AVFrame* frame = av_frame_alloc();
    if (frame == nullptr) return nullptr;
    frame->width = width;
    frame->height = height;
    frame->format = AV_PIX_FMT_BGR24;
    if (av_frame_get_buffer(frame, 0) < 0) {
        av_frame_free(&frame);
        return nullptr;
    }
    for (int row = 0; row < height; ++row)
        std::memcpy(frame->data[0] + static_cast<std::ptrdiff_t>(row) * frame->linesize[0],
                    pixels + static_cast<std::ptrdiff_t>(row) * stride, static_cast<std::size_t>(width) * 3);
    return frame;
}

}  // namespace platform
