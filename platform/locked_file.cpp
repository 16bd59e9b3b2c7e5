#include "platform/locked_file.h"

#include "platform/local_path.h"
#include "platform/retry_on_interrupt.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tessaldrin::platform {
namespace {

using Reason = OpenFailure::Reason;

// The reason of a failed open or lock, after the error it set.
Reason ReasonOfError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return Reason::kMissing;
    case EACCES:
    case EPERM:
        return Reason::kNoPermission;
    case EWOULDBLOCK:
    case ETXTBSY:
        return Reason::kHeldElsewhere;
    case ELOOP: // O_NOFOLLOW met a symbolic link
        return Reason::kLink;
    case EISDIR:
    case ENXIO:
    case ENODEV:
        return Reason::kNotRegularFile;
    case EROFS:
        return Reason::kReadOnlyFileSystem;
    case ENAMETOOLONG:
        return Reason::kNameTooLong;
    default:
        return Reason::kOther;
    }
}

// Nothing, after giving `why` the reason.
std::nullopt_t Refused(OpenFailure* why, Reason reason, long error = 0) {
    if (why != nullptr) {
        *why = {reason, error};
    }
    return std::nullopt;
}

std::nullopt_t RefusedByError(OpenFailure* why) {
    const int error = errno;
    return Refused(why, ReasonOfError(error), error);
}

// Asked of the open descriptor itself, so that no other entry can be put in
// its place between the test and the open: nothing for a regular file with one
// name, whose identity goes to `identity`, else why it is refused.
std::optional<Reason> NotRegularWithOneName(int descriptor, FileIdentity& identity) {
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        return Reason::kOther;
    }
    if (!S_ISREG(status.st_mode)) {
        return Reason::kNotRegularFile;
    }
    if (status.st_nlink != 1) {
        return Reason::kSecondName;
    }
    identity = FileIdentity{status.st_dev, status.st_ino};
    return std::nullopt;
}

// An open elsewhere announces itself to the holder of a lease by a signal;
// SIGIO, the default, would end the process. SIGURG is ignored unless a
// handler is installed, and nothing here waits for it: the lease is held only
// across one write, whose opener waits that long.
constexpr int kLeaseBreakSignal = SIGURG;

