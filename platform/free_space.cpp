#include "platform/free_space.h"

#include "platform/local_path.h"

#include <sys/statvfs.h>

namespace tessaldrin::platform {

// The blocks free to a user who is not root, as a write of this program
// would meet them.
std::optional<std::uint64_t> FreeSpace(const std::string& dir) {
    struct statvfs status {};
    if (HoldsZeroByte(dir) || statvfs(dir.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.f_bavail) * status.f_frsize;
}

} // namespace tessaldrin::platform
