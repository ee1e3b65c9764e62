#include "app/aim/aim_command.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>
#include <vector>

#include "app/aim/aim_drawing.h"
#include "platform/sources/full_size_frame.h"
#include "platform/sources/source_factory.h"
#include "platform/winsys/png_snapshot.h"

namespace app::aim {
namespace {

constexpr int viewWidth = 320;
constexpr int viewHeight = 240;
// A live camera may fail a few grabs while it starts.
constexpr int grabAttempts = 50;

struct Grabbed {
    std::unique_ptr<platform::FrameSource> source;
    std::vector<std::uint8_t> dib;  // the 320 x 240 picture, bottom row first
};

// The source opened (through `filter`) and its first frame grabbed; null
// source, with the reason, otherwise.
Grabbed grabFirstFrame(const std::string& name, const std::optional<std::string>& filter,
                       std::string& failure) {
    Grabbed grabbed{platform::makeFrameSource(name, std::nullopt, failure), {}};
    if (!grabbed.source) return grabbed;
    if ((filter && !grabbed.source->setFilter(*filter, failure)) || !grabbed.source->open(failure)) {
        grabbed.source.reset();
        return grabbed;
    }
    grabbed.dib.resize(platform::dibImageBytes(viewWidth, viewHeight));
    const auto start = std::chrono::steady_clock::now();
    for (int attempt = 0; attempt < grabAttempts; ++attempt) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start)
                .count();
        std::int64_t due = 0;
        const auto outcome = grabbed.source->grab(grabbed.source->isLive() ? elapsed : 0, viewWidth,
                                                  viewHeight, grabbed.dib.data(), due);
        if (outcome != platform::GrabOutcome::failed) return grabbed;
    }
    failure = name + ": no frame came";
    grabbed.source.reset();
    return grabbed;
}

std::string aspectText(int width, int height) {
    const int divisor = std::gcd(width, height);
    char text[64];
    if (width / divisor <= 32 && height / divisor <= 32)
        std::snprintf(text, sizeof text, "%d:%d", width / divisor, height / divisor);
    else
        std::snprintf(text, sizeof text, "%.2f:1", static_cast<double>(width) / height);
    return text;
}

// The largest crop of a frame that keeps 4:3, centred.
std::string fourThreeCrop(int width, int height) {
    const bool wide = width * 3 > height * 4;
    const int keptWidth = wide ? static_cast<int>(std::lround(height * 4.0 / 3)) / 2 * 2 : width;
    const int keptHeight = wide ? height : static_cast<int>(std::lround(width * 3.0 / 4)) / 2 * 2;
    return "crop=" + std::to_string(keptWidth) + ":" + std::to_string(keptHeight);
}

void sayAspect(int width, int height) {
    const double stretch =
        static_cast<double>(width) * viewHeight / (static_cast<double>(height) * viewWidth);
    if (std::fabs(stretch - 1) < 0.01) {
        std::fprintf(stderr, "aim: %dx%d is %s, as the 320x240 picture: its aspect is kept\n", width, height,
                     aspectText(width, height).c_str());
        return;
    }
    std::fprintf(stderr,
                 "aim: %dx%d is %s, scaled to 320x240 (4:3): things look %.2f times as %s as they are "
                 "(a crop to 4:3 keeps them: %s)\n",
                 width, height, aspectText(width, height).c_str(), stretch > 1 ? stretch : 1 / stretch,
                 stretch > 1 ? "narrow" : "flat", fourThreeCrop(width, height).c_str());
}

void sayCrops(const FilterGeometry& geometry) {
    for (const FilterStep& step : geometry.steps) {
        if (step.kind != FilterStep::Kind::crop) continue;
        std::fprintf(stderr, "aim: crop of the %dx%d frame applied as %dx%d at x %d, y %d", step.inWidth,
                     step.inHeight, step.outWidth, step.outHeight, step.x, step.y);
        if (step.x != step.askedX || step.y != step.askedY)
            std::fprintf(stderr,
                         " (asked at x %d, y %d: FFmpeg moves it inside the frame and to even places)",
                         step.askedX, step.askedY);
        std::fputc('\n', stderr);
    }
}

void sayWindow(const char* where, const Box& box) {
    std::fprintf(stderr, "aim: detection window on %s: x %ld to %ld, y %ld to %ld\n", where,
                 std::lround(box.left), std::lround(box.right), std::lround(box.top),
                 std::lround(box.bottom));
}

bool writeView(const Grabbed& grabbed, const std::string& output) {
    const platform::PixelRows rows{grabbed.dib.data() + platform::dibRowBytes(viewWidth) * (viewHeight - 1),
                                   viewWidth, viewHeight,
                                   -static_cast<long>(platform::dibRowBytes(viewWidth)), true};
    platform::Canvas view = canvasOf(rows);
    drawRegions(
        view, [](const Box& box) { return box; }, 1);
    std::string failure;
    if (platform::writeCanvasPng(view, output, failure)) return true;
    std::fprintf(stderr, "tavomotion: %s not written: %s\n", output.c_str(), failure.c_str());
    return false;
}

