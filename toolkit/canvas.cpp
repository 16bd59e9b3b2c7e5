#include "toolkit/canvas.h"

namespace tessaldrin::toolkit {

void TCanvas::TextOut(std::int32_t, std::int32_t, const std::string&) {
    throw EInvalidOperation("Leinwand/Bild erlaubt kein Zeichnen");
}

} // namespace tessaldrin::toolkit
