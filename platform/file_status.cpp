#include "platform/file_status.h"

#include "platform/local_path.h"

#include <sys/stat.h>

namespace tessaldrin::platform {

bool IsDirectory(const std::string& path) {
    struct stat status {};
    return !HoldsZeroByte(path) && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool EntryExists(const std::string& path) {
    struct stat status {};
    return !HoldsZeroByte(path) && lstat(path.c_str(), &status) == 0;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat status {};
    if (HoldsZeroByte(path) || stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{status.st_dev, status.st_ino};
}

} // namespace tessaldrin::platform
