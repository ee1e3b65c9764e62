#include "app/web/frame_relay.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files/jpeg_encoder.h"

namespace app::web {
namespace {

constexpr std::int64_t frameIntervalNanoseconds = 200'000'000;
constexpr int jpegQuality = 80;

}  // namespace

FrameRelay::FrameRelay() : encoder_([this] { encodeFrames(); }) {}

FrameRelay::~FrameRelay() {
    stop();
    encoder_.join();
}

void FrameRelay::offer(const platform::Canvas& canvas, std::int64_t realNanoseconds) {
    if (!watched() || realNanoseconds < nextOfferNanoseconds_) return;
    std::unique_lock lock(copyMutex_, std::try_to_lock);
    if (!lock.owns_lock()) return;
    const std::size_t rowBytes = static_cast<std::size_t>(canvas.width()) * 3;
    copy_.resize(rowBytes * canvas.height());
    for (int y = 0; y < canvas.height(); ++y) std::memcpy(&copy_[y * rowBytes], canvas.row(y), rowBytes);
    copyWidth_ = canvas.width();
    copyHeight_ = canvas.height();
    copyFresh_ = true;
    nextOfferNanoseconds_ = realNanoseconds + frameIntervalNanoseconds;
    lock.unlock();
    copyReady_.notify_one();
}

std::shared_ptr<const EncodedFrame> FrameRelay::next(std::uint64_t seen) {
    std::unique_lock lock(newestMutex_);
    newestReady_.wait(lock, [&] { return stopping_ || (newest_ && newest_->number > seen); });
    return stopping_ ? nullptr : newest_;
}

void FrameRelay::stop() {
    {
        std::lock_guard copyLock(copyMutex_);
        std::lock_guard newestLock(newestMutex_);
        stopping_ = true;
    }
    copyReady_.notify_all();
    newestReady_.notify_all();
}

bool FrameRelay::takeCopy(std::vector<std::uint8_t>& pixels, int& width, int& height) {
    std::unique_lock lock(copyMutex_);
    copyReady_.wait(lock, [this] { return stopping_ || copyFresh_; });
    if (stopping_) return false;
    pixels.swap(copy_);
    width = copyWidth_;
    height = copyHeight_;
    copyFresh_ = false;
    return true;
}

void FrameRelay::publish(std::vector<std::uint8_t> jpeg) {
    {
        std::lock_guard lock(newestMutex_);
        const std::uint64_t number = newest_ ? newest_->number + 1 : 1;
        newest_ = std::make_shared<const EncodedFrame>(EncodedFrame{number, std::move(jpeg)});
    }
    newestReady_.notify_all();
}

void FrameRelay::encodeFrames() {
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
    while (takeCopy(pixels, width, height)) {
        const platform::PixelRows rows{pixels.data(), width, height, static_cast<long>(width) * 3, false};
        std::string failure;
        std::vector<std::uint8_t> jpeg = platform::encodeJpeg(rows, jpegQuality, failure);
        if (jpeg.empty()) {
            std::fprintf(stderr, "tavomotion: web view frame not encoded: %s\n", failure.c_str());
            continue;
        }
        publish(std::move(jpeg));
    }
}

}  // namespace app::web
