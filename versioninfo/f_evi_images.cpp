#include "versioninfo/f_evi_images.h"

#include <QImage>
#include <QPixmap>

namespace tessaldrin::versioninfo {
namespace {

// The palette shared by the images; '.' is transparent.
// clang-format off
#define TM_EVI_COLOURS \
    ". c None", "# c #000000", "w c #FFFFFF", "g c #C0C0C0", "d c #808080", \
    "y c #FFFF00", "b c #0000C0", "n c #00C000", "s c #606060"

const char* const kPrinterWithSheet[] = {
    "16 16 9 1",
    TM_EVI_COLOURS,
    "................",
    ".....########...",
    ".....#wwwwww#...",
    ".....#w####w#...",
    ".....#wwwwww#...",
    ".....#w###ww#...",
    "...###########..",
    "..#ggggggggggg#.",
    ".###############",
    ".#ggggggggggggg#",
    ".#ggggggggggyyg#",
    ".#ddddddddddddd#",
    ".###############",
    "...#wwwwwwwww#..",
    "...###########..",
    "................",
};

const char* const kPrinterWithSpanner[] = {
    "20 20 9 1",
    TM_EVI_COLOURS,
    "....................",
    "...............##...",
    "..............#s.#..",
    "..............#s..#.",
    "...............#ss#.",
    "..............#sss#.",
    ".............#sss#..",
    "............#sss#...",
    "....######.#sss#....",
    "....#wwww##sss#.....",
    "....#w##w#sss#......",
    "..######sss######...",
    ".#ggggg#ss#gggggg#..",
    "#######s.##########.",
    "#ggg#s..#ggggggggg#.",
    "#gg#..##gggggggyyg#.",
    "#dd####dddddddddddd#",
    "###################.",
    "...#wwwwwwwwwwww#...",
    "...##############...",
};

const char* const kPageIntoDrive[] = {
    "16 16 9 1",
    TM_EVI_COLOURS,
    "...#######......",
    "...#wwwww##.....",
    "...#wwwww#w#....",
    "...#w###w####...",
    "...#wwwwwwww#...",
    "...#w####www#...",
    "...#wwwbbwww#...",
    "...####bb####...",
    ".....bbbbbb.....",
    "......bbbb......",
    ".......bb.......",
    ".##############.",
    ".#gggggggggggg#d",
    ".#ggggggggggng#d",
    ".##############d",
    "..dddddddddddddd",
};

// clang-format on
#undef TM_EVI_COLOURS

// The disabled state: the image in grey, its outline kept.
QPixmap Greyed(const QPixmap& normal) {
    QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            const int grey = 128 + qGray(colour.rgb()) / 2;
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
