// The toolkit's process-wide printer object as the printer wrapper sees it:
// the selected printer with its settings, the document being printed, its
// canvas and its device context. Toolkit-free: Qt's printer over CUPS
// (qt_printer.h) and GDI (windows/gdi_printer.h) implement it, and each
// build links the one of its platform behind Printer().
#pragma once

#include "toolkit/canvas.h"
#include "toolkit/printer_device.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

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

class TPrinter {
public:
    TPrinter() = default;
    virtual ~TPrinter() = default;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The printer names as the print system gave them at the first call
    // after construction or after the default printer was selected again.
    virtual const std::vector<std::string>& Printers() = 0;
    // The font names available for printing.
    virtual const std::vector<std::string>& Fonts() = 0;

    // The position of the selected printer in Printers(), -1 when none is
    // selected. Setting -1 selects the system default printer.
    virtual int PrinterIndex() = 0;
    virtual void SetPrinterIndex(int index) = 0;

    virtual TPrinterOrientation Orientation() const = 0;
    virtual void SetOrientation(TPrinterOrientation orientation) = 0;
    virtual int Copies() const = 0;
    virtual void SetCopies(int copies) = 0;
    virtual TPrinterCapabilities Capabilities() const = 0;

    // The document title: the print job's name.
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }

    virtual bool Printing() const = 0;
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return pageNumber_; }

    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    // Hands the document to the print system as one job.
    virtual void EndDoc() = 0;
    // Drops the document; nothing is printed.
    virtual void Abort() = 0;

    // Draws into the open document only.
    virtual TCanvas& Canvas() = 0;
    virtual TPrinterDevice* Handle() = 0;

protected:
    // "Der Drucker druckt aktuell nicht" unless a document is open.
    void RequirePrinting() const;
    // "Der Druckvorgang läuft" while a document is open.
    void RequireIdle() const;
    // "Der Druckerindex liegt außerhalb des gültigen Bereichs" for an index
    // that is neither -1 nor in Printers().
    void RequirePrinterIndex(int index);

    std::string title_;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

// The number of printers that the print system offers now; 0 when it offers
// none or cannot be asked.
int InstalledPrinterCount();

// The process-wide printer object of the platform, made at the first call.
TPrinter& Printer();

} // namespace tessaldrin::toolkit
