// The images of the version window's buttons as XPM texts, one character a
// pixel with its palette in front, shared by the Qt and the Win32 window.
// Toolkit-free.
#pragma once

namespace tessaldrin::versioninfo {

// 16 × 16: a printer with a sheet.
extern const char* const kPrinterWithSheet[];
// 20 × 20: a printer with a spanner.
extern const char* const kPrinterWithSpanner[];
// 16 × 16: a page with an arrow down into a drive.
extern const char* const kPageIntoDrive[];
// 16 × 16: an open door with an arrow out, the close button's image where the
// toolkit has none of its own.
extern const char* const kDoorWithArrow[];

// The grey of a pixel in an image's disabled state, from its colour.
int DisabledGrey(int red, int green, int blue);

} // namespace tessaldrin::versioninfo
