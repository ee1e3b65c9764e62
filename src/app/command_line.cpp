#include "app/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/contact_sheet/sheet_file.h"
#include "app/survey/survey_settings.h"
#include "platform/files/free_space.h"

namespace app {
namespace {

bool parsePositiveWhole(const std::string& text, std::int64_t& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && value > 0 && value <= INT32_MAX;
}

bool parseFrameRate(const std::string& text, platform::FrameRate& rate) {
    const std::size_t slash = text.find('/');
    const std::string numerator = text.substr(0, slash);
    const std::string denominator = slash == std::string::npos ? "1" : text.substr(slash + 1);
    return parsePositiveWhole(numerator, rate.numerator) && parsePositiveWhole(denominator, rate.denominator);
}

bool parseSeconds(const std::string& text, double& seconds) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    seconds = std::strtod(text.c_str(), &end);
    return errno == 0 && end != nullptr && *end == '\0' && std::isfinite(seconds) && seconds >= 0 &&
           seconds < 1e9;
}

bool takesValue(const std::string& option) {
    return option == "--source" || option == "--run-for" || option == "--snapshot" || option == "--fps" ||
           option == "--on-picture" || option == "--filter" || option == "--listen" ||
           option == "--listen-auth" || takesMqttValue(option) || option == "--road-point" ||
           option == "--camera-foot";
}

// The options that keep the disk from filling.
bool isRoomOption(const std::string& option) { return option == "--keep-free"; }

std::string applyRoomOption(ProgramOptions& options, const std::string& value) {
    const auto bytes = platform::parseByteSize(value);
    if (!bytes) return "--keep-free needs a size such as 500M or 2G (K, M, G or T), not '" + value + "'";
    options.keepFreeBytes = *bytes;
    return "";
}

// The survey's options, kept apart from the others.
std::string applySurveyOption(ProgramOptions& options, const std::string& option, const std::string& value) {
    if (option == "--road-point") options.roadPoints.push_back(value);
    if (option == "--camera-foot") {
        if (options.cameraFoot) return "--camera-foot given twice";
        options.cameraFoot = value;
    }
    return "";
}

std::string surveyOptionsError(const ProgramOptions& options) {
    if (!options.roadPoints.empty()) {
        std::optional<analysis::survey::RoadPlane> plane;
        const std::string failure = survey::roadPlaneOf(options.roadPoints, plane);
        if (!failure.empty()) return "--road-point: " + failure;
    }
    analysis::survey::RoadPoint foot;
    if (options.cameraFoot && !analysis::survey::parseRoadPoint(*options.cameraFoot, foot))
        return "--camera-foot is U,V (two numbers), not '" + *options.cameraFoot + "'";
    return "";
}

// Applies one option with its value; an error text when it is wrong.
std::string applyOption(ProgramOptions& options, const std::string& option, const std::string& value) {
    if (takesMqttValue(option)) return applyMqttOption(options.mqtt, option, value);
    if (isRoomOption(option)) return applyRoomOption(options, value);
    if (option == "--source") {
        if (value.empty()) return "--source needs a source";
        options.source = value;
    } else if (option == "--run-for") {
        double seconds = 0;
        if (!parseSeconds(value, seconds)) return "--run-for needs a number of seconds, not '" + value + "'";
        options.runForSeconds = seconds;
    } else if (option == "--snapshot") {
        if (value.empty()) return "--snapshot needs a file name";
        options.snapshotPath = value;
    } else if (option == "--fps") {
        platform::FrameRate rate;
        if (!parseFrameRate(value, rate))
            return "--fps needs NUM or NUM/DEN, whole and positive, not '" + value + "'";
        options.frameRate = rate;
    } else if (option == "--on-picture") {
        if (value.empty()) return "--on-picture needs a program";
        options.onPicture = value;
    } else if (option == "--filter") {
        if (value.empty()) return "--filter needs an FFmpeg filter graph";
        options.filter = value;
    } else if (option == "--listen") {
        if (value.empty()) return "--listen needs [ADDRESS:]PORT";
        options.listenAddress = value;
    } else if (option == "--listen-auth") {
        if (value.empty()) return "--listen-auth needs a file name";
        options.listenCredentials = value;
    } else {
        return applySurveyOption(options, option, value);
    }
    return "";
}

std::string applyFlag(ProgramOptions& options, const std::string& flag) {
    if (isMqttFlag(flag)) {
        applyMqttFlag(options.mqtt, flag);
    } else if (flag == "--fast") {
        options.fast = true;
    } else if (flag == "--headless") {
        options.headless = true;
    } else if (flag == "--every-vehicle") {
        options.everyVehicle = true;
    } else if (flag == "--full-size") {
        options.fullSize = true;
    } else if (flag == "--full-decode") {
        options.fullDecode = true;
    } else if (flag == "--picture-log") {
        options.pictureLog = true;
    } else if (flag == "--check-config") {
        options.checkConfig = true;
    } else if (flag == "--help" || flag == "-h") {
        options.help = true;
    } else if (flag == "--version") {
        options.version = true;
    } else {
        return "unknown option '" + flag + "'";
    }
    return "";
}

std::string joined(const std::vector<std::string>& arguments) {
    std::string text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) text += ' ';
        text += arguments[i];
    }
    return text;
}

