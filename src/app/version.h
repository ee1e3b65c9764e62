#pragma once

namespace app {

constexpr const char* programVersion = "1.0.0";

}  // namespace app
