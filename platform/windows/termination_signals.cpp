#include "platform/windows/windows_api.h"

#include "platform/termination_signals.h"

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <mutex>

namespace tessaldrin::platform {
namespace {

// A console program on Windows learns of Ctrl+C, Ctrl+Break, the closing of
// its console and a logoff through its control handler, which the system
// calls on a thread of its own: that thread carries out the action.
std::mutex mutex;
std::condition_variable idle;
TerminationAction action;
int deferred = 0;
bool acting = false;
std::atomic<int> arrived{0};

// A moment with no write under way and no action running.
bool Idle() {
    return deferred == 0 && !acting;
}

BOOL WINAPI OnControl(DWORD event) {
    const int signal = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
    TerminationAction todo;
    {
        std::unique_lock lock(mutex);
        arrived = signal;
        if (!action) {
            return FALSE; // the system's default: the process ends
        }
        idle.wait(lock, Idle);
        acting = true;
        todo = action;
    }
    todo(signal);
    {
        const std::lock_guard lock(mutex);
        acting = false;
    }
    idle.notify_all();
    return TRUE;
}

} // namespace

void WatchTerminationSignals() {
    SetConsoleCtrlHandler(OnControl, TRUE);
}

void SetTerminationAction(TerminationAction next) {
    std::unique_lock lock(mutex);
    idle.wait(lock, Idle);
    action = std::move(next);
    arrived = 0;
}

int TerminationSignal() {
    return arrived;
}

TerminationDeferred::TerminationDeferred() {
    std::unique_lock lock(mutex);
    idle.wait(lock, [] { return !acting; });
    ++deferred;
}

TerminationDeferred::~TerminationDeferred() {
    {
        const std::lock_guard lock(mutex);
        --deferred;
    }
    idle.notify_all();
}

// The exit status that Windows gives a console program ended by Ctrl+C.
void EndBySignal(int /*signal*/) {
    ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

} // namespace tessaldrin::platform
