#include "filetable/answer_watch.h"

#include "platform/format_message.h"

#include <limits>

namespace tessaldrin::filetable {
namespace {

constexpr std::chrono::seconds kBound{kServerAnswerSeconds};
// How often a call that has not returned after its connections were shut
// down is looked at again: a connection the library opened since is shut
// down in turn.
constexpr std::chrono::seconds kAgain{1};

std::uint16_t PortOf(std::int32_t port) {
    return port >= 0 && port <= std::numeric_limits<std::uint16_t>::max()
               ? static_cast<std::uint16_t>(port)
               : 0;
}

} // namespace

std::string NoAnswerText() {
    return platform::Format(msg::kServerSilent, static_cast<int>(kServerAnswerSeconds));
}

AnswerWatch::AnswerWatch(std::int32_t port)
    : port_(PortOf(port)), spared_(platform::LoopbackConnectionsTo(port_)),
      watcher_([this] { Watch(); }) {}

AnswerWatch::~AnswerWatch() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    watcher_.join();
}

bool AnswerWatch::Ended() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return ended_;
}

bool AnswerWatch::Timed(const std::function<void()>& call) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        calling_ = true;
        ++call_;
        started_ = std::chrono::steady_clock::now();
    }
    changed_.notify_all();
    call();
    const std::lock_guard<std::mutex> lock(mutex_);
    calling_ = false;
    // A call that failed at the bound (the library's own time-out of the
    // first answer ends it then too) is one the server did not answer,
    // whichever of the two ended it.
    if (std::chrono::steady_clock::now() - started_ >= kBound) {
        ended_ = true;
    }
    return ended_;
}

void AnswerWatch::Call(const std::function<void()>& call) {
    if (Ended() || Timed(call)) {
        throw NoAnswer(NoAnswerText());
    }
}

bool AnswerWatch::Release(const std::function<void()>& call) {
    return !Timed(call);
}

void AnswerWatch::Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (!calling_) {
            changed_.wait(lock, [&] { return stopping_ || calling_; });
            continue;
        }
        const std::uint64_t call = call_;
        const auto returned = [&] { return stopping_ || !calling_ || call_ != call; };
        if (changed_.wait_until(lock, started_ + kBound, returned)) {
            continue;
        }
        // The call has waited the whole bound: its connections go, and with
        // them every answer it could still get.
        ended_ = true;
        do {
            lock.unlock();
            platform::ShutDownLoopbackConnectionsTo(port_, spared_);
            lock.lock();
        } while (!changed_.wait_for(lock, kAgain, returned));
    }
}

} // namespace tessaldrin::filetable
