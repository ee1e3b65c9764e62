#pragma once
// The web view's one page: the live window, the running figures and the
// newest pictures; plain HTML and a little script.
#include <string>

namespace app::web {

const std::string& pageHtml();

}  // namespace app::web
