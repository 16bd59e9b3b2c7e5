// The printer's device context over GDI: the device values and the mapping
// calls go to the HDC of the selected printer, which this object owns.
#pragma once

#include "toolkit/printer_device.h"

#include "platform/windows/windows_api.h"

namespace tessaldrin::toolkit {

class TGdiDevice final : public TPrinterDevice {
public:
    TGdiDevice() = default;
    ~TGdiDevice() override { Reset(nullptr); }
    TGdiDevice(const TGdiDevice&) = delete;
    TGdiDevice& operator=(const TGdiDevice&) = delete;

    // Takes `dc` over and deletes the one held before; null for no printer.
    void Reset(HDC dc);
    HDC Dc() const { return dc_; }

    // Without a context every value is 0 and every call fails.
    std::int32_t GetDeviceCaps(DeviceCap cap) const override;
    void SetMapMode(MapMode mode) override;
    bool SetWindowExtEx(std::int32_t x, std::int32_t y) override;
    bool SetViewportExtEx(std::int32_t x, std::int32_t y) override;
    void SetViewportOrgEx(std::int32_t x, std::int32_t y) override;
    MapMode GetMapMode() const override;
    TSize GetWindowExt() const override;
    TSize GetViewportExt() const override;
    TPoint GetViewportOrg() const override;

private:
    HDC dc_ = nullptr;
};

} // namespace tessaldrin::toolkit
