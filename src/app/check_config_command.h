#pragma once
// --check-config: tavomotion.ini and the options checked, and what a run
// would do with them, without watching anything.
#include "app/command_line.h"

namespace app {

// The mistakes on standard error, one line each, as a run tells them; what
// the run would do on standard output. 0 when nothing is wrong, 2 otherwise.
int checkConfiguration(const ProgramOptions& options);

}  // namespace app
