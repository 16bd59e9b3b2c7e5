// Runs a command and reports its wall time, the peak of the bytes it added to
// the watched directories (allocated blocks, sampled every few milliseconds,
// less what they held before) and its peak resident memory. The command gets
// TM_BENCH_SPAWNED_NS, the monotonic clock just before it was started.
//   bench-measure REPORT_FILE [--watch DIR]... -- COMMAND [ARG]...
// REPORT_FILE receives: wall_us=N extra_bytes=N maxrss_kb=N exit=N
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr auto kSampleInterval = std::chrono::milliseconds(2);

// The bytes allocated to the files under `dirs`; files that vanish while
// they are counted count as nothing.
long long AllocatedBytes(const std::vector<std::string>& dirs) {
    long long total = 0;
    for (const auto& dir : dirs) {
        std::error_code error;
        for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end;
             it.increment(error)) {
            struct stat info {};
            if (lstat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
                total += static_cast<long long>(info.st_blocks) * 512;
            }
        }
    }
    return total;
}

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> watched;
    int at = 2;
    for (; at < argc && std::strcmp(argv[at], "--") != 0; at += 2) {
        if (std::strcmp(argv[at], "--watch") != 0 || at + 1 >= argc) {
            break;
        }
        watched.emplace_back(argv[at + 1]);
    }
    if (argc < 2 || at >= argc || std::strcmp(argv[at], "--") != 0 || at + 1 >= argc) {
        std::fprintf(stderr, "usage: %s REPORT_FILE [--watch DIR]... -- COMMAND [ARG]...\n",
                     argv[0]);
        return 2;
    }
    char** command = argv + at + 1;

    const long long before = AllocatedBytes(watched);
    std::atomic<long long> peak{before};
    std::atomic<bool> running{true};
    std::thread sampler([&] {
        while (running) {
            const long long now = AllocatedBytes(watched);
            if (now > peak) {
                peak = now;
            }
            std::this_thread::sleep_for(kSampleInterval);
        }
    });

    const long long start = NowNs();
    setenv("TM_BENCH_SPAWNED_NS", std::to_string(start).c_str(), 1);
    const pid_t child = fork();
    if (child == 0) {
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    const bool waited = child > 0 && wait4(child, &status, 0, &usage) == child;
    const long long end = NowNs();
    running = false;
    sampler.join();
    const long long last = AllocatedBytes(watched);
    if (last > peak) {
        peak = last;
    }

    FILE* report = std::fopen(argv[1], "w");
    if (report == nullptr || !waited) {
        std::perror(report == nullptr ? argv[1] : "wait4");
        return 1;
    }
    std::fprintf(report, "wall_us=%lld extra_bytes=%lld maxrss_kb=%ld exit=%d\n",
                 (end - start) / 1000, peak - before, usage.ru_maxrss,
                 WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    return std::fclose(report) == 0 ? 0 : 1;
}
