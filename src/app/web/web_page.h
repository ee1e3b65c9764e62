#pragma once
// The web view's one page: the live window, the camera's name and health,
// the running figures, the newest pictures with their times and all of them
// by pages of 50; plain HTML and a little script, as wide as the screen.
#include <string>

namespace app::web {

const std::string& pageHtml();

}  // namespace app::web
