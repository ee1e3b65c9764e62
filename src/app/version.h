#pragma once

namespace app {

// As --version and the web view's status show it.
constexpr const char* programVersion = "1.0.0";

}  // namespace app
