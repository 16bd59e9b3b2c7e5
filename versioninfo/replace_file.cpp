#include "versioninfo/replace_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tessaldrin::versioninfo {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now, so that a write that the system deferred is reported.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

FileFailure Failed(FileFailure::Step step) {
    return FileFailure{step, std::strerror(errno)};
}

} // namespace

std::optional<FileFailure> ReplaceFileContents(const std::string& path, const std::string& bytes) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.get() < 0) {
        return Failed(FileFailure::Step::Create);
    }
    if (!WriteAll(file.get(), bytes) || !file.Close()) {
        return Failed(FileFailure::Step::Write);
    }
    return std::nullopt;
}

} // namespace tessaldrin::versioninfo
