#pragma once
// Decodes a recording on a thread of its own, a few pictures ahead of the
// grabs, so decoding runs beside the conversion and the analysis. The
// pictures come out in the order the decoder made them, each with the status
// decodeNext() gave for it: what a grab receives still depends only on the
// timestamps and the clock, never on how far ahead the thread got.
//
// At real speed the point is the cost, not the throughput: decoding a burst
// of pictures back to back finds the decoder's code and reference pictures
// still in the caches, where one picture every 40 ms finds them evicted. A
// burst starts only when a grab finds the queue empty: by then the grab has
// said which frames it passes over, and after a pause most of those need not
// be decoded.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sources/media_input.h"

struct AVFrame;

namespace platform {

class DecodeAhead {
public:
    // How the thread fills the queue: as soon as there is room, or, once full,
    // not before a grab finds it empty (and says which frames it will pass
    // over, which then need not be decoded).
    enum class Refill { whenRoom, whenAskedEmpty };

    // `input` is opened and belongs to the thread until this is destroyed.
    DecodeAhead(MediaInput& input, std::size_t capacity, Refill refill);
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;
    // Stops the thread, dropping what it decoded and nobody took.
    ~DecodeAhead();

    // As MediaInput's: waits for the next decoded result.
    DecodeStatus decodeNext();
    // From now on the thread leaves undecoded what MediaInput::decodeNext
    // may with this `unseenBefore`.
    void passOver(std::int64_t unseenBefore) { unseenBefore_.store(unseenBefore, std::memory_order_relaxed); }
    AVFrame* picture() const { return picture_; }
    int lastError() const { return lastError_; }

private:
    struct Decoded {
        DecodeStatus status;
        AVFrame* picture;  // owned; null unless status is `picture`
        int error;
    };

    void decodeUntilTheEnd();
    bool waitForTurn();
    AVFrame* emptyFrame();
    void push(Decoded decoded);

    MediaInput& input_;
    const std::size_t capacity_;
    const Refill refill_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Decoded> queue_;
    std::vector<AVFrame*> spares_;  // emptied frames, for the thread's next pictures
    bool stopping_ = false;
    bool filling_ = true;
    bool asked_ = false;  // a grab waits on the empty queue
    std::atomic<std::int64_t> unseenBefore_{noFrameUnseen};
    AVFrame* picture_;
    int lastError_ = 0;
    std::thread worker_;
};

}  // namespace platform
