#pragma once
// Room on the disk for a camera left for months: with keepFreeBytes set, the
// oldest pictures of the program in the save directory are removed before a
// save until the file system has that much free again.
#include <cstdint>

namespace app {

// Before picture `number` is written. Only tavo_N.bmp and tavo_N.jpg are ever
// removed, oldest first: by number, or with a cap round the ring from
// `number`, which is the oldest there. Each removal is said on standard error
// and logged; a disk still short with nothing of ours left is said once.
void makeRoomForPicture(std::int32_t number);

}  // namespace app