// A write lease, which the kernel grants only while no other descriptor of
// the file is open in any process, whoever its user: so it tells whether the
// file is free of every server generation and every other program, whether
// it locks or not. Nothing when it is taken, else why not: open elsewhere, or
// the kernel cannot tell here (a lease needs the file's owner or the
// capability CAP_LEASE, and a file system that keeps leases).
std::optional<OpenFailure> TakeWriteLease(int descriptor) {
    if (fcntl(descriptor, F_SETSIG, kLeaseBreakSignal) != 0) {
        return OpenFailure{Reason::kOther, errno};
    }
    if (fcntl(descriptor, F_SETLEASE, F_WRLCK) == 0) {
        return std::nullopt;
    }
    switch (errno) {
    case EAGAIN:
        return OpenFailure{Reason::kHeldElsewhere, EAGAIN};
    case EACCES:
    case EPERM:
        return OpenFailure{Reason::kHoldersUnknownNoRight, errno};
    default: // EINVAL: no leases on this file system, or leases switched off
        return OpenFailure{Reason::kHoldersUnknownFileSystem, errno};
    }
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

std::optional<LockedFile> LockedFile::Open(const std::string& path, OpenFailure* why) {
    if (path.empty() || HoldsZeroByte(path)) {
        return Refused(why, Reason::kMissing);
    }
    // O_NOFOLLOW: a symbolic link is refused, never opened through.
    // O_NONBLOCK: the open of a FIFO or device returns at once (and is then
    // refused); on a regular file it changes nothing.
    const int descriptor = RetryOnInterrupt([&] {
        return open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
    });
    if (descriptor < 0) {
        return RefusedByError(why);
    }
    LockedFile file(descriptor, path);
    if (const auto refused = NotRegularWithOneName(descriptor, file.identity_)) {
        return Refused(why, *refused, *refused == Reason::kOther ? errno : 0);
    }
    // The lock keeps Firebird 3 and later out for as long as the file is
    // held: they lock the files they attach. Firebird 2.5 and other programs
    // lock nothing; the lease finds them, now and at each write.
    if (RetryOnInterrupt([&] { return flock(descriptor, LOCK_EX | LOCK_NB); }) != 0) {
        return RefusedByError(why);
    }
    if (const SoleAccess sole(file); sole.Refusal()) {
        return Refused(why, sole.Refusal()->reason, sole.Refusal()->systemError);
    }
    return file;
}

LockedFile::SoleAccess::SoleAccess(LockedFile& file) {
    refusal_ = file.descriptor_ < 0 ? OpenFailure{Reason::kOther, EBADF}
                                    : TakeWriteLease(file.descriptor_);
    if (!refusal_) {
        descriptor_ = file.descriptor_;
    }
}

bool LockedFile::SoleAccess::Kept() const {
    // A lease whose break has begun already reads as the type it is broken to.
    return descriptor_ >= 0 && fcntl(descriptor_, F_GETLEASE) == F_WRLCK;
}

LockedFile::SoleAccess::~SoleAccess() {
    if (descriptor_ >= 0) {
        // An open that waits elsewhere goes on.
        fcntl(descriptor_, F_SETLEASE, F_UNLCK);
    }
}

void LockedFile::Release() {
    if (descriptor_ >= 0) {
        // Closing the last descriptor of the open file releases its lock.
        close(descriptor_);
        descriptor_ = -1;
    }
}

bool LockedFile::MoveTo(const std::string& to) {
    struct stat held {};
    struct stat entry {};
    if (descriptor_ < 0 || to.empty() || HoldsZeroByte(to) || fstat(descriptor_, &held) != 0 ||
        lstat(path_.c_str(), &entry) != 0 || !SameFile(held, entry)) {
        return false;
    }
    struct stat target {};
    if (lstat(to.c_str(), &target) == 0 && SameFile(held, target)) {
        // The file has one name, so `to` is that name: spelled alike, nothing
        // to move; spelled otherwise (a file system that ignores case), the
        // plain rename gives the file its new spelling and replaces nothing.
        if (to != path_ && std::rename(path_.c_str(), to.c_str()) != 0) {
            return false;
        }
    } else if (renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        return false;
    }
    path_ = to;
    return true;
}

std::size_t LockedFile::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
    ++reads_;
    const ssize_t done = RetryOnInterrupt(
        [&] { return pread(descriptor_, buffer, count, static_cast<off_t>(offset)); });
    return done < 0 ? 0 : static_cast<std::size_t>(done);
}

std::size_t LockedFile::WriteAt(std::uint64_t offset, const std::uint8_t* buffer,
                                std::size_t count) {
    ++writes_;
    const ssize_t done = RetryOnInterrupt(
        [&] { return pwrite(descriptor_, buffer, count, static_cast<off_t>(offset)); });
    return done < 0 ? 0 : static_cast<std::size_t>(done);
}

bool LockedFile::Sync() {
    return RetryOnInterrupt([&] { return fsync(descriptor_); }) == 0;
}

std::optional<std::uint64_t> LockedFile::Size() const {
    struct stat status {};
    if (fstat(descriptor_, &status) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

bool LockedFile::Reserve(std::uint64_t size) {
    const auto now = Size();
    if (!now) {
        return false;
    }
    if (*now >= size) {
        return true;
    }
    // Where the file system cannot allocate, the C library writes zeros.
    int error = 0;
    do {
        error =
            posix_fallocate(descriptor_, static_cast<off_t>(*now), static_cast<off_t>(size - *now));
    } while (error == EINTR);
    errno = error;
    return error == 0;
}

bool LockedFile::Shorten(std::uint64_t size) {
    const auto now = Size();
    if (!now) {
        return false;
    }
    return *now <= size ||
           RetryOnInterrupt([&] { return ftruncate(descriptor_, static_cast<off_t>(size)); }) == 0;
}

} // namespace tessaldrin::platform
