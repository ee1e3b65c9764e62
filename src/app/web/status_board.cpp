#include "app/web/status_board.h"

#include "app/app_state.h"
#include "pipeline/frame_pipeline.h"
#include "platform/vfw/driver_table.h"

namespace app::web {
namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string modeName() {
    if (everyVehicleMode != 0) return "every vehicle";
    return triggerOnAnyMotion != 0 ? "default" : "cars only";
}

// The state is the title's last part, after its figures.
std::string stateOf(const std::string& title) {
    const std::size_t dash = title.rfind(" - ");
    return dash == std::string::npos ? "" : trimmed(title.substr(dash + 3));
}

}  // namespace

std::string shownSource(const std::string& description) {
    const std::size_t scheme = description.find("://");
    if (scheme == std::string::npos) return description;
    const std::size_t hostStart = scheme + 3;
    const std::size_t at = description.find('@', hostStart);
    const std::size_t slash = description.find('/', hostStart);
    if (at == std::string::npos || (slash != std::string::npos && at > slash)) return description;
    return description.substr(0, hostStart) + description.substr(at + 1);
}

RunningFigures currentFigures() {
    RunningFigures figures;
    figures.frameNumber = pipeline::frameCount;
    figures.framesPerSecond = pipeline::fps;
    figures.title = titleText;
    figures.state = stateOf(figures.title);
    figures.mode = modeName();
    const platform::CaptureDriver* driver = platform::driverAt(cameraIndex);
    figures.source = driver != nullptr ? shownSource(driver->description) : "";
    figures.driverIndex = cameraIndex;
    figures.health = platform::sourceHealth(cameraIndex);
    figures.picturesSaved = picturesSaved;
    if (lastPictureNumber >= 0) figures.lastPicture = "tavo_" + std::to_string(lastPictureNumber) + ".bmp";
    figures.saveDirectory = imagesSaveDirectory[0] != '\0' ? imagesSaveDirectory : ".";
    return figures;
}

void StatusBoard::post(RunningFigures figures) {
    std::unique_lock lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) return;
    figures_ = std::move(figures);
    posted_ = true;
}

bool StatusBoard::read(RunningFigures& figures) {
    std::lock_guard lock(mutex_);
    if (posted_) figures = figures_;
    return posted_;
}

}  // namespace app::web
