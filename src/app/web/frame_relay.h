#pragma once
// The live window for the web view's streams: the watching loop offers its
// canvas without ever waiting, at most five times a second and only while
// someone watches; a thread of the relay encodes it as JPEG once, and every
// stream sends the newest encoding, skipping what it could not keep up with.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/winsys/canvas.h"

namespace app::web {

struct EncodedFrame {
    std::uint64_t number;  // 1 for the first frame encoded, then one up
    std::vector<std::uint8_t> jpeg;
};

class FrameRelay {
public:
    FrameRelay();
    // Stops the encoder and wakes every waiting stream.
    ~FrameRelay();

    FrameRelay(const FrameRelay&) = delete;
    FrameRelay& operator=(const FrameRelay&) = delete;

    // The watching loop: copies the canvas when a frame is due, someone
    // watches and the copy slot is free; returns at once otherwise.
    void offer(const platform::Canvas& canvas, std::int64_t realNanoseconds);

    // Streams count themselves in while they run.
    void watcherStarted() { watchers_.fetch_add(1); }
    void watcherEnded() { watchers_.fetch_sub(1); }
    bool watched() const { return watchers_.load(std::memory_order_relaxed) > 0; }

    // Blocks until a frame newer than number `seen` is encoded; null once the
    // relay stops.
    std::shared_ptr<const EncodedFrame> next(std::uint64_t seen);

    // Wakes and ends every stream.
    void stop();

private:
    void encodeFrames();
    bool takeCopy(std::vector<std::uint8_t>& pixels, int& width, int& height);
    void publish(std::vector<std::uint8_t> jpeg);

    std::atomic<int> watchers_{0};
    std::int64_t nextOfferNanoseconds_ = 0;  // the watching loop's own

    std::mutex copyMutex_;
    std::condition_variable copyReady_;
    std::vector<std::uint8_t> copy_;
    int copyWidth_ = 0;
    int copyHeight_ = 0;
    bool copyFresh_ = false;

    std::mutex newestMutex_;
    std::condition_variable newestReady_;
    std::shared_ptr<const EncodedFrame> newest_;

    std::atomic<bool> stopping_{false};
    std::thread encoder_;
};

}  // namespace app::web
