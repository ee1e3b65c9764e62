#pragma once

namespace analysis {

// Every program-wide value of scene analysis back to its start state (tests).
void resetAnalysis();

}  // namespace analysis
