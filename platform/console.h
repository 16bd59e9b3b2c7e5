// The program's standard output and error as text for the user. The messages
// are 8-bit texts in the program's code page; where the output is a console
// that shows another one, they are shown as their characters, and where it is
// a file or a pipe, it receives their bytes unchanged.
#pragma once

#include <iosfwd>
#include <string>

namespace tessaldrin::platform {

std::ostream& ConsoleOutput();
std::ostream& ConsoleError();

// True when the standard error is a terminal (a console on Windows), where a
// line that keeps being rewritten can show progress.
bool ErrorIsTerminal();

// True for the system's own way of asking a console program for its help,
// beside --help: "/?" on Windows; none elsewhere, where "/?" may be a path.
bool IsSystemHelpSwitch(const std::string& argument);

} // namespace tessaldrin::platform
