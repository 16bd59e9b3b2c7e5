#include "toolkit/printer_setup_dialog.h"

#include "toolkit/printer_setup_form.h"
#include "toolkit/qt_printer.h"

namespace tessaldrin::toolkit {

bool TPrinterSetupDialog::Execute(QWidget* parent) {
    TPrinterSetupForm form(QtPrinter(), parent);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    form.Apply();
    return true;
}

} // namespace tessaldrin::toolkit