bool isIndexArgument(const std::string& argument) {
    return !(argument.size() > 1 && argument[0] == '-' && (argument[1] < '0' || argument[1] > '9'));
}

constexpr const char* contactSheetOption = "--contact-sheet";

// The contact sheet is a command of its own, with exactly its two values.
std::string parseContactSheet(const std::vector<std::string>& arguments, ProgramOptions& options) {
    if (arguments.size() != 3 || arguments[0] != contactSheetOption) {
        return "--contact-sheet takes DIR and OUT.png and no other argument";
    }
    if (arguments[1].empty() || arguments[2].empty())
        return "--contact-sheet needs a directory and a file name";
    if (!sheetFormatOf(arguments[2]))
        return "--contact-sheet writes OUT.png or OUT.jpg, not '" + arguments[2] + "'";
    options.contactSheet = ContactSheetRequest{arguments[1], arguments[2]};
    return "";
}

bool asksForContactSheet(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == contactSheetOption) return true;
    }
    return false;
}

constexpr const char* reportOption = "--report";

std::string parseReport(const std::vector<std::string>& arguments, ProgramOptions& options) {
    if (arguments.size() != 3 || arguments[0] != reportOption)
        return "--report takes DIR and OUT.png and no other argument";
    if (arguments[1].empty() || arguments[2].empty()) return "--report needs a directory and a file name";
    options.report = ReportRequest{arguments[1], arguments[2]};
    return "";
}

bool asksForReport(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), reportOption) != arguments.end();
}

constexpr const char* aimOption = "--aim";

