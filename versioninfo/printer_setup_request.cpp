#include "versioninfo/printer_setup_request.h"

namespace tessaldrin::versioninfo {

void RequestPrinterSetup(const TDOzadi* wrapper, const std::function<void()>& showSetup,
                         const std::function<void(const Note&)>& showNote) {
    if (wrapper != nullptr && wrapper->GetPrinterAvailable()) {
        showSetup();
    } else {
        showNote(kNoPrinterNote);
    }
}

} // namespace tessaldrin::versioninfo
