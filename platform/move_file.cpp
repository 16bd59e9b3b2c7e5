#include "platform/move_file.h"

#include "platform/locked_file.h"

namespace tessaldrin::platform {

// Both platforms rename through the held file, so that the file cannot be
// taken by another process between the test and the rename.
bool MoveFile(const std::string& from, const std::string& to) {
    auto file = LockedFile::Open(from);
    return file && file->MoveTo(to);
}

} // namespace tessaldrin::platform
