// The printer setup dialog's window: the printer, its paper and the
// orientation, with OK and Abbrechen. It offers only what the printer object
// applies to the next printout, and it changes the printer object only when
// asked to apply the choices.
#pragma once

#include "ui_printer_setup_form.h"

#include <QDialog>
#include <QList>
#include <QPageSize>

namespace tessaldrin::toolkit {

class TQtPrinter;

class TPrinterSetupForm : public QDialog, public Ui::TPrinterSetupForm {
    Q_OBJECT

public:
    // Shows the settings of `printer`, which outlives the window.
    TPrinterSetupForm(TQtPrinter& printer, QWidget* parent);
    ~TPrinterSetupForm() override;

    // Hands the choices to the printer object.
    void Apply();

    // Offers the papers of the chosen printer, keeping the chosen paper when
    // that printer has it too, else the printer's own default.
    void cbPrinterChange();

private:
    TQtPrinter& printer_;
    // The papers of the chosen printer, in the order of cbPaperSize.
    QList<QPageSize> paperSizes_;
};

} // namespace tessaldrin::toolkit
