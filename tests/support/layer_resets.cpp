#include "support/layer_resets.h"

namespace testing_support {

void resetUpperLayers() {}

}  // namespace testing_support
