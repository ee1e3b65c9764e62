#pragma once
// The remote view of the program (--listen): an HTTP server on threads of
// its own, fed by the watching loop without ever holding it up.
#include <optional>
#include <string>

namespace app::web {

// Binds `listenAddress` ([ADDRESS:]PORT) and starts serving, with basic
// authentication when `credentialsFile` is given; the reason when it cannot.
std::string startWebView(const std::string& listenAddress, const std::optional<std::string>& credentialsFile);

// After each paint of the main window: hands its canvas and the running
// figures over when they are due. Without a web view it does nothing.
void offerToWebView();

// Whether a web client streams the live window now.
bool isWatched();

// Whether the web view was started: its status reads the running figures.
bool isServing();

// Ends every connection and the server's threads; nothing when not started.
void stopWebView();

}  // namespace app::web
