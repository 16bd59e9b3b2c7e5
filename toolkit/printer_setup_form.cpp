#include "toolkit/printer_setup_form.h"

#include "toolkit/qt_printer.h"

#include <QPrinterInfo>

#include <algorithm>

namespace tessaldrin::toolkit {
namespace {

// The position of `wanted` among `sizes`: the same paper by its name in the
// print system, else by its dimensions; -1 when the printer has no such paper.
qsizetype FindPaper(const QList<QPageSize>& sizes, const QPageSize& wanted) {
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        if (!wanted.key().isEmpty() && sizes[i].key() == wanted.key()) {
            return i;
        }
    }
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        if (sizes[i].isEquivalentTo(wanted)) {
            return i;
        }
    }
    return -1;
}

} // namespace

TPrinterSetupForm::TPrinterSetupForm(TQtPrinter& printer, QWidget* parent)
    : QDialog(parent), printer_(printer) {
    setupUi(this);
    // The printer object's list, so that a position in it is a printer index.
    for (const std::string& name : printer_.Printers()) {
        cbPrinter->addItem(FromLocal(name));
    }
    int selected = printer_.PrinterIndex();
    if (selected < 0) {
        selected = cbPrinter->findText(QPrinterInfo::defaultPrinterName());
    }
    cbPrinter->setCurrentIndex(std::max(selected, 0));
    // The paper of the printer object, before the printer's own default.
    paperSizes_ = {printer_.PageSize()};
    cbPrinterChange();
    (printer_.Orientation() == TPrinterOrientation::poLandscape ? rbtnLandscape : rbtnPortrait)
        ->setChecked(true);
    connect(cbPrinter, &QComboBox::currentIndexChanged, this, &TPrinterSetupForm::cbPrinterChange);
}

TPrinterSetupForm::~TPrinterSetupForm() = default;

void TPrinterSetupForm::cbPrinterChange() {
    const qsizetype current = cbPaperSize->currentIndex();
    const QPageSize chosen =
        current >= 0 && current < paperSizes_.size() ? paperSizes_[current] : paperSizes_.value(0);
    const QPrinterInfo info = QPrinterInfo::printerInfo(cbPrinter->currentText());
    paperSizes_ = info.supportedPageSizes();
    qsizetype selected = FindPaper(paperSizes_, chosen);
    if (selected < 0) {
        selected = FindPaper(paperSizes_, info.defaultPageSize());
    }
    cbPaperSize->clear();
    for (const QPageSize& size : paperSizes_) {
        // The print system's name of the paper goes along, for whoever needs
        // to find a paper in the list whatever its display name.
        cbPaperSize->addItem(size.name(), size.key());
    }
    cbPaperSize->setCurrentIndex(static_cast<int>(std::max<qsizetype>(selected, 0)));
    cbPaperSize->setEnabled(!paperSizes_.isEmpty());
}

void TPrinterSetupForm::Apply() {
    // The printer first: the printer object refuses every change while it
    // prints, and then nothing has changed.
    if (cbPrinter->currentIndex() >= 0) {
        printer_.SetPrinterIndex(cbPrinter->currentIndex());
    }
    const int paper = cbPaperSize->currentIndex();
    if (paper >= 0 && paper < paperSizes_.size()) {
        printer_.SetPageSize(paperSizes_[paper]);
    }
    printer_.SetOrientation(rbtnLandscape->isChecked() ? TPrinterOrientation::poLandscape
                                                       : TPrinterOrientation::poPortrait);
}

} // namespace tessaldrin::toolkit
