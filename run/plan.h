// The plan of a run: every rename, every new header page and the name of
// every file, decided in memory from the held files before the run changes
// any of them. A run whose plan does not hold changes nothing; the preview
// prints the plan.
#pragma once

#include "filetable/dm_files.h"
#include "filetable/target_file_name.h"
#include "header/chain_relinking_pass.h"
#include "header/held_database_files.h"
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

// One file's new name; the renames stand in list order, so a rename's place
// is its file's list index and its index among the held files.
struct Rename {
    std::string from;
    std::string to;

    bool operator==(const Rename&) const = default;
};

struct RunPlan {
    RunMode mode = RunMode::kTessaldrin;
    DatabaseFiles files;
    // Every file of the list, in its order; empty when no file needs renaming.
    std::vector<Rename> renames;
    // One page a file, in the order of the chain from the primary file.
    std::vector<header::PlannedPage> pages;
    // The new name of the file that a stored name means, for the links and
    // the rows of RDB$FILES alike.
    filetable::TargetNaming naming;
    // In list order, at most one a file; the plan holds when there is none.
    std::vector<Refusal> refusals;

    bool Holds() const { return refusals.empty(); }
    bool operator==(const RunPlan&) const = default;
    // What the file table step is to do once the chain is changed.
    filetable::FileTableChange FileTable() const;
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
