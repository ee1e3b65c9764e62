#pragma once
// How far the picture inside a box of the window moved since the frame
// before, found by sliding the box's row and column profiles over each other.
// A stream of vehicles keeps the same cells occupied while its content flows
// through them; this tells how far it has flowed.
#include <cstdint>
#include <vector>

namespace analysis::everyvehicle {

struct PixelBox {
    std::int32_t top, bottom, left, right;  // rows top .. bottom - 1, columns left .. right - 1
};

struct Flow {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
};

class ContentFlow {
public:
    // Both images are windowColumns wide, row by row.
    Flow measure(const std::vector<std::uint8_t>& current, const std::vector<std::uint8_t>& previous,
                 std::int32_t windowColumns, const PixelBox& box);

private:
    std::vector<float> now_;
    std::vector<float> before_;
    std::vector<float> columnsNow_;
    std::vector<float> columnsBefore_;
};

}  // namespace analysis::everyvehicle
