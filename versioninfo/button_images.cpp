#include "versioninfo/button_images.h"

namespace tessaldrin::versioninfo {

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

const char* const kDoorWithArrow[] = {
    "16 16 9 1",
    TM_EVI_COLOURS,
    "................",
    "....##########..",
    "....#dgggggggd#.",
    "....#d#ggggggd#.",
    "....#d##gggggd#.",
    "....#d###ggggd#.",
    "..n.#d###ggggd#.",
    ".nn.#d###ggggd#.",
    "nnnnnd###y#ggd#.",
    ".nn.#d###ggggd#.",
    "..n.#d###ggggd#.",
    "....#d###ggggd#.",
    "....#d##gggggd#.",
    "....#d#ggggggd#.",
    "....##########..",
    "................",
};

// clang-format on
#undef TM_EVI_COLOURS

int DisabledGrey(int red, int green, int blue) {
    // The brightness as Qt's qGray weighs it, lifted into the light half.
    return 128 + (red * 11 + green * 16 + blue * 5) / 32 / 2;
}

} // namespace tessaldrin::versioninfo
