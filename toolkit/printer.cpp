#include "toolkit/printer.h"

namespace tessaldrin::toolkit {

void TPrinter::RequirePrinting() const {
    if (!Printing()) {
        throw EPrinter("Der Drucker druckt aktuell nicht");
    }
}

void TPrinter::RequireIdle() const {
    if (Printing()) {
        throw EPrinter("Der Druckvorgang läuft");
    }
}

void TPrinter::RequirePrinterIndex(int index) {
    if (index < -1 || index >= static_cast<int>(Printers().size())) {
        throw EPrinter("Der Druckerindex liegt außerhalb des gültigen Bereichs");
    }
}

} // namespace tessaldrin::toolkit
