#include "platform/windows/windows_api.h"

#include "platform/move_file.h"

namespace tessaldrin::platform {
namespace {

// Whether the system would let this process rename `path` now: the access a
// rename needs, shared with everything, is refused while another process
// holds the file open without letting it be renamed (as a server does).
bool RenameAllowed(const std::string& path) {
    const HANDLE probe = CreateFileA(
        path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(probe);
    return true;
}

} // namespace

bool MoveFile(const std::string& from, const std::string& to) {
    const bool holdsZeroByte =
        from.find('\0') != std::string::npos || to.find('\0') != std::string::npos;
    if (from.empty() || to.empty() || holdsZeroByte) {
        return false;
    }
    if (from == to) {
        // The system's answer to a rename onto the same name varies; the
        // program's is the one a rename would give: allowed, nothing moves.
        return RenameAllowed(from);
    }
    // Without MOVEFILE_REPLACE_EXISTING an existing other entry stays; a name
    // that differs only in case names the same file and gets the new spelling.
    return MoveFileA(from.c_str(), to.c_str()) != 0;
}

} // namespace tessaldrin::platform
