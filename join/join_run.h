// A join run, as the console front end starts it: the server check, the
// chain found from its primary file and held under the same locks and rules
// as a relinking run, a journal left by an interrupted join recovered first,
// the plan and its preview, the confirmation, the join itself with every file
// kept free of other openers, and the final line. Toolkit-free.
#pragma once

#include "filetable/dm_files.h"
#include "header/planned_page.h"
#include "join/join_progress.h"
#include "runlog/run_log.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tessaldrin::join {

struct JoinSettings {
    std::string primary;
    std::int32_t port = 0;
    bool preview = false; // show the plan, change nothing
};

struct JoinHooks {
    // Asked once the plan holds, before the first change; false stops it.
    std::function<bool()> confirm;
    // Told how the copy goes on.
    std::function<void(const JoinProgress&)> progress;
    // Names the primary once its committed header page is written, for the
    // last line that a signal leaves.
    header::RelinkProgress* written = nullptr;
};

enum class JoinRunOutcome {
    kJoined,         // one file now (a preview: the plan holds)
    kNotJoined,      // refused, undone, or left for a recovery
    kJoinedRowsKept, // one file, but the rows of RDB$FILES that a server of
                     // ODS 11 would have let go of are still there
    kUnconfirmed,    // the confirmation was refused: nothing changed
};

JoinRunOutcome RunJoin(filetable::TdmFiles& dmFiles, const JoinSettings& settings, RunLog& log,
                       const JoinHooks& hooks);

} // namespace tessaldrin::join
