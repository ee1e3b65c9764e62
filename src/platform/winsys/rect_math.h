#pragma once
// Rectangle arithmetic of the drawing calls: right and bottom are exclusive.
#include <algorithm>

#include "platform/winsys/win32_types.h"

namespace platform {

inline bool isEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

inline RECT intersectRects(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The smallest rectangle holding both; an empty one adds nothing.
inline RECT boundingRect(const RECT& a, const RECT& b) {
    if (isEmptyRect(a)) return b;
    if (isEmptyRect(b)) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace platform
