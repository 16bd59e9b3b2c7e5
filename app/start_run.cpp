#include "app/start_run.h"

namespace tessaldrin {

void StartRun(Adjustment& adjustment, const PortButtons& buttons) {
    adjustment.ChoosePort(ChosenPort(buttons));
    adjustment.RunAdjustment();
}

} // namespace tessaldrin
