#include "toolkit/qt_printer_device.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QRect>
#include <QTransform>

#include <cstdlib>

namespace tessaldrin::toolkit {

std::int32_t TQtPrinterDevice::GetDeviceCaps(DeviceCap cap) const {
    const int resolution = printer_.resolution();
    const QPageLayout layout = printer_.pageLayout();
    // Qt draws on a printer with the origin at the corner of the paint
    // rectangle: that rectangle is the printable area of the device context.
    const QRect paper = layout.fullRectPixels(resolution);
    const QRect printable = layout.paintRectPixels(resolution);
    switch (cap) {
    case DeviceCap::HORZRES:
        return printable.width();
    case DeviceCap::VERTRES:
        return printable.height();
    case DeviceCap::LOGPIXELSX:
    case DeviceCap::LOGPIXELSY:
        return resolution;
    case DeviceCap::PHYSICALWIDTH:
        return paper.width();
    case DeviceCap::PHYSICALHEIGHT:
        return paper.height();
    case DeviceCap::PHYSICALOFFSETX:
        return printable.left() - paper.left();
    case DeviceCap::PHYSICALOFFSETY:
        return printable.top() - paper.top();
    }
    return 0;
}

void TQtPrinterDevice::SetMapMode(MapMode mode) {
    mode_ = mode;
    if (mode_ == MapMode::MM_ISOTROPIC) {
        AdjustIsotropic();
    }
    Apply();
}

bool TQtPrinterDevice::SetWindowExtEx(std::int32_t x, std::int32_t y) {
    return SetExtent(windowExt_, x, y);
}

bool TQtPrinterDevice::SetViewportExtEx(std::int32_t x, std::int32_t y) {
    return SetExtent(viewportExt_, x, y);
}

bool TQtPrinterDevice::SetExtent(TSize& extent, std::int32_t x, std::int32_t y) {
    if (mode_ == MapMode::MM_TEXT || x == 0 || y == 0) {
        return false;
    }
    extent = TSize{x, y};
    if (mode_ == MapMode::MM_ISOTROPIC) {
        AdjustIsotropic();
    }
    Apply();
    return true;
}

void TQtPrinterDevice::SetViewportOrgEx(std::int32_t x, std::int32_t y) {
    viewportOrg_ = TPoint{x, y};
    Apply();
}

TSize TQtPrinterDevice::GetWindowExt() const {
    return mode_ == MapMode::MM_TEXT ? TSize{1, 1} : windowExt_;
}

TSize TQtPrinterDevice::GetViewportExt() const {
    return mode_ == MapMode::MM_TEXT ? TSize{1, 1} : viewportExt_;
}

void TQtPrinterDevice::Attach(QPainter* painter) {
    painter_ = painter;
    mode_ = MapMode::MM_TEXT;
    windowExt_ = TSize{1, 1};
    viewportExt_ = TSize{1, 1};
    viewportOrg_ = TPoint{0, 0};
    Apply();
}

void TQtPrinterDevice::AdjustIsotropic() {
    // Compare |vx / wx| with |vy / wy| without dividing; the axis with the
    // larger scale gets the smaller one, its sign kept.
    const std::int64_t wx = std::llabs(windowExt_.cx);
    const std::int64_t wy = std::llabs(windowExt_.cy);
    const std::int64_t vx = std::llabs(viewportExt_.cx);
    const std::int64_t vy = std::llabs(viewportExt_.cy);
    const std::int64_t scaleX = vx * wy; // both scales multiplied by wx × wy
    const std::int64_t scaleY = vy * wx;
    if (scaleX > scaleY) {
        const auto shrunk = static_cast<std::int32_t>(vy * wx / wy);
        viewportExt_.cx = viewportExt_.cx < 0 ? -shrunk : shrunk;
    } else if (scaleY > scaleX) {
        const auto shrunk = static_cast<std::int32_t>(vx * wy / wx);
        viewportExt_.cy = viewportExt_.cy < 0 ? -shrunk : shrunk;
    }
}

void TQtPrinterDevice::Apply() {
    if (painter_ == nullptr || !painter_->isActive()) {
        return;
    }
    const TSize window = GetWindowExt();
    const TSize viewport = GetViewportExt();
    const qreal scaleX = static_cast<qreal>(viewport.cx) / window.cx;
    const qreal scaleY = static_cast<qreal>(viewport.cy) / window.cy;
    painter_->setTransform(QTransform(scaleX, 0, 0, scaleY, viewportOrg_.x, viewportOrg_.y));
}

} // namespace tessaldrin::toolkit
