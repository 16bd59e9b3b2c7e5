#include "app/start_run.h"

#include "app/run_adjustment.h"

#include <stdexcept>

namespace tessaldrin {

void StartRun(filetable::TdmFiles* dmFiles, const std::string& programPath,
              const PortButtons& buttons, std::int32_t& port, RunLog& log) {
    port = ChosenPort(buttons);
    if (dmFiles == nullptr) {
        throw std::logic_error("Tessaldrin-Mover: no data module");
    }
    RunAdjustment(*dmFiles, {programPath, {}, port}, log);
}

} // namespace tessaldrin
