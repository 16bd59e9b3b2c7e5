// When the action of a termination signal may run: at a moment with no write
// under way that must not be cut short, and no other action running. Shared
// by the POSIX signals and the Windows console events, which differ only in
// how a signal arrives. Toolkit-free.
#pragma once

#include "platform/termination_signals.h"

#include <condition_variable>
#include <mutex>

namespace tessaldrin::platform {

class TerminationMoment {
public:
    // A write begins, or ends. Deferrals nest: a thread that holds one may
    // take another without waiting; only its first waits, while an action
    // runs or a signal waits for its moment, so that a loop of short writes
    // cannot keep a signal waiting to its end.
    void BeginDeferral();
    void EndDeferral();

    // A signal arrived: records it, waits until no thread defers, and gives
    // the action to run, which may be empty. EndAction follows once it ran.
    TerminationAction AwaitAction(int signal);
    void EndAction();

    // Waits while an action runs or another thread defers.
    void SetAction(TerminationAction action);
    int Arrived();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    TerminationAction action_;
    int deferrals_ = 0; // of every thread together
    int waiting_ = 0;   // signals that wait for their moment
    bool acting_ = false;
    int arrived_ = 0;
};

// The one moment of the process, as signals are the process's.
TerminationMoment& ProcessTerminationMoment();

} // namespace tessaldrin::platform
