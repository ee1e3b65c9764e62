#include "support/layer_resets.h"

#include "analysis/reset_analysis.h"
#include "app/app_state.h"

namespace testing_support {

void resetUpperLayers() {
    analysis::resetAnalysis();
    app::resetApp();
}

}  // namespace testing_support
