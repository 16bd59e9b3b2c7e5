// The process-wide printer object over Qt and CUPS.
//
// A document is drawn into a PDF file of its own and handed to the print
// system when it ends, so that an aborted document never reaches the printer
// (Qt's own print system engine can only submit what it was given).
#pragma once

#include "toolkit/printer.h"
#include "toolkit/qt_printer_device.h"

#include <QPageSize>

#include <memory>

class QPainter;
class QPrinter;
class QTemporaryFile;

namespace tessaldrin::toolkit {

class TQtPrinter final : public TPrinter {
public:
    TQtPrinter();
    // A document still open is dropped, never printed.
    ~TQtPrinter() override;

    const std::vector<std::string>& Printers() override;
    const std::vector<std::string>& Fonts() override;
    int PrinterIndex() override;
    void SetPrinterIndex(int index) override;
    TPrinterOrientation Orientation() const override;
    void SetOrientation(TPrinterOrientation orientation) override;
    int Copies() const override;
    void SetCopies(int copies) override;
    TPrinterCapabilities Capabilities() const override;

    bool Printing() const override { return painter_ != nullptr; }
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;

    TCanvas& Canvas() override;
    TQtPrinterDevice* Handle() override { return &device_; }

    // Reads the printer names afresh at the next Printers().
    void Refresh();
    // The paper of the selected printer, in portrait.
    QPageSize PageSize() const;
    // `size` should be one that the selected printer offers (see the printer
    // setup dialog); the printable area follows it.
    void SetPageSize(const QPageSize& size);
    // The selected printer's settings, for the printer setup dialog.
    QPrinter& Settings() { return *settings_; }

private:
    void SelectPrinter(const QString& name);
    void UseDeviceMargins();
    void CloseDocument();

    std::unique_ptr<QPrinter> settings_;
    TQtPrinterDevice device_;
    std::unique_ptr<TCanvas> canvas_;
    std::unique_ptr<QTemporaryFile> jobFile_;
    std::unique_ptr<QPrinter> job_;
    std::unique_ptr<QPainter> painter_;
    std::vector<std::string> printers_;
    bool printersRead_ = false;
    std::vector<std::string> fonts_;
};

// The process-wide printer object (the one Printer() gives), made at the
// first call; it lives until the application object is destroyed, which must
// exist before.
TQtPrinter& QtPrinter();

// The program's 8-bit texts (the locale's encoding) and Qt's.
QString FromLocal(const std::string& text);
std::string ToLocal(const QString& text);

} // namespace tessaldrin::toolkit
