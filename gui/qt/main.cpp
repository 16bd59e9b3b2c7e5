// The process entry of the window program.
#include "gui/qt/program_start.h"
#include "platform/termination_signals.h"
#include "toolkit/application.h"

int main(int argc, char** argv) {
    // First, before the client library is loaded and chains its handlers behind.
    tessaldrin::platform::WatchTerminationSignals();
    tessaldrin::toolkit::TApplication application(argc, argv);
    return tessaldrin::RunProgram(application);
}
