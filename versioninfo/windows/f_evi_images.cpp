#include "versioninfo/windows/f_evi_images.h"

#include "versioninfo/button_images.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace tessaldrin::versioninfo {
namespace {

// One pixel of a 32-bit bitmap: blue, green, red, unused.
using Pixel = std::uint32_t;

Pixel FromRgb(int red, int green, int blue) {
    return static_cast<Pixel>(blue) | (static_cast<Pixel>(green) << 8) |
           (static_cast<Pixel>(red) << 16);
}

// The colours of the palette lines ("k c #RRGGBB" or "k c None"); None is
// left out, so a key without a colour is transparent.
std::optional<std::map<char, Pixel>> Palette(const char* const* lines, int count) {
    std::map<char, Pixel> palette;
    for (int i = 0; i < count; ++i) {
        const char* line = lines[i];
        if (std::strlen(line) < 5 || std::strncmp(line + 1, " c ", 3) != 0) {
            return std::nullopt;
        }
        if (line[4] == '#' && std::strlen(line + 5) == 6) {
            const unsigned long rgb = std::strtoul(line + 5, nullptr, 16);
            palette[line[0]] =
                FromRgb(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                        static_cast<int>(rgb & 0xFF));
        }
    }
    return palette;
}

toolkit::GdiObject<HBITMAP> Bitmap(const std::vector<Pixel>& pixels, SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    toolkit::GdiObject<HBITMAP> bitmap(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits != nullptr) {
        std::memcpy(bits, pixels.data(), pixels.size() * sizeof(Pixel));
    }
    return bitmap;
}

} // namespace

ButtonImage LoadButtonImage(const char* const* xpm, COLORREF face) {
    ButtonImage image;
    int width = 0;
    int height = 0;
    int colours = 0;
    int perPixel = 0;
    if (std::sscanf(xpm[0], "%d %d %d %d", &width, &height, &colours, &perPixel) != 4 ||
        perPixel != 1 || width <= 0 || height <= 0 || colours <= 0) {
        return image;
    }
    const auto palette = Palette(xpm + 1, colours);
    if (!palette) {
        return image;
    }
    const Pixel background = FromRgb(GetRValue(face), GetGValue(face), GetBValue(face));
    std::vector<Pixel> normal;
    std::vector<Pixel> disabled;
    for (int y = 0; y < height; ++y) {
        const char* row = xpm[1 + colours + y];
        if (std::strlen(row) != static_cast<std::size_t>(width)) {
            return image;
        }
        for (int x = 0; x < width; ++x) {
            const auto colour = palette->find(row[x]);
            if (colour == palette->end()) {
                normal.push_back(background);
                disabled.push_back(background);
                continue;
            }
            const Pixel pixel = colour->second;
            const int grey =
                DisabledGrey(static_cast<int>((pixel >> 16) & 0xFF),
                             static_cast<int>((pixel >> 8) & 0xFF), static_cast<int>(pixel & 0xFF));
            normal.push_back(pixel);
            disabled.push_back(FromRgb(grey, grey, grey));
        }
    }
    image.size = SIZE{width, height};
    image.normal = Bitmap(normal, image.size);
    image.disabled = Bitmap(disabled, image.size);
    return image;
}

} // namespace tessaldrin::versioninfo
