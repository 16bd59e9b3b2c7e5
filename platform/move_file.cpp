#include "platform/move_file.h"

#include "platform/retry_on_interrupt.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaldrin::platform {
namespace {

// Whether some other open file holds a lock on `path`. The probe takes the
// lock itself for a moment and gives it back at once.
bool LockedElsewhere(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false; // what cannot be opened cannot be probed; the rename decides
    }
    const int result = RetryOnInterrupt([fd] { return flock(fd, LOCK_EX | LOCK_NB); });
    const bool locked = result != 0 && errno == EWOULDBLOCK;
    close(fd); // also gives back a lock the probe got
    return locked;
}

bool SameEntry(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return lstat(a.c_str(), &first) == 0 && lstat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

bool MoveFile(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || LockedElsewhere(from)) {
        return false;
    }
    if (SameEntry(from, to)) {
        // The same file under both names: nothing to move when the names are
        // equal; otherwise (a file system that ignores case) the plain rename
        // gives the file its new spelling and replaces nothing.
        return from == to || std::rename(from.c_str(), to.c_str()) == 0;
    }
    return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

bool MoveFileWouldSucceed(const std::string& from, const std::string& to) {
    struct stat status {};
    if (from.empty() || to.empty() || lstat(from.c_str(), &status) != 0 || LockedElsewhere(from)) {
        return false;
    }
    return SameEntry(from, to) || (lstat(to.c_str(), &status) != 0 && errno == ENOENT);
}

} // namespace tessaldrin::platform
