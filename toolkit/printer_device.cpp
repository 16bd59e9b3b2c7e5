#include "toolkit/printer_device.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QRect>
#include <QTransform>

#include <cstdlib>

namespace tessaldrin::toolkit {

std::int32_t TPrinterDevice::GetDeviceCaps(DeviceCap cap) const {
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

void TPrinterDevice::SetMapMode(MapMode mode) {
    mode_ = mode;
    if (mode_ == MapMode::MM_ISOTROPIC) {
        AdjustIsotropic();
    }
    Apply();
}

bool TPrinterDevice::SetWindowExtEx(std::int32_t x, std::int32_t y) {
    return SetExtent(windowExt_, x, y);
}

bool TPrinterDevice::SetViewportExtEx(std::int32_t x, std::int32_t y) {
    return SetExtent(viewportExt_, x, y);
}

bool TPrinterDevice::SetExtent(QSize& extent, std::int32_t x, std::int32_t y) {
    if (mode_ == MapMode::MM_TEXT || x == 0 || y == 0) {
        return false;
    }
    extent = QSize(x, y);
    if (mode_ == MapMode::MM_ISOTROPIC) {
        AdjustIsotropic();
    }
    Apply();
    return true;
}

void TPrinterDevice::SetViewportOrgEx(std::int32_t x, std::int32_t y) {
    viewportOrg_ = QPoint(x, y);
    Apply();
}

QSize TPrinterDevice::GetWindowExt() const {
    return mode_ == MapMode::MM_TEXT ? QSize(1, 1) : windowExt_;
}

QSize TPrinterDevice::GetViewportExt() const {
    return mode_ == MapMode::MM_TEXT ? QSize(1, 1) : viewportExt_;
}

void TPrinterDevice::Attach(QPainter* painter) {
    painter_ = painter;
    mode_ = MapMode::MM_TEXT;
    windowExt_ = QSize(1, 1);
    viewportExt_ = QSize(1, 1);
    viewportOrg_ = QPoint(0, 0);
    Apply();
}

void TPrinterDevice::AdjustIsotropic() {
    // Compare |vx / wx| with |vy / wy| without dividing; the axis with the
    // larger scale gets the smaller one, its sign kept.
    const std::int64_t wx = std::llabs(windowExt_.width());
    const std::int64_t wy = std::llabs(windowExt_.height());
    const std::int64_t vx = std::llabs(viewportExt_.width());
    const std::int64_t vy = std::llabs(viewportExt_.height());
    const std::int64_t scaleX = vx * wy; // both scales multiplied by wx × wy
    const std::int64_t scaleY = vy * wx;
    if (scaleX > scaleY) {
        const auto shrunk = static_cast<int>(vy * wx / wy);
        viewportExt_.setWidth(viewportExt_.width() < 0 ? -shrunk : shrunk);
    } else if (scaleY > scaleX) {
        const auto shrunk = static_cast<int>(vx * wy / wx);
        viewportExt_.setHeight(viewportExt_.height() < 0 ? -shrunk : shrunk);
    }
}

void TPrinterDevice::Apply() {
    if (painter_ == nullptr || !painter_->isActive()) {
        return;
    }
    const QSize window = GetWindowExt();
    const QSize viewport = GetViewportExt();
    const qreal scaleX = static_cast<qreal>(viewport.width()) / window.width();
    const qreal scaleY = static_cast<qreal>(viewport.height()) / window.height();
    painter_->setTransform(QTransform(scaleX, 0, 0, scaleY, viewportOrg_.x(), viewportOrg_.y()));
}

} // namespace tessaldrin::toolkit
