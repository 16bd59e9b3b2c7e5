#include "versioninfo/replace_file.h"

#include <cerrno>
#include <cstdio>
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

// The name of the new file beside `path` that becomes the report.
std::string NewFileBeside(const std::string& path, int attempt) {
    return path + "~" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
}

} // namespace

std::optional<FileFailure> ReplaceFileContents(const std::string& path, const std::string& bytes) {
    // The report is written into a new file beside its name, which then takes
    // the name: whatever the name was (a link to another file, a second name
    // of one), only the name is replaced, and no byte reaches another file.
    constexpr int kAttempts = 16;
    std::string written;
    int fd = -1;
    for (int attempt = 0; attempt < kAttempts && fd < 0; ++attempt) {
        written = NewFileBeside(path, attempt);
        fd = ::open(written.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    FileDescriptor file(fd);
    if (file.get() < 0) {
        return Failed(FileFailure::Step::Create);
    }
    if (!WriteAll(file.get(), bytes) || ::fsync(file.get()) != 0 || !file.Close()) {
        const FileFailure failure = Failed(FileFailure::Step::Write);
        ::unlink(written.c_str());
        return failure;
    }
    if (std::rename(written.c_str(), path.c_str()) != 0) {
        const FileFailure failure = Failed(FileFailure::Step::Create);
        ::unlink(written.c_str());
        return failure;
    }
    return std::nullopt;
}

} // namespace tessaldrin::versioninfo
