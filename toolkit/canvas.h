// A surface to draw text on with a font. A canvas without a device (the one a
// printer wrapper makes when no printer is installed) refuses to draw.
#pragma once

#include "toolkit/canvas_font.h"

#include <QString>

#include <cstdint>
#include <stdexcept>

class QPainter;

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

    // Draws `text` in the canvas font with the top-left corner of its first
    // character cell at (x, y), in the device's logical units.
    void TextOut(std::int32_t x, std::int32_t y, const QString& text);

protected:
    // The painter of the device; the plain canvas has none and raises
    // EInvalidOperation.
    virtual QPainter& RequirePainter();

private:
    TFont font_;
};

} // namespace tessaldrin::toolkit
