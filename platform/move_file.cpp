#include "platform/move_file.h"

#include "platform/file_status.h"
#include "platform/locked_file.h"

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
    const auto held = to.empty() ? std::nullopt : LockedFile::Open(from);
    if (!held) {
        return false;
    }
    if (to == from || !EntryExists(to)) {
        return true;
    }
    // Another spelling of the same file, where the file system ignores case.
    return IdentityOf(to) == held->Identity();
}

} // namespace tessaldrin::platform
