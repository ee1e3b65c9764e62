#include "app/web/web_view.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/app_state.h"
#include "app/web/frame_relay.h"
#include "app/web/status_board.h"
#include "app/web/web_routes.h"
#include "platform/clock/clock.h"
#include "platform/http/http_server.h"
#include "platform/http/listen_address.h"
#include "platform/winsys/window_surface.h"

namespace app::web {
namespace {

constexpr std::int64_t figuresIntervalNanoseconds = 200'000'000;

struct WebView {
    FrameRelay frames;
    StatusBoard status;
    WebRoutes routes{frames, status};
    std::unique_ptr<platform::http::Server> server;
    std::int64_t nextFiguresNanoseconds = 0;
};

std::unique_ptr<WebView> view;

std::string start(const std::string& listenAddress, const std::optional<std::string>& credentialsFile) {
    platform::http::ServerSettings settings;
    std::string failure;
    if (credentialsFile) {
        settings.credentials = platform::http::readCredentialsFile(*credentialsFile, failure);
        if (!settings.credentials) return failure;
    }
    const std::optional<platform::http::ListenAddress> address =
        platform::http::parseListenAddress(listenAddress, failure);
    if (!address) return failure;
    settings.listener = platform::http::openListener(*address, failure);
    if (settings.listener < 0) return failure;
    const std::string bound = platform::http::boundAddressText(settings.listener);
    view = std::make_unique<WebView>();
    WebRoutes& routes = view->routes;
    view->server = platform::http::Server::start(
        std::move(settings), [&routes](const platform::http::Request& request) { return routes(request); },
        failure);
    if (!view->server) {
        view.reset();
        return failure;
    }
    std::fprintf(stderr, "tavomotion: web view on http://%s/\n", bound.c_str());
    return "";
}

}  // namespace

std::string startWebView(const std::string& listenAddress,
                         const std::optional<std::string>& credentialsFile) {
    const std::string failure = start(listenAddress, credentialsFile);
    // Also on the fatal exits, which end the program without returning.
    if (failure.empty()) std::atexit(stopWebView);
    return failure;
}

void offerToWebView() {
    if (!view) return;
    const std::int64_t now = platform::clock::realNanoseconds();
    if (now >= view->nextFiguresNanoseconds) {
        view->status.post(currentFigures());
        view->nextFiguresNanoseconds = now + figuresIntervalNanoseconds;
    }
    if (const platform::Canvas* canvas = platform::windowCanvas(mainWindow)) view->frames.offer(*canvas, now);
}

bool isWatched() { return view && view->frames.watched(); }

bool isServing() { return view != nullptr; }

void stopWebView() {
    if (!view) return;
    view->frames.stop();
    view->server.reset();
    view.reset();
}

}  // namespace app::web
