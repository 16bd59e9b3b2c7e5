#include "platform/windows/windows_api.h"

#include "platform/local_path.h"

namespace tessaldrin::platform {
namespace {

// The system's full path (GetFullPathNameA): absolute, its "." and ".." parts
// resolved by the text alone, in the bytes of the ANSI code page; `path`
// itself when the system cannot make it full.
std::string FullPathName(const std::string& path) {
    if (path.empty() || HoldsZeroByte(path)) {
        return path;
    }
    const DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::string full(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    // A length as large as the buffer: the working directory changed between
    // the calls, and the path is not made full.
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    return full;
}

} // namespace

std::string::size_type LastPathSeparator(const std::string& path) {
    // "C:Name" names a file on drive C as surely as "C:\Name" does.
    return path.find_last_of("\\:");
}

std::string AbsolutePath(const std::string& path) {
    return FullPathName(path);
}

std::string AbsoluteDirectory(const std::string& dir) {
    std::string full = FullPathName(dir);
    if (full.empty() || full.back() != '\\') {
        full += '\\';
    }
    return full;
}

bool IsSystemText(const std::string& text) {
    return text.empty() || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

} // namespace tessaldrin::platform
