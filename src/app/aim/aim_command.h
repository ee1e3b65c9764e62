#pragma once
// tavomotion --aim --source SOURCE [--filter GRAPH] OUT.png: the first frame
// as the program will see it, with the detection window and the dark-object
// cells drawn, and (as OUT-full.png) the same on the source's own frame when
// the graph only crops, scales, transposes or flips. Nothing is watched and
// no picture is saved.
#include <optional>
#include <string>

namespace app::aim {

struct AimRequest {
    std::string source;
    std::optional<std::string> filter;
    std::string output;
};

// The name of the full-size picture beside `output`: aim.png -> aim-full.png.
std::string fullSizeName(const std::string& output);

// The exit status: 0 when written, 2 for a source that cannot be opened,
// 1 when a picture cannot be written.
int writeAimPictures(const AimRequest& request);

}  // namespace app::aim
