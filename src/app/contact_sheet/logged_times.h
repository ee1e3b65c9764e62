#pragma once
// When the picture log says each picture of a directory was taken, for
// captions that stay right when the files are copied and lose their times.
#include <map>
#include <string>

namespace app {

// True for a logged time "2026-12-08T17:05:03.125+01:00".
bool isLoggedTime(const std::string& text);

// The logged time of each picture file name (tavo_N.bmp) the log of
// `directory` (and the part moved aside, .1) has as saved, the newest line
// winning; empty without a log.
std::map<std::string, std::string> loggedTimes(const std::string& directory);

// The same for the positions in the recording ("14.345"), for the pictures
// of a recording.
std::map<std::string, std::string> loggedPositions(const std::string& directory);

}  // namespace app
