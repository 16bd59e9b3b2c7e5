#include "join/terminal_progress.h"

#include "platform/format_message.h"

#include <ostream>

namespace tessaldrin::join {
namespace {

constexpr std::uint64_t kMegabyte = std::uint64_t{1} << 20;

platform::Number Megabytes(std::uint64_t bytes) {
    return static_cast<platform::Number>(bytes / kMegabyte);
}

} // namespace

void TerminalProgress::Show(const JoinProgress& progress) {
    if (progress.step != JoinStep::kCopy) {
        if (shown_) {
            terminal_ << '\n' << std::flush;
            shown_ = false;
        }
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    const bool complete = progress.done >= progress.total;
    if (shown_ && !complete && now - shownAt_ < kInterval) {
        return;
    }
    const auto percent = progress.total == 0 ? 100 : progress.done * 100 / progress.total;
    terminal_ << '\r'
              << platform::Format(msg::kCopyProgress, static_cast<platform::Number>(percent),
                                  Megabytes(progress.done), Megabytes(progress.total))
              << std::flush;
    shownAt_ = now;
    shown_ = true;
}

} // namespace tessaldrin::join
