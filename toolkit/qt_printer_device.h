// The device context of Qt's printer: the device values of the selected
// printer and paper, and the mapping applied to the painter of the open
// document.
#pragma once

#include "toolkit/printer_device.h"

class QPainter;
class QPrinter;

namespace tessaldrin::toolkit {

class TQtPrinterDevice final : public TPrinterDevice {
public:
    // `printer` holds the selected printer's settings; it outlives the context.
    explicit TQtPrinterDevice(const QPrinter& printer) : printer_(printer) {}

    std::int32_t GetDeviceCaps(DeviceCap cap) const override;

    void SetMapMode(MapMode mode) override;
    bool SetWindowExtEx(std::int32_t x, std::int32_t y) override;
    bool SetViewportExtEx(std::int32_t x, std::int32_t y) override;
    void SetViewportOrgEx(std::int32_t x, std::int32_t y) override;

    MapMode GetMapMode() const override { return mode_; }
    TSize GetWindowExt() const override;
    TSize GetViewportExt() const override;
    TPoint GetViewportOrg() const override { return viewportOrg_; }

    // The painter of the open document (null between documents). Every
    // document starts in device dots; the mapping then follows it.
    void Attach(QPainter* painter);
    QPainter* Painter() const { return painter_; }

private:
    bool SetExtent(TSize& extent, std::int32_t x, std::int32_t y);
    void AdjustIsotropic();
    void Apply();

    const QPrinter& printer_;
    QPainter* painter_ = nullptr;
    MapMode mode_ = MapMode::MM_TEXT;
    TSize windowExt_{1, 1};
    TSize viewportExt_{1, 1};
    TPoint viewportOrg_{0, 0};
};

} // namespace tessaldrin::toolkit
