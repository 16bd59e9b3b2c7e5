// The images of the version window's buttons.
#pragma once

#include <QIcon>

namespace tessaldrin::versioninfo {

// 16 × 16: a printer with a sheet, with its own disabled state.
QIcon PrinterWithSheetIcon();
// 20 × 20: a printer with a spanner, with its own disabled state.
QIcon PrinterWithSpannerIcon();
// 16 × 16: a page with an arrow down into a drive.
QIcon PageIntoDriveIcon();

} // namespace tessaldrin::versioninfo
