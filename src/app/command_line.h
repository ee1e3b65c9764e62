#pragma once
// The program's arguments: an optional driver index first, then options.
#include <optional>
#include <string>
#include <vector>

#include "app/aim/aim_command.h"
#include "app/mqtt_settings.h"
#include "platform/sources/recorded_timeline.h"

namespace app {

// --contact-sheet DIR OUT.png: no scene is watched.
struct ContactSheetRequest {
    std::string directory;
    std::string output;
};

// --report DIR OUT.png: the survey of DIR drawn as a chart; nothing watched.
struct ReportRequest {
    std::string directory;
    std::string output;
};

struct ProgramOptions {
    // The arguments joined by single blanks: what start-up prints and reads
    // its driver index from.
    std::string commandLineText;
    std::optional<std::string> source;
    bool fast = false;
    bool headless = false;
    bool everyVehicle = false;
    bool fullSize = false;
    // --full-decode: every picture decoded in full, whatever it is shrunk to.
    bool fullDecode = false;
    bool pictureLog = false;
    std::optional<std::string> onPicture;
    std::optional<std::string> filter;
    std::optional<double> runForSeconds;
    std::optional<std::string> snapshotPath;
    std::optional<platform::FrameRate> frameRate;
    std::optional<ContactSheetRequest> contactSheet;
    std::optional<ReportRequest> report;
    // --aim --source SOURCE [--filter GRAPH] OUT.png: nothing watched.
    std::optional<aim::AimRequest> aim;
    // --listen [ADDRESS:]PORT and --listen-auth FILE: the web view.
    std::optional<std::string> listenAddress;
    std::optional<std::string> listenCredentials;
    // --mqtt URL and its companions: events to an MQTT broker.
    MqttRequest mqtt;
    // --keep-free SIZE: bytes kept free on the pictures' file system.
    std::optional<std::int64_t> keepFreeBytes;
    // --road-point X,Y,U,V, four times: the road calibration.
    std::vector<std::string> roadPoints;
    // --camera-foot U,V: where the camera stands over the road.
    std::optional<std::string> cameraFoot;
    // --check-config: the configuration checked, nothing watched.
    bool checkConfig = false;
    bool help = false;
    bool version = false;
};

struct ParsedCommandLine {
    ProgramOptions options;
    std::string error;  // empty when the arguments are good
};

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The driver index as the capture device takes it: the signed low 16 bits of
// the first number of the command-line text, 0 when there is none.
int driverIndexOf(const std::string& commandLineText);

std::string usageText();

}  // namespace app
