// Entry of tessaldrin-mover-cli.
#include "app/console_front_end.h"
#include "filetable/dm_files.h"
#include "platform/console.h"
#include "platform/module_file_name.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return tessaldrin::RunConsole(args, {tessaldrin::platform::ModuleFileName(),
                                         tessaldrin::filetable::kClientLibraryName, std::cin,
                                         tessaldrin::platform::ConsoleOutput(),
                                         tessaldrin::platform::ConsoleError()});
}
