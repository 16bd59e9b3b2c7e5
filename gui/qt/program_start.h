// The process entry's work, apart from the application object itself.
#pragma once

#include "filetable/dm_files.h"
#include "toolkit/application.h"

#include <string>

namespace tessaldrin {

// Sets the application title, creates the forms in their order (main window,
// data module with `clientLibrary`, confirmation dialog hidden), shows the
// main form and runs the message loop until it closes. An exception that
// escapes start-up is shown by the standard exception display and ends the
// program. Returns the process's exit code: 0, whichever way it ends.
int RunProgram(toolkit::TApplication& application,
               const std::string& clientLibrary = filetable::kClientLibraryName);

} // namespace tessaldrin
