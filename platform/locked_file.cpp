#include "platform/locked_file.h"

#include "platform/retry_on_interrupt.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tessaldrin::platform {
namespace {

// A path with a zero byte inside would open a shorter, different path.
bool HoldsZeroByte(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

bool IsFileOrDevice(int descriptor) {
    struct stat status {};
    return fstat(descriptor, &status) == 0 && (S_ISREG(status.st_mode) || S_ISBLK(status.st_mode));
}

} // namespace

std::optional<LockedFile> LockedFile::Open(const std::string& path) {
    if (path.empty() || HoldsZeroByte(path)) {
        return std::nullopt;
    }
    const int descriptor =
        RetryOnInterrupt([&] { return open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY); });
    if (descriptor < 0) {
        return std::nullopt;
    }
    LockedFile file(descriptor);
    if (!IsFileOrDevice(descriptor)) {
        return std::nullopt;
    }
    if (RetryOnInterrupt([&] { return flock(descriptor, LOCK_EX | LOCK_NB); }) != 0) {
        return std::nullopt;
    }
    return file;
}

LockedFile::LockedFile(LockedFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), reads_(other.reads_),
      writes_(other.writes_) {}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
    if (this != &other) {
        Release();
        descriptor_ = std::exchange(other.descriptor_, -1);
        reads_ = other.reads_;
        writes_ = other.writes_;
    }
    return *this;
}

LockedFile::~LockedFile() {
    Release();
}

void LockedFile::Release() {
    if (descriptor_ >= 0) {
        // Closing the last descriptor of the open file releases its lock.
        close(descriptor_);
        descriptor_ = -1;
    }
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

} // namespace tessaldrin::platform
