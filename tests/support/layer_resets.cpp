#include "support/layer_resets.h"

#include "analysis/reset_analysis.h"

namespace testing_support {

void resetUpperLayers() { analysis::resetAnalysis(); }

}  // namespace testing_support
