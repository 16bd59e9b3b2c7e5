// Wraps a PNG image into an icon file that holds just that image, as Windows
// (from Vista on) and Wine read it, because the resource compiler takes icons
// from .ico files only. Built for and run on the build machine:
//   png_icon IMAGE.png ICON.ico
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr std::array<unsigned char, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kWidthAt = 16;  // in the IHDR chunk, which comes first
constexpr std::size_t kHeightAt = 20; // both big-endian 32-bit
constexpr std::size_t kIconHeaderSize = 6 + 16;

std::uint32_t BigEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

void Little(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: png_icon IMAGE.png ICON.ico\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string png{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (png.size() < kHeightAt + 4 ||
        png.compare(0, kPngSignature.size(),
                    std::string(kPngSignature.begin(), kPngSignature.end())) != 0) {
        std::fprintf(stderr, "png_icon: %s is no PNG image\n", argv[1]);
        return 1;
    }
    const std::uint32_t width = BigEndian32(png, kWidthAt);
    const std::uint32_t height = BigEndian32(png, kHeightAt);
    if (width == 0 || width > 256 || height == 0 || height > 256) {
        std::fprintf(stderr, "png_icon: %s is larger than an icon can be\n", argv[1]);
        return 1;
    }
    std::string icon;
    Little(icon, 0, 2);           // reserved
    Little(icon, 1, 2);           // an icon, not a cursor
    Little(icon, 1, 2);           // one image
    Little(icon, width % 256, 1); // 0 stands for 256
    Little(icon, height % 256, 1);
    Little(icon, 0, 1);  // no palette
    Little(icon, 0, 1);  // reserved
    Little(icon, 1, 2);  // planes
    Little(icon, 32, 2); // bits per pixel
    Little(icon, static_cast<std::uint32_t>(png.size()), 4);
    Little(icon, kIconHeaderSize, 4); // the image follows the header
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << icon << png;
    return out.flush() ? 0 : 1;
}
