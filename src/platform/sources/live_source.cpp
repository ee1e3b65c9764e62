#include "platform/sources/live_source.h"

#include "platform/clock/clock.h"
#include "platform/sources/ffmpeg_diagnostics.h"

extern "C" {
#include <libavutil/error.h>
}

namespace platform {
namespace {

constexpr std::int64_t reopenIntervalNanoseconds = 1'000'000'000;
// A packet that took longer than this to arrive was not waiting in a buffer,
// so nothing newer is behind it.
constexpr std::int64_t bufferedReadNanoseconds = 5'000'000;
constexpr std::int64_t pollMilliseconds = 5;

std::string waitEndReason() {
    return clock::stopRequested() ? "the program is stopping" : "no picture for 5 s";
}

}  // namespace

LiveSource::LiveSource(std::string name, InputRequest request)
    : FfmpegSource(std::move(name), Conversion::quick), request_(std::move(request)) {}

bool LiveSource::open(std::string& failure) {
    if (connected_) return true;
    std::string reason;
    if (!connect(reason)) {
        failure = name() + ": " + reason;
        return false;
    }
    connected_ = true;
    return true;
}

void LiveSource::close() {
    input_.close();
    dropHeldPicture();
    connected_ = false;
}

// Opens the input and takes its first picture, which gives the native size.
bool LiveSource::connect(std::string& reason) {
    if (!canHoldPictures()) {
        reason = ffmpegErrorText(AVERROR(ENOMEM));
        return false;
    }
    request_.shownSize = shownSize();
    if (input_.open(request_, reason) && readNewest(reason) &&
        adoptHeldPicture(input_.reducedFrom(), reason)) {
        reportDecoding(input_);
        return true;
    }
    input_.close();
    return false;
}

GrabOutcome LiveSource::grab(std::int64_t elapsedNanoseconds, int width, int height, std::uint8_t* image,
                             std::int64_t& dueNanoseconds) {
    if (!connected_) return GrabOutcome::failed;
    if (!takeNewestPicture()) return GrabOutcome::failed;
    if (!deliverHeld(width, height, image)) {
        lose("its picture cannot be converted to " + std::to_string(width) + " x " + std::to_string(height));
        return GrabOutcome::failed;
    }
    dueNanoseconds = elapsedNanoseconds;
    return GrabOutcome::delivered;
}

// Takes the newest picture; a lost source is reopened instead, which takes one.
bool LiveSource::takeNewestPicture() {
    if (!input_.isOpen()) return reconnect();
    input_.restartWaitLimit();
    std::string reason;
    if (readNewest(reason)) return true;
    lose(reason);
    return false;
}

bool LiveSource::reconnect() {
    const std::int64_t now = clock::nowNanoseconds();
    if (now - lastAttemptNanoseconds_ < reopenIntervalNanoseconds) return false;
    lastAttemptNanoseconds_ = now;
    std::string reason;
    if (!connect(reason)) return false;
    report("delivers again");
    return true;
}

void LiveSource::lose(const std::string& reason) {
    report("stopped delivering (" + reason + "); reopening at most once a second");
    input_.close();
    lastAttemptNanoseconds_ = clock::nowNanoseconds();
}

// Decodes what has already arrived and keeps the newest picture; waits for
// one only when none has.
bool LiveSource::readNewest(std::string& reason) {
    bool fresh = false;
    for (;;) {
        if (input_.waitLimitPassed() || clock::stopRequested()) {
            if (fresh) return true;
            reason = waitEndReason();
            return false;
        }
        switch (input_.decodeNext()) {
            case DecodeStatus::picture:
                hold(input_.picture());
                fresh = true;
                if (input_.lastWaitNanoseconds() > bufferedReadNanoseconds) return true;
                break;
            case DecodeStatus::again:
                if (fresh) return true;
                clock::sleepMilliseconds(pollMilliseconds);
                break;
            case DecodeStatus::undecodable:
                break;
            case DecodeStatus::readError:
                reason = input_.waitLimitPassed() || clock::stopRequested()
                             ? waitEndReason()
                             : ffmpegErrorText(input_.lastError());
                return false;
            case DecodeStatus::end:
                reason = "the stream ended";
                return false;
        }
    }
}

}  // namespace platform
