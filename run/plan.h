// The plan of a run: every rename, every new header page and the new names of
// the rows of RDB$FILES, as a list of changes decided in memory from the held
// files before the run changes any of them. A run whose plan does not hold
// changes nothing; the preview prints the plan.
#pragma once

#include "header/held_database_files.h"
#include "run/change.h"
#include "run/discovery.h"
#include "run/refusal.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tessaldrin {

enum class RunMode {
    kTessaldrin, // the Tessaldrin files beside the program, renamed to ".TDB"
    kChain,      // any database found by its header chain; names kept
};

struct RunPlan {
    RunMode mode = RunMode::kTessaldrin;
    DatabaseFiles files;
    // In the order the run makes them: the renames in list order (none when
    // no file needs renaming), then one header page a file in the order of
    // the chain from the primary file, then the file table.
    std::vector<Change> changes;
    // In list order, at most one a file; the plan holds when there is none.
    std::vector<Refusal> refusals;

    bool Holds() const { return refusals.empty(); }
    bool operator==(const RunPlan&) const = default;
};

// Decides every change of a run on `files`, whose list entries `held` holds
// by index, and finds every reason why the run cannot make them: a file that
// could not be held; two entries whose names differ only in case; two files
// that would end up under one name, a rename onto another entry, or one that
// the directory refuses; a primary path that the client library cannot pass
// to the server as it is; a page that cannot be read, is not accepted or
// cannot take its new link; a link that names no file, or no file of the
// plan; a primary file whose header says it is a later file of its chain; a
// later file of another form or page size than the primary's, or numbered
// for another place in the chain; a chain that loops, or that does not reach
// every file. Reads the header pages and changes nothing.
RunPlan PlanAdjustment(RunMode mode, DatabaseFiles files, header::HeldDatabaseFiles& held);

} // namespace tessaldrin
