// The least file work a header-page repair can do: for each file open it,
// read its header page, write the same bytes back, sync and close. Prints the
// wall time of the whole loop in microseconds on standard output.
//   bench-raw-limit PAGE_SIZE FILE...
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

bool RewriteHeaderPage(const char* path, std::vector<unsigned char>& page) {
    const int fd = open(path, O_RDWR);
    if (fd < 0) {
        std::perror(path);
        return false;
    }
    const auto size = static_cast<ssize_t>(page.size());
    const bool done = pread(fd, page.data(), page.size(), 0) == size &&
                      pwrite(fd, page.data(), page.size(), 0) == size && fsync(fd) == 0;
    if (!done) {
        std::perror(path);
    }
    return close(fd) == 0 && done;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PAGE_SIZE FILE...\n", argv[0]);
        return 2;
    }
    std::vector<unsigned char> page(std::strtoul(argv[1], nullptr, 10));
    const auto start = std::chrono::steady_clock::now();
    for (int i = 2; i < argc; ++i) {
        if (!RewriteHeaderPage(argv[i], page)) {
            return 1;
        }
    }
    const auto took = std::chrono::steady_clock::now() - start;
    std::printf("%lld\n", static_cast<long long>(
                              std::chrono::duration_cast<std::chrono::microseconds>(took).count()));
    return 0;
}
