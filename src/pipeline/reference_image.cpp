#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"
#include "platform/files/replace_file.h"

namespace pipeline {

GrayImage referenceImage{};

namespace {

struct PgmTarget {
    const char* announcement;
    const char* fileName;
    const GrayImage& raster;
    const char* openFailure;
};

// Whether the file could be opened for writing, which is what the console
// has always reported on; leaves no new empty file behind. 0 when it could,
// else the reason.
int reasonNotOpenable(const char* name) {
    int descriptor = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
        close(descriptor);
        unlink(name);
        return 0;
    }
    if (errno == EEXIST) descriptor = open(name, O_WRONLY | O_CLOEXEC);
    if (descriptor < 0) return errno;
    close(descriptor);
    return 0;
}

std::vector<platform::ByteChunk> pgmChunks(const std::string& header, const GrayImage& raster) {
    std::vector<platform::ByteChunk> chunks{
        platform::ByteChunk(reinterpret_cast<const std::uint8_t*>(header.data()), header.size())};
    const std::int64_t rasterBytes = static_cast<std::int64_t>(frameImage.width) * frameImage.height;
    if (rasterBytes > 0 && rasterBytes <= grayCapacity) {
        chunks.emplace_back(raster.data(), static_cast<std::size_t>(rasterBytes));
    }
    return chunks;
}

// The console keeps its own text; the reason goes beside it.
void reportNotWritten(const std::string& failure) {
    std::fprintf(stderr, "diagnostic image not written: %s\n", failure.c_str());
}

// Replaced whole, so a full disk leaves the earlier image rather than a cut one.
void savePgm(const PgmTarget& target) {
    platform::console::print("%s", target.announcement);
    if (const int reason = reasonNotOpenable(target.fileName); reason != 0) {
        platform::console::print("%s", target.openFailure);
        reportNotWritten(std::string(target.fileName) + ": " + std::strerror(reason));
        return;
    }
    const std::string header =
        "P5\n " + std::to_string(frameImage.width) + " " + std::to_string(frameImage.height) + "\n255\n";
    std::string failure;
    if (!platform::replaceFile(target.fileName, pgmChunks(header, target.raster),
                               platform::Durability::renamed, failure)) {
        reportNotWritten(failure);
    }
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
