// The executor: carries out the changes of a plan that holds, in its order,
// on the held files: the renames, then each header page, then the file
// table. A rename and a page are each made with termination deferred across
// the change and the lines that say it was made; a page is written only while
// it is still the page planned, then synced and read back, or restored.
#pragma once

#include "filetable/dm_files.h"
#include "header/held_database_files.h"
#include "header/planned_page.h"
#include "run/plan.h"
#include "runlog/run_log.h"

#include <chrono>
#include <functional>
#include <string_view>

namespace tessaldrin {

enum class RunOutcome {
    kAdjusted, // every change made
    kFailed,
    // The chain on disk is adjusted and the server opened the database from
    // its new place, but it refuses any change of RDB$FILES.
    kFileTableKept,
};

// What the changes are made with beyond the held files and the log.
struct Execution {
    // Rewrites RDB$FILES through the server (TdmFiles::ChangeFileTable on
    // the run's port); a file table change fails without it.
    std::function<filetable::FileTableOutcome(const filetable::FileTableChange&)> rewriteFileTable;
    // Told the wall time of each step it reached: "renaming", "relinking",
    // "file-table".
    std::function<void(std::string_view step, std::chrono::steady_clock::duration took)> stepTimed;
    // Kept up to date with the last header page written.
    header::RelinkProgress* progress = nullptr;
};

// Makes the changes of `plan` in its order, each step's section in `log`.
// A failed rename stops the run at once; every page is worked on, also after
// an earlier one failed, and a failed page stops the run before the file
// table. The held files are let go of before the server rewrites the file
// table, and not otherwise. Changes out of the order of their steps are not
// made at all.
RunOutcome Execute(const RunPlan& plan, header::HeldDatabaseFiles& held, RunLog& log,
                   const Execution& with = {});

} // namespace tessaldrin
