#pragma once

namespace testing_support {

// The analysis and application layers back to their start state.
void resetUpperLayers();

}  // namespace testing_support
