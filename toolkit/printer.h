// The process-wide printer object: the selected printer with its settings,
// the document being printed, its canvas and its device context.
//
// A document is drawn into a PDF file of its own and handed to the print
// system when it ends, so that an aborted document never reaches the printer
// (Qt's own print system engine can only submit what it was given).
#pragma once

#include "toolkit/canvas.h"
#include "toolkit/printer_device.h"

#include <QPageSize>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <stdexcept>

class QPainter;
class QPrinter;
class QTemporaryFile;

namespace tessaldrin::toolkit {

// The printer object's error: its state forbids the call, or the print
// system refused the job.
class EPrinter : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TPrinterOrientation : std::uint8_t { poPortrait, poLandscape };

// A set of printer capabilities; member n is bit n.
enum TPrinterCapability : std::uint8_t {
    pcCopies = 1 << 0,
    pcOrientation = 1 << 1,
    pcCollation = 1 << 2,
};
using TPrinterCapabilities = std::uint8_t;

// The number of printers that the print system offers now; 0 when it offers
// none or cannot be asked.
int InstalledPrinterCount();

class TPrinter {
public:
    TPrinter();
    // A document still open is dropped, never printed.
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The printer names as the print system gave them at the first call
    // after construction or Refresh.
    const QStringList& Printers();
    void Refresh();
    // The font names available for printing.
    const QStringList& Fonts();

    // The position of the selected printer in Printers(), -1 when none is
    // selected. Setting -1 selects the system default printer.
    int PrinterIndex();
    void SetPrinterIndex(int index);

    // The paper of the selected printer, in portrait.
    QPageSize PageSize() const;
    // `size` should be one that the selected printer offers (see the printer
    // setup dialog); the printable area follows it.
    void SetPageSize(const QPageSize& size);
    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation orientation);
    int Copies() const;
    void SetCopies(int copies);
    // The document title: the print job's name.
    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    TPrinterCapabilities Capabilities() const;

    bool Printing() const { return painter_ != nullptr; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return pageNumber_; }

    void BeginDoc();
    void NewPage();
    // Hands the document to the print system as one job.
    void EndDoc();
    // Drops the document; nothing is printed.
    void Abort();

    TCanvas& Canvas();
    TPrinterDevice* Handle() { return &device_; }
    // The selected printer's settings, for the printer setup dialog.
    QPrinter& Settings() { return *settings_; }

private:
    void RequirePrinting() const;
    void RequireIdle() const;
    void SelectPrinter(const QString& name);
    void UseDeviceMargins();
    void CloseDocument();

    std::unique_ptr<QPrinter> settings_;
    TPrinterDevice device_;
    std::unique_ptr<TCanvas> canvas_;
    std::unique_ptr<QTemporaryFile> jobFile_;
    std::unique_ptr<QPrinter> job_;
    std::unique_ptr<QPainter> painter_;
    QStringList printers_;
    bool printersRead_ = false;
    QStringList fonts_;
    QString title_;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

// The process-wide printer object, made at the first call; it lives until
// the application object is destroyed, which must exist before.
TPrinter& Printer();

} // namespace tessaldrin::toolkit
