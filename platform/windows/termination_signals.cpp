#include "platform/windows/windows_api.h"

#include "platform/termination_moment.h"
#include "platform/termination_signals.h"

#include <csignal>

namespace tessaldrin::platform {
namespace {

// A console program on Windows learns of Ctrl+C, Ctrl+Break, the closing of
// its console and a logoff through its control handler, which the system
// calls on a thread of its own: that thread carries out the action, once no
// write is under way.
BOOL WINAPI OnControl(DWORD event) {
    const int signal = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
    TerminationMoment& moment = ProcessTerminationMoment();
    const TerminationAction action = moment.AwaitAction(signal);
    if (action) {
        action(signal);
    }
    moment.EndAction();
    return action ? TRUE : FALSE; // FALSE: the system's default, the process ends
}

} // namespace

void WatchTerminationSignals() {
    SetConsoleCtrlHandler(OnControl, TRUE);
}

void SetTerminationAction(TerminationAction next) {
    ProcessTerminationMoment().SetAction(std::move(next));
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

// The exit status that Windows gives a console program ended by Ctrl+C.
void EndBySignal(int /*signal*/) {
    ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

} // namespace tessaldrin::platform
