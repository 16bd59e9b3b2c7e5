// The console front end: the same run as the window's Start button, for
// machines without a screen and for scripts.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tessaldrin {

// Exit codes of the console front end.
enum ConsoleExit : int {
    kExitSucceeded = 0,     // the run ended with 21036
    kExitFailed = 1,        // the run ended with 21037
    kExitUsage = 2,         // bad arguments, or the confirmation was refused
    kExitException = 3,     // an exception ended the run (or kept it from starting)
    kExitFileTableKept = 4, // the database is adjusted and opens from its new
                            // place; the server refuses any change of RDB$FILES
    // Added to any of the above when the output could not be written whole
    // (a pipe closed early, say): the run went on to its end all the same.
    kExitOutputLost = 8,
};

struct ConsoleEnvironment {
    std::string executablePath; // decides the directory when --dir is not given
    std::string clientLibrary;  // the Firebird client library to load
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    // The console goes when the program ends (platform::ConsoleClosesWithProgram).
    bool consoleClosesAtEnd = false;
};

// Runs the console front end on `args` (without the program name). From its
// start to its end, SIGINT and SIGTERM end the program with a last line that
// says which header page was written last, or that none was; it installs
// the handlers itself, once that line can be written.
// Where the console goes with the program, it waits for Enter after its
// last line, so that the user can read how the run ended; never with --confirm.
int RunConsole(const std::vector<std::string>& args, const ConsoleEnvironment& env);

} // namespace tessaldrin
