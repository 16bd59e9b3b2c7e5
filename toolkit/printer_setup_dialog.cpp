#include "toolkit/printer_setup_dialog.h"

#include "toolkit/printer.h"

#include <QPrintDialog>
#include <QPrinter>

namespace tessaldrin::toolkit {

bool TPrinterSetupDialog::Execute(QWidget* parent) {
    TPrinter& printer = Printer();
    QPrintDialog dialog(&printer.Settings(), parent);
    // A setup, not a print run: which pages to print is not asked, and the
    // output stays the printer (a file chosen here would replace it).
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace tessaldrin::toolkit
