#include "toolkit/canvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPointF>

namespace tessaldrin::toolkit {

void TCanvas::TextOut(std::int32_t x, std::int32_t y, const QString& text) {
    QPainter& painter = RequirePainter();
    painter.setFont(font_.ToQFont());
    painter.setPen(font_.Color());
    // Qt places text on its baseline; the canvas places the cell's top.
    const qreal ascent = painter.fontMetrics().ascent();
    painter.drawText(QPointF(x, y + ascent), text);
}

QPainter& TCanvas::RequirePainter() {
    throw EInvalidOperation("Leinwand/Bild erlaubt kein Zeichnen");
}

} // namespace tessaldrin::toolkit
