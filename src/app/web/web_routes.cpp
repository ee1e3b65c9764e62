#include "app/web/web_routes.h"

#include <memory>

#include "app/contact_sheet/logged_times.h"
#include "app/mqtt_events.h"
#include "app/survey/survey_logs.h"
#include "app/web/json_text.h"
#include "app/web/picture_files.h"
#include "app/web/status_json.h"
#include "app/web/survey_chart.h"
#include "app/web/web_page.h"

namespace app::web {

using platform::http::Reply;
using platform::http::textReply;

namespace {

constexpr const char* picturesPrefix = "/pictures/";
constexpr const char* boundary = "tavoframe";
constexpr std::size_t longestPath = 256;

Reply contentReply(const char* contentType, std::string body) {
    Reply reply;
    reply.status = 200;
    reply.contentType = contentType;
    reply.body = std::move(body);
    return reply;
}

std::string framePart(const EncodedFrame& frame) {
    std::string part = std::string("--") + boundary + "\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                       std::to_string(frame.jpeg.size()) + "\r\n\r\n";
    part.append(frame.jpeg.begin(), frame.jpeg.end());
    return part + "\r\n";
}

// Counts a stream in while any copy of its part source lives.
class Watching {
public:
    explicit Watching(FrameRelay& frames) : frames_(frames) { frames_.watcherStarted(); }
    ~Watching() { frames_.watcherEnded(); }
    Watching(const Watching&) = delete;
    Watching& operator=(const Watching&) = delete;
    FrameRelay& frames() { return frames_; }
    std::uint64_t seen = 0;

private:
    FrameRelay& frames_;
};

}  // namespace

WebRoutes::WebRoutes(FrameRelay& frames, StatusBoard& status)
    : frames_(frames), status_(status), started_(std::chrono::steady_clock::now()) {}

Reply WebRoutes::operator()(const platform::http::Request& request) const {
    const std::string& path = request.path;
    if (path.size() > longestPath) return textReply(400, "request too long\n");
    if (path == "/") return page();
    if (path == "/stream.mjpg") return stream();
    if (path == "/status.json") return status();
    if (path == picturesPrefix) return pictureList();
    if (path == "/events.csv") return savedFile(eventLogName, "text/csv; charset=utf-8");
    if (path == "/vehicles.csv") return savedFile(survey::vehicleLogName, "text/csv; charset=utf-8");
    if (path == "/counts.csv") return savedFile(survey::countsLogName, "text/csv; charset=utf-8");
    // The page asks with a changing query, so no cache keeps an old chart.
    if (path == chartPath || path.rfind(std::string(chartPath) + "?", 0) == 0) return surveyChart();
    if (path.rfind(picturesPrefix, 0) == 0) {
        const std::string name = path.substr(std::string(picturesPrefix).size());
        if (isPictureName(name)) return savedFile(name, name.back() == 'g' ? "image/jpeg" : "image/bmp");
    }
    return textReply(404, "not found\n");
}

Reply WebRoutes::page() const {
    Reply reply = contentReply("text/html; charset=utf-8", pageHtml());
    reply.headers.emplace_back("Content-Security-Policy",
                               "default-src 'self'; script-src 'unsafe-inline'; style-src 'unsafe-inline'");
    return reply;
}

Reply WebRoutes::stream() const {
    Reply reply;
    reply.status = 200;
    reply.contentType = std::string("multipart/x-mixed-replace; boundary=") + boundary;
    auto watching = std::make_shared<Watching>(frames_);
    reply.stream = [watching](std::string& part) {
        const std::shared_ptr<const EncodedFrame> frame = watching->frames().next(watching->seen);
        if (!frame) return false;
        watching->seen = frame->number;
        part = framePart(*frame);
        return true;
    };
    return reply;
}

Reply WebRoutes::status() const {
    RunningFigures figures;
    if (!status_.read(figures)) return textReply(503, "starting\n");
    // The watching thread may be in a long pause after a failed grab: the
    // source's health is read as it stands, not as last posted.
    figures.health = platform::sourceHealth(figures.driverIndex);
    StatusExtras extras;
    extras.uptimeSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started_).count();
    extras.lastPictureTime = savedFileTime(figures.saveDirectory, figures.lastPicture);
    extras.eventLog = savedFileExists(figures.saveDirectory, eventLogName);
    extras.cameraName = cameraName();
    return contentReply("application/json", statusJson(figures, extras));
}

Reply WebRoutes::pictureList() const {
    RunningFigures figures;
    if (!status_.read(figures)) return textReply(503, "starting\n");
    // A recording's pictures are known by where in it they were taken.
    return contentReply("application/json", picturesJson(listPictures(figures.saveDirectory),
                                                         loggedPositions(figures.saveDirectory)));
}

Reply WebRoutes::savedFile(const std::string& name, const char* contentType) const {
    RunningFigures figures;
    if (!status_.read(figures)) return textReply(503, "starting\n");
    Reply reply;
    reply.fileDescriptor = openSavedFile(figures.saveDirectory, name, reply.fileSize);
    if (reply.fileDescriptor < 0) return textReply(404, "not found\n");
    reply.status = 200;
    reply.contentType = contentType;
    return reply;
}

Reply WebRoutes::surveyChart() const {
    RunningFigures figures;
    if (!status_.read(figures)) return textReply(503, "starting\n");
    Reply reply = contentReply("image/png", todaysChartPng(figures.saveDirectory));
    reply.headers.emplace_back("Cache-Control", "no-store");
    return reply;
}

}  // namespace app::web
