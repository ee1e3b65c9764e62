#include "app/web/status_json.h"

#include "app/version.h"
#include "app/web/json_text.h"

namespace app::web {
namespace {

std::string orNull(const std::string& text) { return text.empty() ? "null" : jsonString(text); }

}  // namespace

std::string statusJson(const RunningFigures& figures, const StatusExtras& extras) {
    return "{\"frame\":" + std::to_string(figures.frameNumber) +
           ",\"fps\":" + std::to_string(figures.framesPerSecond) + ",\"state\":" + jsonString(figures.state) +
           ",\"mode\":" + jsonString(figures.mode) + ",\"source\":" + jsonString(figures.source) +
           ",\"title\":" + jsonString(figures.title) +
           ",\"picturesSaved\":" + std::to_string(figures.picturesSaved) +
           ",\"lastPicture\":" + orNull(figures.lastPicture) +
           ",\"lastPictureTime\":" + orNull(extras.lastPictureTime) +
           ",\"uptimeSeconds\":" + std::to_string(extras.uptimeSeconds) +
           ",\"eventLog\":" + (extras.eventLog ? "true" : "false") +
           (extras.messagesDropped ? ",\"messagesDropped\":" + std::to_string(*extras.messagesDropped) : "") +
           ",\"version\":" + jsonString(programVersion) + "}\n";
}

}  // namespace app::web
