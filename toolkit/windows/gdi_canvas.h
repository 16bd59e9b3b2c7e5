// The printer object's canvas over GDI, and the GDI objects that drawing
// needs, each released with its owner.
#pragma once

#include "toolkit/printer.h"
#include "toolkit/windows/gdi_device.h"

#include "platform/windows/windows_api.h"

#include <memory>
#include <type_traits>

namespace tessaldrin::toolkit {

// A font, pen, brush or bitmap, deleted with its holder.
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

// `object` selected into `dc` for the holder's life.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

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
