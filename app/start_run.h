// What a click on Start does, in every window program: the port that the
// port choice gives, then the run. The one place where a window starts a run.
#pragma once

#include "app/adjustment.h"
#include "app/port_choice.h"

namespace tessaldrin {

// Stores the chosen port for the run and the data module, then runs the
// adjustment; the outcome is in the log. An exception that escapes a step
// reaches the caller, whose handler hands it to the exception display.
void StartRun(Adjustment& adjustment, const PortButtons& buttons);

} // namespace tessaldrin
