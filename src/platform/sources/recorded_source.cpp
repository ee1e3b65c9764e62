#include "platform/sources/recorded_source.h"

#include <system_error>

#include "platform/sources/creation_time.h"
#include "platform/sources/ffmpeg_diagnostics.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/frame.h>
}

namespace platform {

RecordedSource::RecordedSource(std::string name, InputRequest request, bool isSequence,
                               std::optional<FrameRate> fixedRate)
    : FfmpegSource(std::move(name), isSequence ? Conversion::exact : Conversion::quick),
      request_(std::move(request)),
      isSequence_(isSequence),
      fixedRate_(fixedRate) {}

bool RecordedSource::open(std::string& failure) {
    if (connected_) return true;
    std::string reason;
    if (!input_.isOpen() && !start(reason)) {
        failure = name() + ": " + reason;
        return false;
    }
    connected_ = true;
    return true;
}

// Opens the recording and decodes its first picture, which fixes the native
// size and the timeline's origin.
bool RecordedSource::start(std::string& reason) {
    if (!canHoldPictures()) {
        reason = ffmpegErrorText(AVERROR(ENOMEM));
        return false;
    }
    // An image sequence keeps its exact pictures.
    if (!isSequence_) request_.shownSize = shownSize();
    if (!input_.open(request_, reason)) return false;
    presentationTimes_.emplace(input_.timeBase(), input_.averageRate());
    sequenceLength_ = isSequence_ ? input_.streamDuration() : 0;
    containerFrames_ = input_.frameCount();
    containerSeconds_ = input_.containerSeconds();
    creationSeconds_ = parseCreationTime(input_.metadata("creation_time"));
    containerStartNanoseconds_ = input_.startNanoseconds();
    if (!isSequence_) startDecodingAhead();
    heldFrame_ = -1;
    lastFrame_ = -1;
    unseenBefore_ = noFrameUnseen;
    ended_ = false;
    dropHeldPicture();
    while (!holdsPicture()) {
        if (!advance()) {
            reason = "not a single frame of it can be decoded";
            stopDecoding();
            return false;
        }
    }
    if (!adoptHeldPicture(input_.reducedFrom(), reason)) {
        stopDecoding();
        return false;
    }
    reportDecoding(input_);
    return true;
}

// Fast replays decode a few pictures ahead, on frame threads; at real speed a
// single-threaded decoder fills the queue in bursts, which costs less CPU.
// Without a thread to spare, decoding stays in place: the same pictures, later.
void RecordedSource::startDecodingAhead() {
    constexpr std::size_t picturesAhead = 3;
    constexpr std::size_t picturesInABurst = 8;
    try {
        if (request_.threadedDecoding)
            ahead_.emplace(input_, picturesAhead, DecodeAhead::Refill::whenRoom);
        else
            ahead_.emplace(input_, picturesInABurst, DecodeAhead::Refill::whenAskedEmpty);
    } catch (const std::system_error&) {
        ahead_.reset();
    }
}

void RecordedSource::stopDecoding() {
    ahead_.reset();
    input_.close();
}

DecodeStatus RecordedSource::decodeNext() {
    return ahead_ ? ahead_->decodeNext() : input_.decodeNext(unseenBefore_);
}

AVFrame* RecordedSource::decodedPicture() const { return ahead_ ? ahead_->picture() : input_.picture(); }

int RecordedSource::decodeError() const { return ahead_ ? ahead_->lastError() : input_.lastError(); }

std::optional<double> RecordedSource::creationSeconds() const { return creationSeconds_; }

double RecordedSource::recordingSeconds() const {
    if (!input_.isOpen()) return 0.0;
    const std::int64_t frames = isSequence_ ? sequenceLength_ : containerFrames_;
    if (fixedRate_ && frames > 0) {
        return static_cast<double>(frames) * static_cast<double>(fixedRate_->denominator) /
               static_cast<double>(fixedRate_->numerator);
    }
    if (containerSeconds_ > 0.0) return containerSeconds_;
    return ended_ ? static_cast<double>(heldDueNanoseconds_) / 1e9 : 0.0;
}

GrabOutcome RecordedSource::grab(std::int64_t elapsedNanoseconds, int width, int height, std::uint8_t* image,
                                 std::int64_t& dueNanoseconds) {
    if (!connected_) return GrabOutcome::failed;
    const bool found = fixedRate_ ? reachFrame(frameForGrab(elapsedNanoseconds, lastFrame_, *fixedRate_))
                                  : reachTime(elapsedNanoseconds);
    if (!deliverHeld(width, height, image)) {
        reportOnce(reportedConversion_, "its pictures cannot be converted to " + std::to_string(width) +
                                            " x " + std::to_string(height));
        return GrabOutcome::failed;
    }
    if (!found) {
        dueNanoseconds = elapsedNanoseconds;
        return GrabOutcome::endOfRecording;
    }
    dueNanoseconds = fixedRate_ ? frameDueNanoseconds(lastFrame_, *fixedRate_) : heldDueNanoseconds_;
    return GrabOutcome::delivered;
}

bool RecordedSource::reachFrame(std::int64_t frame) {
    while (heldFrame_ < frame) {
        if (!advance()) return false;
    }
    lastFrame_ = frame;
    return true;
}

bool RecordedSource::reachTime(std::int64_t elapsedNanoseconds) {
    passOverFramesDueBefore(elapsedNanoseconds);
    while (heldFrame_ <= lastFrame_ || heldDueNanoseconds_ < elapsedNanoseconds) {
        if (!advance()) return false;
    }
    lastFrame_ = heldFrame_;
    return true;
}

// A grab delivers no frame due before it: those no other frame refers to need
// not be decoded. Only where the decoder may leave out what nobody sees.
void RecordedSource::passOverFramesDueBefore(std::int64_t elapsedNanoseconds) {
    if (!request_.shownSize || !presentationTimes_) return;
    const std::optional<std::int64_t> unseenBefore =
        presentationTimes_->timestampDueBefore(elapsedNanoseconds);
    if (!unseenBefore || *unseenBefore <= unseenBefore_) return;
    unseenBefore_ = *unseenBefore;
    if (ahead_) ahead_->passOver(unseenBefore_);
}

// Makes the next frame of the recording the held one; false at its end.
bool RecordedSource::advance() {
    while (!ended_) {
        const DecodeStatus status = decodeNext();
        if (status == DecodeStatus::picture) {
            holdNewPicture();
            return true;
        }
        if (status == DecodeStatus::undecodable && isSequence_) {
            reportOnce(reportedUnreadable_, "frame " + std::to_string(heldFrame_ + 1) +
                                                " cannot be decoded (" + ffmpegErrorText(decodeError()) +
                                                "); the frame before it stands in for it");
            repeatHeldPicture();
            return true;
        }
        if (status == DecodeStatus::undecodable) {
            reportOnce(reportedUndecodable_,
                       "a packet that does not decode is skipped (" + ffmpegErrorText(decodeError()) + ")");
            continue;
        }
        if (isSequence_ && repeatUnreadableFile(status)) return true;
        if (status == DecodeStatus::readError) {
            // What the decoder still holds comes next, then the end.
            reportOnce(reportedBrokenEnd_,
                       "the recording breaks off (" + ffmpegErrorText(decodeError()) + "); it ends there");
            continue;
        }
        ended_ = true;
    }
    return false;
}

// The image2 reader stops at a file it cannot read; the sequence goes on
// after it, with the frame before standing in for it.
bool RecordedSource::repeatUnreadableFile(DecodeStatus status) {
    const std::int64_t unreadable = heldFrame_ + 1;
    if (unreadable >= sequenceLength_) return false;
    if (unreadable + 1 < sequenceLength_ && !input_.seekTo(unreadable + 1)) return false;
    const std::string why = status == DecodeStatus::readError ? ffmpegErrorText(decodeError()) : "empty";
    reportOnce(reportedUnreadable_, "frame " + std::to_string(unreadable) + " cannot be read (" + why +
                                        "); the frame before it stands in for it");
    repeatHeldPicture();
    return true;
}

// A fixed rate replaces the timestamps: its timeline is the recording's.
std::int64_t RecordedSource::recordingOriginNanoseconds() const {
    if (fixedRate_ || !presentationTimes_) return 0;
    return presentationTimes_->originNanoseconds() - containerStartNanoseconds_;
}

void RecordedSource::holdNewPicture() {
    AVFrame* decoded = decodedPicture();
    ++heldFrame_;
    if (!fixedRate_)
        heldDueNanoseconds_ = presentationTimes_->next(decoded->best_effort_timestamp, decoded->pkt_duration);
    hold(decoded);
}

void RecordedSource::repeatHeldPicture() { ++heldFrame_; }

void RecordedSource::reportOnce(bool& reported, const std::string& text) {
    if (reported) return;
    reported = true;
    report(text);
}

}  // namespace platform
