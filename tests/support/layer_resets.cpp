#include "support/layer_resets.h"

#include "app/app_state.h"

namespace testing_support {

void resetUpperLayers() { app::resetApp(); }

}  // namespace testing_support
