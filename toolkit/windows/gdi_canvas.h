// The printer object's canvas over GDI.
#pragma once

#include "platform/windows/windows_api.h"
#include "toolkit/printer.h"
#include "toolkit/windows/gdi_device.h"
#include "toolkit/windows/gdi_handles.h"

namespace tessaldrin::toolkit {

// The GDI font of `font`: its height in logical units of the context that
// it is selected into, its face, pitch and styles.
GdiObject<HFONT> CreateGdiFont(const TFont& font);

class TGdiCanvas final : public TCanvas {
public:
    // Both outlive the canvas.
    TGdiCanvas(const TPrinter& printer, const TGdiDevice& device)
        : printer_(printer), device_(device) {}

    // Into the open document only; otherwise "Der Drucker druckt aktuell nicht".
    void TextOut(std::int32_t x, std::int32_t y, const std::string& text) override;

private:
    const TPrinter& printer_;
    const TGdiDevice& device_;
};

} // namespace tessaldrin::toolkit
