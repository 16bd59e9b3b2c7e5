// The printer setup dialog: the system's own (PrintDlgA with PD_PRINTSETUP),
// over the settings of the process-wide printer object, so that the printer,
// paper and orientation chosen there are those of its next printout.
#pragma once

#include "platform/windows/windows_api.h"

namespace tessaldrin::toolkit {

class TPrinterSetupDialog {
public:
    // Shows the dialog modally over `owner`; true when the user accepted it,
    // and only then are the choices applied.
    bool Execute(HWND owner);
};

} // namespace tessaldrin::toolkit
