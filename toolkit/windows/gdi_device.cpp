#include "toolkit/windows/gdi_device.h"

namespace tessaldrin::toolkit {

// The enumerators carry the Windows values, so they pass as they are.

void TGdiDevice::Reset(HDC dc) {
    if (dc_ != nullptr) {
        DeleteDC(dc_);
    }
    dc_ = dc;
}

std::int32_t TGdiDevice::GetDeviceCaps(DeviceCap cap) const {
    return dc_ == nullptr ? 0 : ::GetDeviceCaps(dc_, static_cast<int>(cap));
}

void TGdiDevice::SetMapMode(MapMode mode) {
    ::SetMapMode(dc_, static_cast<int>(mode));
}

bool TGdiDevice::SetWindowExtEx(std::int32_t x, std::int32_t y) {
    return ::SetWindowExtEx(dc_, x, y, nullptr) != FALSE;
}

bool TGdiDevice::SetViewportExtEx(std::int32_t x, std::int32_t y) {
    return ::SetViewportExtEx(dc_, x, y, nullptr) != FALSE;
}

void TGdiDevice::SetViewportOrgEx(std::int32_t x, std::int32_t y) {
    ::SetViewportOrgEx(dc_, x, y, nullptr);
}

MapMode TGdiDevice::GetMapMode() const {
    return static_cast<MapMode>(::GetMapMode(dc_));
}

TSize TGdiDevice::GetWindowExt() const {
    SIZE size{};
    ::GetWindowExtEx(dc_, &size);
    return TSize{size.cx, size.cy};
}

TSize TGdiDevice::GetViewportExt() const {
    SIZE size{};
    ::GetViewportExtEx(dc_, &size);
    return TSize{size.cx, size.cy};
}

TPoint TGdiDevice::GetViewportOrg() const {
    POINT origin{};
    ::GetViewportOrgEx(dc_, &origin);
    return TPoint{origin.x, origin.y};
}

} // namespace tessaldrin::toolkit
