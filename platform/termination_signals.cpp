#include "platform/termination_signals.h"

#include "platform/retry_on_interrupt.h"
#include "platform/termination_moment.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace tessaldrin::platform {
namespace {

// The handler only writes the signal's number into this pipe, which is all a
// signal handler may safely do; the watching thread reads it.
int pipeEnds[2] = {-1, -1};

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
        TerminationMoment& moment = ProcessTerminationMoment();
        const TerminationAction action = moment.AwaitAction(number);
        if (!action) {
            EndBySignal(number);
        }
        action(number);
        moment.EndAction();
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
    ProcessTerminationMoment().SetAction(std::move(action));
}

int TerminationSignal() {
    return ProcessTerminationMoment().Arrived();
}

TerminationDeferred::TerminationDeferred() {
    ProcessTerminationMoment().BeginDeferral();
}

TerminationDeferred::~TerminationDeferred() {
    ProcessTerminationMoment().EndDeferral();
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
