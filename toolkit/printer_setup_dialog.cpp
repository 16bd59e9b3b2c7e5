#include "toolkit/printer_setup_dialog.h"

#include "toolkit/printer.h"
#include "toolkit/printer_setup_form.h"

namespace tessaldrin::toolkit {

bool TPrinterSetupDialog::Execute(QWidget* parent) {
    TPrinterSetupForm form(Printer(), parent);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    form.Apply();
    return true;
}

} // namespace tessaldrin::toolkit
