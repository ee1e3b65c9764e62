#pragma once
// The trigger pictures tavo_N.bmp of a directory, oldest first.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace app {

struct TriggerPicture {
    std::string path;
    std::int32_t number;
    timespec modified;
    std::string loggedTime;      // from the picture log, when it has this picture
    std::string loggedPosition;  // where in its recording, when the log says so
};

// Ordered by modification time, then number; `failure` set when the
// directory cannot be read.
std::vector<TriggerPicture> listTriggerPictures(const std::string& directory, std::string& failure);

}  // namespace app