// The aiming picture takes a source, perhaps a filter, and the picture's name.
std::string parseAim(const std::vector<std::string>& arguments, ProgramOptions& options) {
    aim::AimRequest request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        std::optional<std::string> value;
        const std::size_t equals = option.find('=');
        if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.resize(equals);
        }
        if (option == aimOption && !value) continue;
        if (option != "--source" && option != "--filter") {
            if (option.rfind('-', 0) == 0 || !request.output.empty())
                return "--aim takes --source SOURCE, --filter GRAPH and OUT.png, not '" + arguments[i] + "'";
            request.output = option;
            continue;
        }
        if (!value && i + 1 < arguments.size()) value = arguments[++i];
        if (!value || value->empty()) return option + " needs a value";
        if (option == "--source")
            request.source = *value;
        else
            request.filter = *value;
    }
    if (request.source.empty()) return "--aim needs --source SOURCE";
    if (sheetFormatOf(request.output) != SheetFormat::png)
        return "--aim writes OUT.png, not '" + request.output + "'";
    options.aim = request;
    return "";
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    parsed.options.commandLineText = joined(arguments);
    if (asksForContactSheet(arguments)) {
        parsed.error = parseContactSheet(arguments, parsed.options);
        return parsed;
    }
    if (std::find(arguments.begin(), arguments.end(), aimOption) != arguments.end()) {
        parsed.error = parseAim(arguments, parsed.options);
        return parsed;
    }
    if (asksForReport(arguments)) {
        parsed.error = parseReport(arguments, parsed.options);
        return parsed;
    }
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        std::string option = arguments[i];
        if (i == 0 && isIndexArgument(option)) continue;
        const std::size_t equals = option.find('=');
        std::optional<std::string> value;
        if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.resize(equals);
        }
        if (takesValue(option) || isRoomOption(option)) {
            if (!value) {
                if (i + 1 >= arguments.size()) {
                    parsed.error = option + " needs a value";
                    break;
                }
                value = arguments[++i];
            }
            parsed.error = applyOption(parsed.options, option, *value);
        } else if (option.rfind('-', 0) == 0) {
            parsed.error = value ? option + " takes no value" : applyFlag(parsed.options, option);
        } else {
            parsed.error = "unexpected argument '" + option + "': the driver index comes first";
        }
    }
    if (parsed.error.empty() && parsed.options.listenCredentials && !parsed.options.listenAddress)
        parsed.error = "--listen-auth needs --listen";
    if (parsed.error.empty()) parsed.error = surveyOptionsError(parsed.options);
    return parsed;
}

int driverIndexOf(const std::string& commandLineText) {
    int number = 0;
    if (std::sscanf(commandLineText.c_str(), "%d", &number) != 1) number = 0;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(number));
}

