#pragma once
// One opened FFmpeg input and the decoder of its video stream: reads packets
// and hands out decoded pictures one at a time. Other streams are discarded.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sources/decode_choice.h"

extern "C" {
#include <libavutil/rational.h>
}

struct AVCodec;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

namespace platform {

struct InputRequest {
    std::string url;
    std::string formatName;  // empty: FFmpeg finds the format itself
    std::vector<std::pair<std::string, std::string>> options;
    bool nonBlocking = false;               // reads answer `again` instead of waiting
    std::int64_t waitLimitNanoseconds = 0;  // 0: calls may wait as long as they need
    bool threadedDecoding = false;          // frame threads, for pictures big enough to gain from them
    // Set when nothing looks at the pictures larger than this: the decoder
    // then leaves out what it may (decode_choice.h).
    std::optional<PictureSize> shownSize;
};

constexpr std::int64_t noFrameUnseen = std::numeric_limits<std::int64_t>::min();

enum class DecodeStatus {
    picture,      // picture() holds a new picture
    again,        // a non-blocking input has nothing more buffered
    undecodable,  // one packet did not decode; the next call goes on after it
    readError,    // reading failed; the next calls give what the decoder still holds, then `end`
    end,          // no further picture
};

class MediaInput {
public:
    MediaInput() = default;
    MediaInput(const MediaInput&) = delete;
    MediaInput& operator=(const MediaInput&) = delete;
    ~MediaInput();

    // On failure `reason` says why, without naming the input.
    bool open(const InputRequest& request, std::string& reason);
    void close();
    bool isOpen() const { return format_ != nullptr; }

    // A frame no other frame refers to, stamped below `unseenBefore` (time
    // base units), is left undecoded: nobody will look at it.
    DecodeStatus decodeNext(std::int64_t unseenBefore = noFrameUnseen);
    // What the decoder was told to leave out, as a line for the user; empty
    // when it decodes in full.
    const std::string& decodingText() const { return decodingText_; }
    // The size of the pictures decoded in full, when the decoder makes them
    // smaller (lowres); empty when they come out at that size.
    std::optional<PictureSize> reducedFrom() const { return reducedFrom_; }

    // The picture the last decodeNext() produced; callers may move it out.
    AVFrame* picture() const { return picture_; }
    // The error behind the last `undecodable` or `readError`.
    int lastError() const { return lastError_; }
    // How long the last decodeNext() waited for packets to arrive (inputs
    // with a wait limit only).
    std::int64_t lastWaitNanoseconds() const { return lastWaitNanoseconds_; }

    // Starts the wait limit afresh: blocking calls give up once it has passed.
    void restartWaitLimit();
    bool waitLimitPassed() const;

    // Continues reading at `timestamp` (in stream time base units).
    bool seekTo(std::int64_t timestamp);

    AVRational timeBase() const;
    AVRational averageRate() const;
    std::int64_t streamDuration() const;  // in time base units; 0 when unknown
    std::int64_t frameCount() const;      // as the container states it; 0 when unknown
    double containerSeconds() const;      // 0 when unknown
    // The container's metadata value of `key`; empty when it has none.
    std::string metadata(const char* key) const;
    // The container's start time, from which a seek such as `ffmpeg -ss`
    // counts; 0 when unknown.
    std::int64_t startNanoseconds() const;

private:
    bool openContainer(const InputRequest& request, std::string& reason);
    bool openDecoder(const InputRequest& request, std::string& reason);
    void setUpDecoding(const AVCodec& codec, const InputRequest& request);
    std::optional<DecodeStatus> feedDecoder(std::int64_t unseenBefore);
    void startDraining();
    static int interrupted(void* self);

    AVFormatContext* format_ = nullptr;
    AVCodecContext* decoder_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* picture_ = nullptr;
    int streamIndex_ = -1;
    DecodeChoice decoding_;
    std::string decodingText_;
    // Kept apart from the stream: a thread decoding ahead owns the input.
    std::optional<PictureSize> reducedFrom_;
    bool draining_ = false;
    int lastError_ = 0;
    std::int64_t lastWaitNanoseconds_ = 0;
    std::int64_t waitLimitNanoseconds_ = 0;
    std::int64_t deadlineNanoseconds_ = 0;
};

}  // namespace platform
