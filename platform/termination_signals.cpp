#include "platform/termination_signals.h"

#include "platform/retry_on_interrupt.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace tessaldrin::platform {
namespace {

// The handler only writes the signal's number into this pipe, which is all a
// signal handler may safely do; the watching thread reads it.
int pipeEnds[2] = {-1, -1};
std::atomic<int> arrived{0};
// While the watching thread waits for the moment, a write that is about to
// begin lets it go first: a loop of short deferred writes would otherwise
// take the mutex again and again before the waiting thread is woken, and a
// signal would wait for the whole loop.
std::atomic<bool> waiting{false};

// Held by a write that must not be cut short, and by the action while it runs.
std::mutex& Moment() {
    static std::mutex moment;
    return moment;
}
TerminationAction& Action() {
    static TerminationAction action;
    return action;
}

void OnSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
    errno = saved;
}

void Watch() {
    for (;;) {
        unsigned char number = 0;
        const ssize_t n = RetryOnInterrupt([&] { return ::read(pipeEnds[0], &number, 1); });
        if (n != 1) {
            return;
        }
        arrived.store(number);
        waiting.store(true);
        const std::lock_guard<std::mutex> moment(Moment());
        waiting.store(false);
        if (Action()) {
            Action()(number);
        } else {
            EndBySignal(number);
        }
    }
}

} // namespace

void WatchTerminationSignals() {
    if (pipeEnds[0] >= 0 || ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return;
    }
    std::thread(Watch).detach();
    struct sigaction handler {};
    handler.sa_handler = OnSignal;
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = SA_RESTART;
    sigaction(SIGINT, &handler, nullptr);
    sigaction(SIGTERM, &handler, nullptr);
}

void SetTerminationAction(TerminationAction action) {
    const std::lock_guard<std::mutex> moment(Moment());
    if (action) {
        arrived.store(0);
    }
    Action() = std::move(action);
}

int TerminationSignal() {
    return arrived.load();
}

TerminationDeferred::TerminationDeferred() {
    for (;;) {
        Moment().lock();
        if (!waiting.load()) {
            return;
        }
        Moment().unlock();
        std::this_thread::yield();
    }
}

TerminationDeferred::~TerminationDeferred() {
    Moment().unlock();
}

void EndBySignal(int signal) {
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    sigaction(signal, &byDefault, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    std::_Exit(128 + signal); // in case the signal is ignored after all
}

} // namespace tessaldrin::platform
