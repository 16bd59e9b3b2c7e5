// Discovery of a multi-file database by its header chain instead of by name:
// from the primary file, each header's continuation link names the next
// file, which is looked for by its file name in the primary file's directory,
// then in the directories given to search.
#pragma once

#include "header/held_database_files.h"
#include "run/discovery.h"
#include "runlog/run_log.h"

#include <string>
#include <vector>

namespace tessaldrin {

// Follows the chain from `primary`, holding in `held` every file it reaches
// as it reaches it, and lists each in `log`: the files in chain order, as far
// as the chain can be followed (up to a file that cannot be held or read,
// whose link names no entry of the directories searched, or whose link leads
// back to a file listed already). A link's file is looked for in the primary
// file's directory, then in each of `searchDirs` (absolute, with their
// trailing separators), and taken from the first that holds it; a later one
// that holds it as well is noted in FoundTwice. It refuses nothing: the plan
// names every file that cannot take part, and why, as it does for any run.
DatabaseFiles FindChainFiles(const std::string& primary, RunLog& log,
                             header::HeldDatabaseFiles& held,
                             const std::vector<std::string>& searchDirs = {});

} // namespace tessaldrin
