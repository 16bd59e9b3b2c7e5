#include "tests/header/file_layer_standin.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <optional>
#include <sys/types.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern "C" {
ssize_t __real_pread(int fd, void* buffer, size_t count, off_t offset);
ssize_t __real_pread64(int fd, void* buffer, size_t count, off_t offset);
ssize_t __real_pwrite(int fd, const void* buffer, size_t count, off_t offset);
ssize_t __real_pwrite64(int fd, const void* buffer, size_t count, off_t offset);
int __real_fsync(int fd);
int __real_fdatasync(int fd);
}

namespace tessaldrin::testing::file_layer {
namespace {

struct Injection {
    Call call;
    int occurrence;
    Fault fault;
};

struct State {
    std::string watched;
    std::vector<Record> records;
    std::vector<Injection> injections;
    int seen[3] = {0, 0, 0};
};

State& Shared() {
    static State state;
    return state;
}

std::atomic<std::size_t> calls{0};

bool IsWatched(int fd) {
    const State& state = Shared();
    if (state.watched.empty()) {
        return false;
    }
    char target[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    return n > 0 && std::string(target, static_cast<std::size_t>(n)) == state.watched;
}

// Records a call on the watched file and says which fault, if any, it meets.
std::optional<Fault> Note(int fd, Record record) {
    if (!IsWatched(fd)) {
        return std::nullopt;
    }
    State& state = Shared();
    const int seen = ++state.seen[static_cast<int>(record.call)];
    const Call call = record.call;
    state.records.push_back(std::move(record));
    ++calls;
    for (const Injection& injection : state.injections) {
        if (injection.call == call && injection.occurrence == seen) {
            if (injection.fault == Fault::kSignal) {
                // Time enough for the signal's action to run, were it free to.
                ::kill(::getpid(), SIGTERM);
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                return std::nullopt;
            }
            return injection.fault;
        }
    }
    return std::nullopt;
}

template <typename Real> ssize_t Read(Real real, int fd, void* buffer, size_t count, off_t offset) {
    const auto fault = Note(fd, {Call::kRead, static_cast<std::uint64_t>(offset), count, {}});
    if (fault == Fault::kFail) {
        errno = EIO;
        return -1;
    }
    const size_t asked = fault == Fault::kShorten && count > 0 ? count - 1 : count;
    const ssize_t done = real(fd, buffer, asked, offset);
    if (fault == Fault::kAlter && done > 0) {
        static_cast<unsigned char*>(buffer)[done - 1] ^= 0xFF;
    }
    return done;
}

template <typename Real>
ssize_t Write(Real real, int fd, const void* buffer, size_t count, off_t offset) {
    const auto* bytes = static_cast<const char*>(buffer);
    const auto fault = Note(
        fd, {Call::kWrite, static_cast<std::uint64_t>(offset), count, std::string(bytes, count)});
    if (fault == Fault::kFail) {
        errno = EIO;
        return -1;
    }
    if (fault == Fault::kAlter && count > 0) {
        std::string altered(bytes, count);
        altered.back() = static_cast<char>(altered.back() ^ 0xFF);
        return real(fd, altered.data(), count, offset);
    }
    return real(fd, buffer, fault == Fault::kShorten && count > 0 ? count - 1 : count, offset);
}

template <typename Real> int Sync(Real real, int fd) {
    if (Note(fd, {Call::kSync, 0, 0, {}})) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

} // namespace

void Watch(const std::filesystem::path& file) {
    State& state = Shared();
    state = State{};
    calls = 0;
    state.watched = std::filesystem::canonical(file).string();
}

void Inject(Call call, int occurrence, Fault fault) {
    Shared().injections.push_back(Injection{call, occurrence, fault});
}

std::vector<Record> Records() {
    return Shared().records;
}

std::size_t CallCount() {
    return calls.load();
}

} // namespace tessaldrin::testing::file_layer

using namespace tessaldrin::testing::file_layer;

extern "C" {
ssize_t __wrap_pread(int fd, void* buffer, size_t count, off_t offset) {
    return Read(__real_pread, fd, buffer, count, offset);
}
ssize_t __wrap_pread64(int fd, void* buffer, size_t count, off_t offset) {
    return Read(__real_pread64, fd, buffer, count, offset);
}
ssize_t __wrap_pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    return Write(__real_pwrite, fd, buffer, count, offset);
}
ssize_t __wrap_pwrite64(int fd, const void* buffer, size_t count, off_t offset) {
    return Write(__real_pwrite64, fd, buffer, count, offset);
}
int __wrap_fsync(int fd) {
    return Sync(__real_fsync, fd);
}
int __wrap_fdatasync(int fd) {
    return Sync(__real_fdatasync, fd);
}
}
