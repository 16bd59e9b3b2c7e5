// What a click on Start does, in every window program: the port that the
// port choice gives, then the run. The one place where a window starts a run.
#pragma once

#include "app/port_choice.h"
#include "filetable/dm_files.h"
#include "runlog/run_log.h"

#include <cstdint>
#include <string>

namespace tessaldrin {

// Stores the chosen port in `port`, the window's, then runs the adjustment of
// the Tessaldrin database beside `programPath` on it through `dmFiles`; the
// outcome is in `log`. An exception that escapes a step reaches the caller,
// whose handler hands it to the exception display.
void StartRun(filetable::TdmFiles* dmFiles, const std::string& programPath,
              const PortButtons& buttons, std::int32_t& port, RunLog& log);

} // namespace tessaldrin
