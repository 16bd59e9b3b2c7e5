// The process-wide printer object over GDI: the printers that EnumPrintersA
// lists, the selected one with its settings (a DEVMODE) and its device
// context (CreateDCA), and documents from StartDocA to EndDoc, which the
// spooler receives as one job named after the document title.
#pragma once

#include "toolkit/printer.h"
#include "toolkit/windows/gdi_canvas.h"
#include "toolkit/windows/gdi_device.h"

#include <string>
#include <vector>

namespace tessaldrin::toolkit {

class TGdiPrinter final : public TPrinter {
public:
    // Selects the system default printer.
    TGdiPrinter();
    // A document still open is aborted, never printed.
    ~TGdiPrinter() override;

    const std::vector<std::string>& Printers() override;
    const std::vector<std::string>& Fonts() override;
    int PrinterIndex() override;
    void SetPrinterIndex(int index) override;
    TPrinterOrientation Orientation() const override;
    void SetOrientation(TPrinterOrientation orientation) override;
    int Copies() const override;
    void SetCopies(int copies) override;
    TPrinterCapabilities Capabilities() const override;

    bool Printing() const override { return printing_; }
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;

    TCanvas& Canvas() override { return canvas_; }
    TGdiDevice* Handle() override { return &device_; }

    // The selected printer's name (empty for none) and its settings: a
    // DEVMODEA with its driver's data behind it, for the printer setup dialog.
    const std::string& DeviceName() const { return deviceName_; }
    const std::vector<BYTE>& DevMode() const { return devMode_; }
    // Selects the printer `name` with `devMode`, as the printer setup dialog
    // gives them; empty settings are the printer's own defaults.
    void SetDevice(const std::string& name, std::vector<BYTE> devMode);

private:
    // The settings, or null when there are none or too few bytes for them.
    DEVMODEA* Settings();
    const DEVMODEA* Settings() const;
    // A new device context for the printer and its settings.
    void ApplySettings();

    std::vector<std::string> printers_;
    bool printersRead_ = false;
    std::vector<std::string> fonts_;
    std::string deviceName_;
    std::vector<BYTE> devMode_;
    TGdiDevice device_;
    TGdiCanvas canvas_{*this, device_};
    bool printing_ = false;
};

// The process-wide printer object (the one Printer() gives).
TGdiPrinter& GdiPrinter();

} // namespace tessaldrin::toolkit
