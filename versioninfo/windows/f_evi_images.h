// The images of the Win32 version window's buttons: the shared XPM texts
// read into device-independent bitmaps, each in a normal and a disabled
// state, transparent pixels in the colour of the button face.
#pragma once

#include "toolkit/windows/gdi_canvas.h"

namespace tessaldrin::versioninfo {

struct ButtonImage {
    toolkit::GdiObject<HBITMAP> normal;
    toolkit::GdiObject<HBITMAP> disabled;
    SIZE size{};
};

// `xpm` as one of button_images.h gives it; null bitmaps for a text that is
// no image of that form.
ButtonImage LoadButtonImage(const char* const* xpm, COLORREF face);

} // namespace tessaldrin::versioninfo
