#include <cstdio>

#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"

namespace pipeline {

GrayImage referenceImage{};

namespace {

struct PgmTarget {
    const char* announcement;
    const char* fileName;
    const GrayImage& raster;
    const char* openFailure;
};

void savePgm(const PgmTarget& target) {
    platform::console::print("%s", target.announcement);
    std::FILE* file = std::fopen(target.fileName, "wb");
    if (file == nullptr) {
        platform::console::print("%s", target.openFailure);
        return;
    }
    char header[40];
    const int headerLength =
        std::snprintf(header, sizeof header, "P5\n %d %d\n255\n", frameImage.width, frameImage.height);
    std::fwrite(header, 1, static_cast<std::size_t>(headerLength), file);
    const std::int64_t rasterBytes = static_cast<std::int64_t>(frameImage.width) * frameImage.height;
    if (rasterBytes > 0 && rasterBytes <= grayCapacity) {
        std::fwrite(target.raster.data(), 1, static_cast<std::size_t>(rasterBytes), file);
    }
    std::fclose(file);
}

}  // namespace

void saveMotionPgm() {
    savePgm({"saving motion detect window as pgm\n", "motionimage.pgm", grayFrame,
             "Unable to open file motionimage.pgm  for saving\n"});
}

void saveReferencePgm() {
    savePgm({"saving reference image as pgm\n", "referenceimage.pgm", referenceImage,
             "Unable to open file referenceimage.pgm  for saving\n"});
}

void refreshReference() {
    referenceImage = currentImage;
    saveReferencePgm();
}

void resetPipeline() {
    frameImage = FrameImage{0, 0, nullptr, nullptr};
    grayFrame.fill(0);
    currentImage.fill(0);
    referenceImage.fill(0);
    pixelCount = 0;
    frameCount = 0;
    framesAtLastFps = 0;
    fps = 0;
    now = 0.0;
    lastFpsTime = 0.0;
}

}  // namespace pipeline