// The source's own frame with the regions where the graph takes them from.
bool writeFullView(const platform::FullSizeFrame& frame, const FilterGeometry& geometry,
                   const std::string& output) {
    std::vector<std::uint8_t> storage;
    platform::PixelRows rows{};
    std::string failure;
    if (!frame.rows(storage, rows, failure)) {
        std::fprintf(stderr, "aim: no full-size picture: %s\n", failure.c_str());
        return true;
    }
    platform::Canvas full = canvasOf(rows);
    const double across = static_cast<double>(geometry.outWidth()) / viewWidth;
    const double down = static_cast<double>(geometry.outHeight()) / viewHeight;
    const auto place = [&](const Box& box) {
        return onSource(geometry, {box.left * across, box.top * down, box.right * across, box.bottom * down});
    };
    drawRegions(full, place, std::max(1, static_cast<int>(std::lround(rows.width / 320.0))));
    sayWindow("the source's frame", place(detectionWindowBox()));
    if (platform::writeCanvasPng(full, output, failure)) return true;
    std::fprintf(stderr, "tavomotion: %s not written: %s\n", output.c_str(), failure.c_str());
    return false;
}

// The graph's steps on the unfiltered frame, when they can be followed to
// the size the filtered source gives.
std::optional<FilterGeometry> followedGraph(const AimRequest& request,
                                            const platform::FrameSource& unfiltered,
                                            const platform::FrameSource& filtered, int chromaStep,
                                            std::string& failure) {
    const int width = unfiltered.nativeWidth();
    const int height = unfiltered.nativeHeight();
    std::optional<FilterGeometry> geometry = FilterGeometry{width, height, {}};
    if (request.filter) geometry = geometryOf(*request.filter, width, height, chromaStep, failure);
    if (geometry && (geometry->outWidth() != filtered.nativeWidth() ||
                     geometry->outHeight() != filtered.nativeHeight())) {
        failure = "the graph's sizes could not be followed";
        geometry.reset();
    }
    return geometry;
}

// The source's own frame with the marks, when the graph can be followed.
int writeFullSizeView(const AimRequest& request, const Grabbed& unfiltered, const Grabbed& filtered) {
    const auto frame = unfiltered.source->fullSizeFrame();
    if (!frame) {
        std::fprintf(stderr, "aim: no full-size picture: this source keeps no frame at its own size\n");
        return 0;
    }
    std::string failure;
    const std::optional<FilterGeometry> geometry =
        followedGraph(request, *unfiltered.source, *filtered.source, frame->chromaStep(), failure);
    if (!geometry) {
        std::fprintf(stderr, "aim: no full-size picture: %s\n", failure.c_str());
        return 0;
    }
    sayCrops(*geometry);
    const std::string output = fullSizeName(request.output);
    if (!writeFullView(*frame, *geometry, output)) return 1;
    std::fprintf(stderr, "aim: wrote %s (%dx%d)\n", output.c_str(), geometry->sourceWidth,
                 geometry->sourceHeight);
    return 0;
}

}  // namespace

std::string fullSizeName(const std::string& output) {
    const std::size_t dot = output.rfind('.');
    return output.substr(0, dot) + "-full" + (dot == std::string::npos ? "" : output.substr(dot));
}

int writeAimPictures(const AimRequest& request) {
    std::string failure;
    const Grabbed filtered = grabFirstFrame(request.source, request.filter, failure);
    if (!filtered.source) {
        std::fprintf(stderr, "tavomotion: %s\n", failure.c_str());
        return 2;
    }
    // The source's own size and frame come from a second opening without the graph.
    Grabbed own;
    if (request.filter) own = grabFirstFrame(request.source, std::nullopt, failure);
    const Grabbed& unfiltered = request.filter ? own : filtered;
    if (unfiltered.source) {
        const int width = unfiltered.source->nativeWidth();
        const int height = unfiltered.source->nativeHeight();
        std::fprintf(stderr, "aim: the source gives %dx%d (%s)\n", width, height,
                     aspectText(width, height).c_str());
    }
    const int width = filtered.source->nativeWidth();
    const int height = filtered.source->nativeHeight();
    if (request.filter)
        std::fprintf(stderr, "aim: the filter gives %dx%d (%s)\n", width, height,
                     aspectText(width, height).c_str());
    sayAspect(width, height);
    if (!writeView(filtered, request.output)) return 1;
    sayWindow("the 320x240 picture", detectionWindowBox());
    std::fprintf(stderr, "aim: wrote %s (320x240)\n", request.output.c_str());
    if (!unfiltered.source) {
        std::fprintf(stderr, "aim: no full-size picture: %s\n", failure.c_str());
        return 0;
    }
    return writeFullSizeView(request, unfiltered, filtered);
}

}  // namespace app::aim
