// The executor: carries out the changes of a plan that holds, in its order,
// on the held files: the renames, then each header page, then the file table.
#pragma once

#include "run/plan.h"
#include "runlog/run_log.h"

namespace tessaldrin {

// Gives every file of the plan its new name, each held file renamed while it
// stays held, with the renaming section in `log`; false, after its error
// line, when a rename failed, and then no further file is renamed.
bool RenameFiles(const RunPlan& plan, header::HeldDatabaseFiles& held, RunLog& log);

} // namespace tessaldrin
