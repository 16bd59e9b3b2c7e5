#include "platform/move_file.h"

#include "platform/locked_file.h"

namespace tessaldrin::platform {

// The rename without overwriting, made through the held file, so that a file
// another process holds open is refused and no link or second name is renamed.
bool MoveFile(const std::string& from, const std::string& to) {
    auto file = LockedFile::Open(from);
    return file && file->MoveTo(to);
}

} // namespace tessaldrin::platform
