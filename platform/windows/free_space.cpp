#include "platform/windows/windows_api.h"

#include "platform/free_space.h"
#include "platform/local_path.h"

namespace tessaldrin::platform {

// The bytes free to this user, quotas counted.
std::optional<std::uint64_t> FreeSpace(const std::string& dir) {
    ULARGE_INTEGER available{};
    if (HoldsZeroByte(dir) || !GetDiskFreeSpaceExA(dir.c_str(), &available, nullptr, nullptr)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(available.QuadPart);
}

} // namespace tessaldrin::platform
