#pragma once
// What the web view answers, path by path; every other path is 404, and no
// path reaches the file system except the names of the save directory's
// pictures and event log.
#include <chrono>

#include "app/web/frame_relay.h"
#include "app/web/status_board.h"
#include "platform/http/http_exchange.h"

namespace app::web {

class WebRoutes {
public:
    WebRoutes(FrameRelay& frames, StatusBoard& status);

    platform::http::Reply operator()(const platform::http::Request& request) const;

private:
    platform::http::Reply page() const;
    platform::http::Reply stream() const;
    platform::http::Reply status() const;
    platform::http::Reply pictureList() const;
    platform::http::Reply savedFile(const std::string& name, const char* contentType) const;
    platform::http::Reply surveyChart() const;

    FrameRelay& frames_;
    StatusBoard& status_;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace app::web
