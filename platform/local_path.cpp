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

} // namespace tessaldrin::platform
