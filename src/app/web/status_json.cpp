#include "app/web/status_json.h"

#include "app/version.h"
#include "app/web/json_text.h"

namespace app::web {
namespace {

std::string orNull(const std::string& text) { return text.empty() ? "null" : jsonString(text); }

std::string timeOrNull(std::int64_t seconds) { return seconds == 0 ? "null" : jsonString(utcTime(seconds)); }

// Where the source stands: lostSince is kept while it is lost or reconnecting.
std::string healthJson(const platform::SourceHealth& health) {
    const bool away =
        health.state == platform::SourceState::lost || health.state == platform::SourceState::reconnecting;
    return ",\"sourceState\":" + jsonString(platform::sourceStateName(health.state)) +
           ",\"lostSince\":" + timeOrNull(away ? health.lostSinceSeconds : 0) +
           ",\"lastFrameTime\":" + timeOrNull(health.lastFrameSeconds) +
           ",\"reconnects\":" + std::to_string(health.reconnects);
}

}  // namespace

std::string statusJson(const RunningFigures& figures, const StatusExtras& extras) {
    return "{\"frame\":" + std::to_string(figures.frameNumber) +
           ",\"fps\":" + std::to_string(figures.framesPerSecond) + ",\"state\":" + jsonString(figures.state) +
           (extras.cameraName.empty() ? "" : ",\"cameraName\":" + jsonString(extras.cameraName)) +
           ",\"mode\":" + jsonString(figures.mode) + ",\"source\":" + jsonString(figures.source) +
           healthJson(figures.health) + ",\"title\":" + jsonString(figures.title) +
           ",\"picturesSaved\":" + std::to_string(figures.picturesSaved) +
           ",\"lastPicture\":" + orNull(figures.lastPicture) +
           ",\"lastPictureTime\":" + orNull(extras.lastPictureTime) +
           ",\"uptimeSeconds\":" + std::to_string(extras.uptimeSeconds) +
           ",\"eventLog\":" + (extras.eventLog ? "true" : "false") +
           (extras.messagesDropped ? ",\"messagesDropped\":" + std::to_string(*extras.messagesDropped) : "") +
           ",\"version\":" + jsonString(programVersion) + "}\n";
}

}  // namespace app::web
