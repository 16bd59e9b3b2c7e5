#include "platform/move_file.h"

#include "platform/locked_file.h"

#include <filesystem>
#include <system_error>

namespace tessaldrin::platform {

// Both platforms rename through the held file, so that the file cannot be
// taken by another process between the test and the rename.
bool MoveFile(const std::string& from, const std::string& to) {
    auto file = LockedFile::Open(from);
    return file && file->MoveTo(to);
}

bool MoveFileWouldSucceed(const std::string& from, const std::string& to) {
    // The same open as the rename's, so that the same entries are refused;
    // its lock goes with it.
    if (to.empty() || !LockedFile::Open(from)) {
        return false;
    }
    if (to == from) {
        return true;
    }
    std::error_code error;
    const auto target = std::filesystem::symlink_status(to, error);
    if (target.type() == std::filesystem::file_type::not_found) {
        return true;
    }
    // Another spelling of the same file, where the file system ignores case.
    return !error && std::filesystem::equivalent(from, to, error) && !error;
}

} // namespace tessaldrin::platform
