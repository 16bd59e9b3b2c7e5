// Discovery of a multi-file database by its header chain instead of by name:
// from the primary file, each header's continuation link names the next
// file, which is looked for by its file name in the primary file's directory.
#pragma once

#include "app/discovery.h"
#include "header/held_database_files.h"
#include "runlog/run_log.h"

#include <string>

namespace tessaldrin {

// Follows the chain from `primary`, holding in `held` every file it reaches
// as it reaches it, and lists each in `log`: the files in chain order. A file
// that the primary file's directory does not hold, a file met twice (a loop),
// a page that the link editor refuses or a page of another form than the
// primary's refuses the whole chain, with the file and the reason in the
// log; then nothing is found and nothing is held.
DatabaseFiles FindChainFiles(const std::string& primary, RunLog& log,
                             header::HeldDatabaseFiles& held);

} // namespace tessaldrin
