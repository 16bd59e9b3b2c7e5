// Entry of tessaldrin-mover-cli.
#include "console/console_front_end.h"
#include "filetable/dm_files.h"
#include "platform/console.h"
#include "platform/module_file_name.h"

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    // A reader that goes away (| head) must not end the run half-way; the
    // run goes on, and its exit code says that the output was lost. SIGINT
    // and SIGTERM are watched from the console front end's start on.
    tessaldrin::platform::KeepRunningWhenOutputCloses();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int exitCode = tessaldrin::RunConsole(
        args,
        {tessaldrin::platform::ModuleFileName(), tessaldrin::filetable::kClientLibraryName,
         std::cin, tessaldrin::platform::ConsoleOutput(), tessaldrin::platform::ConsoleError(),
         tessaldrin::platform::ConsoleClosesWithProgram()});
    // Every attachment is closed by now: each step detaches what it attached,
    // and the data module's end shut the client library down had one stayed
    // open. Returning from main would run the library's exit-time shutdown
    // all the same, which then has nothing to close and pauses 50 ms.
    tessaldrin::platform::ConsoleOutput().flush();
    tessaldrin::platform::ConsoleError().flush();
#if defined(__SANITIZE_ADDRESS__)
    // The leak check at exit cannot stop the library's threads while they run;
    // its shutdown ends them first.
    return exitCode;
#else
    std::_Exit(exitCode);
#endif
}
