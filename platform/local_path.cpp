#include "platform/local_path.h"

#include <filesystem>
#include <system_error>

namespace tessaldrin::platform {
namespace {

namespace fs = std::filesystem;

// The path's bytes as they are: a path here is a string of bytes.
std::string Lexical(const std::string& path, std::error_code& error) {
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

} // namespace

std::string::size_type LastPathSeparator(const std::string& path) {
    return path.rfind('/');
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    return Lexical(path, error);
}

std::string AbsoluteDirectory(const std::string& dir) {
    std::error_code error;
    std::string absolute = fs::canonical(dir, error).string();
    if (error) {
        absolute = Lexical(dir, error);
    }
    if (absolute.empty() || absolute.back() != '/') {
        absolute += '/';
    }
    return absolute;
}

bool IsSystemText(const std::string& text) {
    // Well-formed UTF-8 (RFC 3629): no stray continuation byte, no overlong
    // form, no surrogate, nothing above U+10FFFF.
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char lead = byte(at);
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            ++at;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
            return false;
        }
        for (std::size_t next = at + 2; next < at + length; ++next) {
            if (byte(next) < 0x80 || byte(next) > 0xBF) {
                return false;
            }
        }
        at += length;
    }
    return true;
}

} // namespace tessaldrin::platform
