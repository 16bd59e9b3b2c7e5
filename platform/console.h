// The program's standard output and error as text for the user. The messages
// are 8-bit texts in the program's code page; where the output is a console
// that shows another one, they are shown as their characters, and where it is
// a file or a pipe, it receives their bytes unchanged, its lines ending as the
// system's text files do (CR LF on Windows).
#pragma once

#include <iosfwd>
#include <string>

namespace tessaldrin::platform {

std::ostream& ConsoleOutput();
std::ostream& ConsoleError();

// True when the program's console goes when the program ends: the program is
// the only process on it, as when Explorer started it on a double click, and
// its standard input and output are that console. Never where a terminal
// outlives the program it runs.
bool ConsoleClosesWithProgram();

// A write to an output that its reader has closed fails, and the stream
// says so, instead of ending the process (SIGPIPE here; Windows never ends a
// process for it).
void KeepRunningWhenOutputCloses();

// True when the standard error is a terminal (a console on Windows), where a
// line that keeps being rewritten can show progress.
bool ErrorIsTerminal();

// True for the system's own way of asking a console program for its help,
// beside --help: "/?" on Windows; none elsewhere, where "/?" may be a path.
bool IsSystemHelpSwitch(const std::string& argument);

} // namespace tessaldrin::platform
