#pragma once
// What stands behind a capture driver: something that hands out pictures.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

class FullSizeFrame;

enum class GrabOutcome {
    delivered,       // a frame was written
    endOfRecording,  // no further frame: the recording's last frame was written again
    failed,          // nothing was written (a live source that stopped delivering)
};

// Size of the bottom-up BGR24 picture the driver hands out: rows padded to a
// multiple of 4 bytes, as a DIB holds them.
constexpr std::uint32_t dibRowBytes(int width) { return (static_cast<std::uint32_t>(width) * 3u + 3u) & ~3u; }
constexpr std::uint32_t dibImageBytes(int width, int height) {
    return dibRowBytes(width) * static_cast<std::uint32_t>(height);
}

class FrameSource {
public:
    virtual ~FrameSource() = default;

    // Opens the source, or leaves one line in `failure` that names the source
    // and the reason. Opening an open source does nothing and succeeds.
    virtual bool open(std::string& failure) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // A live source (camera, network stream) runs on the real clock and always
    // gives its newest frame; a recorded one follows the recorded timeline.
    virtual bool isLive() const = 0;

    // Size of the pictures the source makes by itself; valid once opened.
    virtual int nativeWidth() const = 0;
    virtual int nativeHeight() const = 0;

    // Told, before opening, that the grabs come as fast as the pictures can
    // be made (a replay on the virtual clock): a recording then spends more
    // CPU time to decode sooner. At real speed it decodes most cheaply.
    virtual void preferThroughput() {}

    // Told, before opening, that nothing looks at the pictures larger than
    // width x height (no full-size copy is kept): a video file or a live
    // source that shrinks its pictures at least 2 x may then decode them more
    // cheaply (decode_choice.h), and a video file leaves undecoded the frames
    // its grabs pass over that no other frame refers to. Rendered scenes and
    // image sequences stay exact.
    virtual void decodeOnlyFor(int /*width*/, int /*height*/) {}

    // Length of a recording in seconds, for the replay progress line; 0 when
    // unknown or live.
    virtual double recordingSeconds() const { return 0.0; }

    // When a recording began, in seconds since the epoch, as its container
    // states it (creation_time); empty when it does not, or for a live source.
    virtual std::optional<double> creationSeconds() const { return std::nullopt; }

    // Where the timeline's 0 lies in the recording, in nanoseconds from its
    // start as a seek (`ffmpeg -ss`) counts: a video whose first frame is
    // stamped 1.86 s has 1.86 s. 0 for the others.
    virtual std::int64_t recordingOriginNanoseconds() const { return 0; }

    // Has every picture go through the FFmpeg filter graph `description`
    // before it is scaled; the native size is then the graph's output. False,
    // with the reason, for a source that cannot filter or a graph that does
    // not parse.
    virtual bool setFilter(const std::string& description, std::string& failure) {
        failure = "this source cannot filter its pictures ('" + description + "')";
        return false;
    }

    // The frame the last grab delivered, at the native size; null when the
    // source cannot keep one.
    virtual std::shared_ptr<const FullSizeFrame> fullSizeFrame() const { return nullptr; }

    // Delivers the frame for a grab made `elapsedNanoseconds` after the
    // timeline started (the first connect of the process), scaled to
    // width x height into `image` (dibImageBytes(width, height) bytes, bottom
    // row first, BGR). `dueNanoseconds` receives when that frame is due on the
    // same timeline; the driver lets the clock run up to it. Live sources set
    // it to `elapsedNanoseconds`.
    virtual GrabOutcome grab(std::int64_t elapsedNanoseconds, int width, int height, std::uint8_t* image,
                             std::int64_t& dueNanoseconds) = 0;
};

}  // namespace platform
