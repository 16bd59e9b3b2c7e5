#include "filetable/database_info.h"

namespace tessaldrin::filetable {
namespace {

// Layout of one reply item: the item byte, then its value length as a 16-bit
// little-endian number, then the value, also little-endian.
constexpr std::size_t kItemOffset = 0;
constexpr std::size_t kLengthOffset = 1;
constexpr std::size_t kLengthWidth = 2;
constexpr std::size_t kValueOffset = kLengthOffset + kLengthWidth;
constexpr std::size_t kMaxValueWidth = 4;
constexpr int kDefaultDialect = 1;

unsigned LittleEndian(const char* bytes, std::size_t width) {
    unsigned value = 0;
    for (std::size_t i = width; i > 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i - 1]);
    }
    return value;
}

} // namespace

int SqlDialectFromReply(const char* reply, std::size_t size) {
    if (reply == nullptr || size < kValueOffset || reply[kItemOffset] != kDialectInfoItem) {
        return kDefaultDialect;
    }
    const std::size_t width = LittleEndian(reply + kLengthOffset, kLengthWidth);
    if (width == 0 || width > kMaxValueWidth || width > size - kValueOffset) {
        return kDefaultDialect;
    }
    return static_cast<int>(LittleEndian(reply + kValueOffset, width));
}

} // namespace tessaldrin::filetable
