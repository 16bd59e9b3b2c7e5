#include "platform/move_file.h"

#include "platform/locked_file.h"

namespace tessaldrin::platform {

bool MoveFile(const std::string& from, const std::string& to) {
    auto file = LockedFile::Open(from);
    return file && file->MoveTo(to);
}

} // namespace tessaldrin::platform
