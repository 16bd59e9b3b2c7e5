#include "platform/durable_file.h"

#include "platform/local_path.h"
#include "platform/retry_on_interrupt.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tessaldrin::platform {
namespace {

// An open descriptor, closed on every way out.
class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    ~Descriptor() {
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return descriptor_; }
    // Closes it now, and says whether the close succeeded.
    bool Close() { return close(std::exchange(descriptor_, -1)) == 0; }

private:
    int descriptor_;
};

int OpenNoFollow(const std::string& path, int flags, mode_t mode = 0) {
    if (path.empty() || HoldsZeroByte(path)) {
        return -1;
    }
    return RetryOnInterrupt(
        [&] { return open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, mode); });
}

bool WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t done =
            RetryOnInterrupt([&] { return write(descriptor, bytes.data(), bytes.size()); });
        if (done <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::string dir = DirectoryPart(path);
    return dir.empty() ? std::string(".") : dir;
}

} // namespace

bool CreateDurableFile(const std::string& path, std::string_view bytes) {
    Descriptor file(OpenNoFollow(path, O_WRONLY | O_CREAT | O_EXCL, 0644));
    if (file.get() < 0) {
        return false;
    }
    const bool written =
        WriteAll(file.get(), bytes) && RetryOnInterrupt([&] { return fsync(file.get()); }) == 0;
    if (file.Close() && written && SyncDirectory(DirectoryOf(path))) {
        return true;
    }
    unlink(path.c_str());
    return false;
}

std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit) {
    // O_NONBLOCK: a FIFO in its place opens at once, and is then refused.
    const Descriptor file(OpenNoFollow(path, O_RDONLY | O_NONBLOCK));
    struct stat status {};
    if (file.get() < 0 || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::uint64_t>(status.st_size) > limit) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t have = 0;
    while (have < content.size()) {
        const ssize_t done = RetryOnInterrupt(
            [&] { return read(file.get(), content.data() + have, content.size() - have); });
        if (done <= 0) {
            return std::nullopt;
        }
        have += static_cast<std::size_t>(done);
    }
    return content;
}

bool RemoveDurably(const std::string& path) {
    return !path.empty() && !HoldsZeroByte(path) && unlink(path.c_str()) == 0 &&
           SyncDirectory(DirectoryOf(path));
}

bool SyncDirectory(const std::string& dir) {
    const Descriptor directory(OpenNoFollow(dir, O_RDONLY | O_DIRECTORY));
    return directory.get() >= 0 && RetryOnInterrupt([&] { return fsync(directory.get()); }) == 0;
}

} // namespace tessaldrin::platform
