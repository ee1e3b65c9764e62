#include "app/every_vehicle/kept_frames.h"

#include <algorithm>

namespace app {

pipeline::FrameImage KeptFrame::image() const {
    auto* bytes = const_cast<std::uint8_t*>(dib.data());
    return {width, height, bytes + headerBytes, bytes};
}

KeptFrame& KeptFrames::freeSlot() {
    const auto free =
        std::find_if(slots_.begin(), slots_.end(), [](const KeptFrame& slot) { return slot.number < 0; });
    if (free != slots_.end()) return *free;
    if (slots_.size() < capacity) return slots_.emplace_back();
    return *std::min_element(slots_.begin(), slots_.end(),
                             [](const KeptFrame& a, const KeptFrame& b) { return a.number < b.number; });
}

void KeptFrames::keep(std::int64_t number, double seconds, const pipeline::FrameImage& frame,
                      FrameExtras extras) {
    if (frame.dib == nullptr || frame.pixels == nullptr) return;
    const auto rowBytes = static_cast<std::size_t>((frame.width * 3 + 3) / 4 * 4);
    const auto headerBytes = static_cast<std::size_t>(frame.pixels - frame.dib);
    KeptFrame& slot = freeSlot();
    slot.number = number;
    slot.seconds = seconds;
    slot.extras = std::move(extras);
    slot.width = frame.width;
    slot.height = frame.height;
    slot.headerBytes = static_cast<std::uint32_t>(headerBytes);
    slot.dib.assign(frame.dib, frame.dib + headerBytes + rowBytes * static_cast<std::size_t>(frame.height));
}

const KeptFrame* KeptFrames::find(std::int64_t number) const {
    const auto found = std::find_if(slots_.begin(), slots_.end(),
                                    [number](const KeptFrame& slot) { return slot.number == number; });
    return found != slots_.end() ? &*found : nullptr;
}

void KeptFrames::dropBefore(std::int64_t number) {
    for (KeptFrame& slot : slots_) {
        if (slot.number >= number) continue;
        slot.number = -1;
        slot.extras = {};
    }
}

}  // namespace app
