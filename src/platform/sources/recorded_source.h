#pragma once
// A recording (video file or image sequence) replayed on the recorded
// timeline: a grab delivers the frame due at the grab's time, skipping the
// frames slept through (never converted, and where no other frame refers to
// them and the pictures are only seen shrunk, never decoded), and at the end
// repeats the last frame. Once open, a grab never fails: damage ends the recording or is
// skipped, and each kind of damage is reported once.
#include <optional>

#include "platform/sources/decode_ahead.h"
#include "platform/sources/ffmpeg_source.h"
#include "platform/sources/media_input.h"
#include "platform/sources/presentation_times.h"

namespace platform {

class RecordedSource final : public FfmpegSource {
public:
    // `fixedRate` replaces the recording's own timestamps; an image sequence
    // always has one.
    RecordedSource(std::string name, InputRequest request, bool isSequence,
                   std::optional<FrameRate> fixedRate);

    bool open(std::string& failure) override;
    // Keeps the decoder and the position: reconnecting continues the timeline.
    void close() override { connected_ = false; }
    bool isOpen() const override { return connected_; }
    bool isLive() const override { return false; }
    void preferThroughput() override { request_.threadedDecoding = !isSequence_; }
    double recordingSeconds() const override;
    std::optional<double> creationSeconds() const override;
    std::int64_t recordingOriginNanoseconds() const override;
    GrabOutcome grab(std::int64_t elapsedNanoseconds, int width, int height, std::uint8_t* image,
                     std::int64_t& dueNanoseconds) override;

private:
    bool start(std::string& reason);
    bool reachFrame(std::int64_t frame);
    bool reachTime(std::int64_t elapsedNanoseconds);
    void passOverFramesDueBefore(std::int64_t elapsedNanoseconds);
    bool advance();
    void startDecodingAhead();
    void stopDecoding();
    DecodeStatus decodeNext();
    AVFrame* decodedPicture() const;
    int decodeError() const;
    bool repeatUnreadableFile(DecodeStatus status);
    void holdNewPicture();
    void repeatHeldPicture();
    void reportOnce(bool& reported, const std::string& text);

    InputRequest request_;
    bool isSequence_;
    std::optional<FrameRate> fixedRate_;
    MediaInput input_;
    // A video file is decoded ahead on a thread of its own; an image sequence,
    // which may need to seek past a file it cannot read, is decoded in place.
    std::optional<DecodeAhead> ahead_;
    std::int64_t containerFrames_ = 0;
    double containerSeconds_ = 0.0;
    std::optional<double> creationSeconds_;
    std::int64_t containerStartNanoseconds_ = 0;
    std::optional<PresentationTimes> presentationTimes_;
    bool connected_ = false;
    std::int64_t sequenceLength_ = 0;
    std::int64_t heldFrame_ = -1;  // number of the frame the held picture stands for
    std::int64_t heldDueNanoseconds_ = 0;
    std::int64_t lastFrame_ = -1;  // the frame the previous grab delivered
    std::int64_t unseenBefore_ = noFrameUnseen;
    bool ended_ = false;
    bool reportedUndecodable_ = false;
    bool reportedUnreadable_ = false;
    bool reportedBrokenEnd_ = false;
    bool reportedConversion_ = false;
};

}  // namespace platform
