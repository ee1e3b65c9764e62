#include "capture/capture_device.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/clock/clock.h"

namespace pipeline {

GrayImage grayFrame{};
GrayImage currentImage{};
std::int32_t pixelCount = 0;
std::int32_t frameCount = 0;
std::int32_t framesAtLastFps = 0;
std::int32_t fps = 0;
double now = 0.0;
double lastFpsTime = 0.0;

namespace {

constexpr std::int32_t frameCountLimit = 1000000000;

void updateFrameRate() {
    if (now - lastFpsTime <= 1.0) return;
    const std::int32_t frames = frameCount - framesAtLastFps;
    fps = static_cast<std::int32_t>(frames / (now - lastFpsTime));
    framesAtLastFps = frameCount;
    lastFpsTime = now;
    if (frameCount > frameCountLimit) {
        frameCount = 0;
        framesAtLastFps = 0;
    }
}

}  // namespace

void acquireFrame() {
    frameImage.update();
    pixelCount = frameImage.width * frameImage.height;
    convertReversed(frameImage.pixels, pixelCount, grayFrame.data(), currentImage.data());
    frameCount += 1;
    now = secondsNow();
    updateFrameRate();
}

double secondsNow() { return static_cast<double>(platform::clock::nowNanoseconds()) / 1e9; }

}  // namespace pipeline
