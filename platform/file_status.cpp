#include "platform/file_status.h"

#include "platform/local_path.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::optional<OpenFailure> RenameRefusal(const std::string& path) {
    const std::string dir = DirectoryPart(path).empty() ? "." : DirectoryPart(path);
    // Renaming changes the directory: write and search permission on it, as
    // the process's own user (an immutable directory refuses writing too).
    if (faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        const int error = errno;
        return OpenFailure{error == EROFS ? OpenFailure::Reason::kReadOnlyFileSystem
                                          : OpenFailure::Reason::kNoPermission,
                           error};
    }
    // In a sticky directory only the owner of an entry or of the directory
    // renames it.
    struct stat directory {};
    struct stat entry {};
    const uid_t self = geteuid();
    if (stat(dir.c_str(), &directory) == 0 && (directory.st_mode & S_ISVTX) != 0 &&
        lstat(path.c_str(), &entry) == 0 && self != 0 && entry.st_uid != self &&
        directory.st_uid != self) {
        return OpenFailure{OpenFailure::Reason::kNoPermission, EPERM};
    }
    return std::nullopt;
}

} // namespace tessaldrin::platform
