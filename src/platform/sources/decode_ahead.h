#pragma once
// Decodes a recording on a thread of its own, a few pictures ahead of the
// grabs, so decoding runs beside the conversion and the analysis. The
// pictures come out in the order the decoder made them, each with the status
// decodeNext() gave for it: what a grab receives still depends only on the
// timestamps and the clock, never on how far ahead the thread got.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/sources/media_input.h"

struct AVFrame;

namespace platform {

class DecodeAhead {
public:
    // `input` is opened and belongs to the thread until this is destroyed.
    DecodeAhead(MediaInput& input, std::size_t capacity);
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;
    // Stops the thread, dropping what it decoded and nobody took.
    ~DecodeAhead();

    // As MediaInput's: waits for the next decoded result.
    DecodeStatus decodeNext();
    AVFrame* picture() const { return picture_; }
    int lastError() const { return lastError_; }

private:
    struct Decoded {
        DecodeStatus status;
        AVFrame* picture;  // owned; null unless status is `picture`
        int error;
    };

    void decodeUntilTheEnd();
    bool push(Decoded decoded);

    MediaInput& input_;
    const std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Decoded> queue_;
    bool stopping_ = false;
    AVFrame* picture_;
    int lastError_ = 0;
    std::thread worker_;
};

}  // namespace platform
