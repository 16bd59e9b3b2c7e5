// Owners of the system's handles that the windows hold: each is released
// when its owner goes.
#pragma once

#include "platform/windows/windows_api.h"

#include <memory>
#include <type_traits>

namespace tessaldrin::toolkit {

struct GdiObjectRelease {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconRelease {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct WindowRelease {
    void operator()(HWND window) const { DestroyWindow(window); }
};

// A font, pen, brush or bitmap, deleted with its holder.
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectRelease>;
using FontHandle = GdiObject<HFONT>;
using BitmapHandle = GdiObject<HBITMAP>;
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconRelease>;
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowRelease>;

// A GDI object selected into a device context until the end of the scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace tessaldrin::toolkit