std::string usageText() {
    return "usage: tavomotion [INDEX] [--source SOURCE] [--fast] [--headless] [--run-for SECONDS]\n"
           "                  [--snapshot FILE.png] [--fps NUM[/DEN]] [--every-vehicle] [--picture-log]\n"
           "                  [--full-size] [--full-decode] [--on-picture PROGRAM] [--filter GRAPH]\n"
           "                  [--keep-free SIZE] [--listen [ADDRESS:]PORT [--listen-auth FILE]]\n"
           "                  [--road-point X,Y,U,V]... [--camera-foot U,V]\n"
           "                  [--mqtt URL [--mqtt-auth FILE] [--mqtt-ca FILE] [--mqtt-prefix PREFIX]\n"
           "                  [--mqtt-discovery]] [--camera-name NAME] [--check-config] [--help]\n"
           "                  [--version]\n"
           "       tavomotion --contact-sheet DIR OUT.png|OUT.jpg\n"
           "       tavomotion --report DIR OUT.png\n"
           "       tavomotion --aim --source SOURCE [--filter GRAPH] OUT.png\n"
           "\n"
           "Watches one fixed scene and saves a picture whenever something (or, with\n"
           "DETECT_CARS_ONLY in tavomotion.ini, a vehicle) moves through the detection window.\n"
           "\n"
           "  INDEX               capture driver 0 to 9 (default 0): the cameras found on the\n"
           "                      machine, in order, or the source given with --source\n"
           "  --source SOURCE     put a source behind driver INDEX: synthetic[:SEED[:OPTION...]],\n"
           "                      a video file, an image sequence (frames/%05d.bmp),\n"
           "                      /dev/videoN, or a network camera URL (rtsp://, http://, ...)\n"
           "  --fast              replay a recorded source on a virtual clock, as fast as possible\n"
           "  --headless          draw the window off-screen only\n"
           "  --every-vehicle     picture each vehicle once, looking at every frame (also the\n"
           "                      key EVERY_VEHICLE in tavomotion.ini)\n"
           "  --picture-log       a line per picture in tavomotion-pictures.csv in the save\n"
           "                      directory: when, where in the recording, why (also the key\n"
           "                      PICTURE_LOG in tavomotion.ini)\n"
           "  --full-size         save beside each tavo_N.bmp a tavo_N.jpg at the source's own size\n"
           "                      (also the key FULL_SIZE_PICTURES in tavomotion.ini)\n"
           "  --full-decode       decode every frame of a video or camera in full; by default\n"
           "                      one shrunk at least 2 x is decoded only as far as 320 x 240\n"
           "                      shows, and a video's frames nobody looks at are left out\n"
           "                      where no other frame refers to them (no full-size copies\n"
           "                      asked for)\n"
           "  --keep-free SIZE    before each save, remove the oldest pictures (tavo_N.bmp with its\n"
           "                      tavo_N.jpg) until SIZE (500M, 2G) is free on their disk (also\n"
           "                      the key KEEP_FREE_SPACE SIZE in tavomotion.ini)\n"
           "  --on-picture PROGRAM\n"
           "                      run PROGRAM in the background for each saved picture, with its\n"
           "                      path as argument and TAVO_NUMBER, TAVO_FILE, TAVO_TIME, ... set\n"
           "  --filter GRAPH      an FFmpeg filter graph applied to every frame before it is scaled,\n"
           "                      e.g. 'transpose=cclock_flip,crop=240:180:60:170'\n"
           "  --run-for SECONDS   close after SECONDS of clock time (fractions allowed)\n"
           "  --snapshot FILE.png write the window as a PNG image when the program ends\n"
           "  --fps NUM[/DEN]     frame rate of an image sequence (default 25), or replacing a\n"
           "                      video file's own timestamps\n"
           "  --listen [ADDRESS:]PORT\n"
           "                      serve the web view: live window, figures and pictures over\n"
           "                      HTTP; a bare PORT listens on 127.0.0.1 only, 0.0.0.0:PORT or\n"
           "                      [::]:PORT on every network (unencrypted: see README)\n"
           "  --listen-auth FILE  ask web clients for the one user:password line of FILE\n"
           "                      (a file only its owner may read)\n" +
           mqttUsage() +
           "  --contact-sheet DIR OUT.png|OUT.jpg\n"
           "                      lay out the pictures tavo_N.bmp of DIR as captioned thumbnails\n"
           "                      on one PNG or JPEG, oldest first (the newest 400 at most), and end\n"
           "  --road-point X,Y,U,V\n"
           "                      four times: points X,Y of the 320 x 240 picture and their\n"
           "                      places U (across), V (along) on the road in metres, for the\n"
           "                      survey's speeds and lengths (also the key ROAD_POINT, four\n"
           "                      times, in tavomotion.ini)\n"
           "  --camera-foot U,V   where on the road, in the road points' metres, the camera\n"
           "                      stands (below it): makes the lengths of tall vehicles right\n"
           "                      when the camera's axis is not through the picture's middle\n"
           "                      (also the key CAMERA_FOOT in tavomotion.ini)\n"
           "  --aim --source SOURCE [--filter GRAPH] OUT.png\n"
           "                      write the source's first frame as the program sees it (320 x\n"
           "                      240, after GRAPH) with the detection window (red) and the\n"
           "                      dark-object cells (yellow) drawn; the same on the source's own\n"
           "                      frame as OUT-full.png when GRAPH only crops, scales, transposes\n"
           "                      or flips; sizes, aspect and crop on standard error; and end\n"
           "  --report DIR OUT.png\n"
           "                      draw the traffic survey of DIR's tavomotion-vehicles.csv as\n"
           "                      one PNG chart, and end\n"
           "  --check-config      check tavomotion.ini and the options, say what the run would do\n"
           "                      (mode, source, save directory, options), and end: status 0\n"
           "                      when nothing is wrong, 2 otherwise; nothing is watched\n"
           "  --help              show this text\n"
           "  --version           show the version\n";
}

}  // namespace app
