#include "versioninfo/f_evi_images.h"

#include "versioninfo/button_images.h"

#include <QImage>
#include <QPixmap>

namespace tessaldrin::versioninfo {
namespace {

// The disabled state: the image in grey, its outline kept.
QPixmap Greyed(const QPixmap& normal) {
    QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            const int grey = DisabledGrey(colour.red(), colour.green(), colour.blue());
            image.setPixelColor(x, y, QColor(grey, grey, grey, colour.alpha()));
        }
    }
    return QPixmap::fromImage(image);
}

QIcon WithDisabledState(const char* const* xpm) {
    const QPixmap normal(xpm);
    QIcon icon(normal);
    icon.addPixmap(Greyed(normal), QIcon::Disabled);
    return icon;
}

} // namespace

QIcon PrinterWithSheetIcon() {
    return WithDisabledState(kPrinterWithSheet);
}

QIcon PrinterWithSpannerIcon() {
    return WithDisabledState(kPrinterWithSpanner);
}

QIcon PageIntoDriveIcon() {
    return QIcon(QPixmap(kPageIntoDrive));
}

} // namespace tessaldrin::versioninfo
