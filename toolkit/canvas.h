// A surface to draw text on with a font. The plain canvas (the one a printer
// wrapper makes when no printer is installed) has no device and refuses to
// draw; a printer object's canvas draws on its device. Toolkit-free.
#pragma once

#include "toolkit/canvas_font.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tessaldrin::toolkit {

// The drawing layer's error for an operation that the object's state forbids.
class EInvalidOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TCanvas {
public:
    TCanvas() = default;
    virtual ~TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }

    // Draws `text` (the program's 8-bit text) in the canvas font with the
    // top-left corner of its first character cell at (x, y), in the device's
    // logical units. The plain canvas raises EInvalidOperation.
    virtual void TextOut(std::int32_t x, std::int32_t y, const std::string& text);

private:
    TFont font_;
};

} // namespace tessaldrin::toolkit
