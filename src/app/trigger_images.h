#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace app {

// Has the capture driver write the frame it grabbed last as the next
// numbered picture, reports the name and the time taken, and shows the
// picture beside the live frame.
void saveTriggerImage();

// The number of the next picture, advancing the count; with a cap the
// numbers go round the ring of cap + 1 pictures.
std::int32_t takeImageNumber();

// The name of picture `number` in the save directory, cut to its buffer.
std::string triggerImageName(std::int32_t number);

// N for a file name tavo_N.bmp as the program writes it (no sign, no leading
// zero); nothing for any other name.
std::optional<std::int32_t> triggerPictureNumber(const std::string& name);

// The number the first picture of this run gets, so an earlier run's
// pictures are not written over: after the highest tavo_N.bmp found, or with
// a cap, after the newest picture of the ring.
std::int32_t firstFreeImageNumber(const std::string& directory, std::int32_t cap);

}  // namespace app
