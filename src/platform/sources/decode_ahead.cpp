#include "platform/sources/decode_ahead.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

namespace platform {

DecodeAhead::DecodeAhead(MediaInput& input, std::size_t capacity, Refill refill)
    : input_(input), capacity_(capacity), refill_(refill), picture_(av_frame_alloc()), worker_([this] {
          decodeUntilTheEnd();
      }) {}

DecodeAhead::~DecodeAhead() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
    for (Decoded& decoded : queue_) av_frame_free(&decoded.picture);
    for (AVFrame*& spare : spares_) av_frame_free(&spare);
    av_frame_free(&picture_);
}

// A frame emptied by an earlier grab when there is one: no allocation per
// picture.
AVFrame* DecodeAhead::emptyFrame() {
    {
        const std::lock_guard lock(mutex_);
        if (!spares_.empty()) {
            AVFrame* spare = spares_.back();
            spares_.pop_back();
            return spare;
        }
    }
    return av_frame_alloc();
}

void DecodeAhead::decodeUntilTheEnd() {
    for (;;) {
        if (!waitForTurn()) return;
        const DecodeStatus status = input_.decodeNext(unseenBefore_.load(std::memory_order_relaxed));
        AVFrame* picture = nullptr;
        if (status == DecodeStatus::picture) {
            picture = emptyFrame();
            // Out of memory is told as a picture that did not decode.
            if (picture == nullptr) {
                push({DecodeStatus::undecodable, nullptr, AVERROR(ENOMEM)});
                continue;
            }
            av_frame_move_ref(picture, input_.picture());
        }
        push({status, picture, input_.lastError()});
        if (status == DecodeStatus::end) return;
    }
}

// Waits for room, and in bursts for a grab to find the queue empty; false
// when stopping.
bool DecodeAhead::waitForTurn() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopping_ || (queue_.size() < capacity_ && (filling_ || asked_)); });
    return !stopping_;
}

void DecodeAhead::push(Decoded decoded) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(decoded);
        filling_ = refill_ == Refill::whenRoom || queue_.size() < capacity_;
    }
    changed_.notify_all();
}

DecodeStatus DecodeAhead::decodeNext() {
    std::unique_lock lock(mutex_);
    if (queue_.empty()) {
        asked_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !queue_.empty(); });
        asked_ = false;
    }
    Decoded decoded = queue_.front();
    // The end stays at the front: every later call gets it again.
    if (decoded.status != DecodeStatus::end) queue_.pop_front();
    const bool threadMayGoOn = refill_ == Refill::whenRoom;
    lock.unlock();
    if (threadMayGoOn) changed_.notify_all();
    lastError_ = decoded.error;
    if (decoded.picture != nullptr && picture_ == nullptr) {
        av_frame_free(&decoded.picture);
        lastError_ = AVERROR(ENOMEM);
        return DecodeStatus::undecodable;
    }
    if (decoded.picture != nullptr) {
        av_frame_unref(picture_);
        av_frame_move_ref(picture_, decoded.picture);
        const std::lock_guard spareLock(mutex_);
        spares_.push_back(decoded.picture);
    }
    return decoded.status;
}

}  // namespace platform
