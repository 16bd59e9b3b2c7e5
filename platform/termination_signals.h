// Ending the program on SIGINT and SIGTERM at a moment of its own choosing:
// never in the middle of a header page write. Toolkit-free.
#pragma once

#include <functional>

namespace tessaldrin::platform {

// What the program does on SIGINT or SIGTERM. It runs on a thread of its own,
// never while a TerminationDeferred is held; it may end the process.
using TerminationAction = std::function<void(int signal)>;

// Installs the program's handlers for SIGINT and SIGTERM and starts the thread
// that carries out the action. Call it once, first thing in main: a client
// library loaded later chains its own handler behind these. Until an action
// is set, a signal ends the process as it would by default.
void WatchTerminationSignals();

// Sets the action of the next signal; an empty one restores the default.
// Waits while an action runs or a TerminationDeferred is held.
void SetTerminationAction(TerminationAction action);

// The signal that arrived since the action was last set, or 0. Set before
// the action waits for its moment.
int TerminationSignal();

// Held across a write that must not be cut short: the action of a signal that
// arrives meanwhile waits until it is released.
class TerminationDeferred {
public:
    TerminationDeferred();
    ~TerminationDeferred();
    TerminationDeferred(const TerminationDeferred&) = delete;
    TerminationDeferred& operator=(const TerminationDeferred&) = delete;
};

// Ends the process as `signal` ends it by default, so that the parent sees it.
[[noreturn]] void EndBySignal(int signal);

} // namespace tessaldrin::platform
