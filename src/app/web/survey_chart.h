#pragma once
// The survey chart of the web view's page: today's vehicles of the save
// directory's vehicle log (a recording's: all of them), drawn as the report
// draws them.
#include <string>

namespace app::web {

constexpr const char* chartPath = "/chart.png";

// The PNG's bytes.
std::string todaysChartPng(const std::string& saveDirectory);

}  // namespace app::web
