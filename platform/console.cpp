#include "platform/console.h"

#include <csignal>
#include <iostream>
#include <unistd.h>

namespace tessaldrin::platform {

// A terminal here shows the locale's encoding, which the texts are already in.
std::ostream& ConsoleOutput() {
    return std::cout;
}

std::ostream& ConsoleError() {
    return std::cerr;
}

bool ConsoleClosesWithProgram() {
    return false;
}

void KeepRunningWhenOutputCloses() {
    std::signal(SIGPIPE, SIG_IGN);
}

bool ErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

bool IsSystemHelpSwitch(const std::string&) {
    return false;
}

} // namespace tessaldrin::platform
