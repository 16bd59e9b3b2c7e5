// Carries out a join that its plan allows, in the order that keeps the
// database whole at every moment: the journal beside the primary, the room
// for the joined file reserved, each secondary's pages copied to their places
// behind the primary's old end and synced, then the commit, one write of the
// primary's first sector, synced and read back, which makes the database a
// single file; then the secondaries renamed aside and the journal removed.
// Until the commit the database opens as the chain it was; after it, as the
// single file it is.
#pragma once

#include "join/join_ending.h"
#include "join/join_plan.h"
#include "join/join_progress.h"
#include "join/join_refusal.h"

#include <optional>
#include <vector>

namespace tessaldrin::join {

struct JoinResult {
    enum class Outcome {
        kJoined,     // a single file, the secondaries aside, the journal gone
        kNotPlanned, // the plan does not hold: nothing was done
        kStopped,    // stopped before `step`: from kReserve on, the journal stays for a recovery
        kFailed,     // `step` failed before the commit took effect; the join was undone
        kUndoFailed, // `step` failed, and so did the undo: the journal stays for a recovery
        kCommitUncertain, // the commit's write failed and the old sector could not be put back
        kUnfinished,      // joined, but `step` (a rename, the journal's removal) failed
    };
    Outcome outcome = Outcome::kJoined;
    JoinStep step = JoinStep::kJournal;
    // kFailed in the copy: the page out of place; in the commit: the first
    // sector changed since the plan was made.
    std::optional<JoinRefusal> refusal;
    std::vector<Rename> renamed;
};

JoinResult ExecuteJoin(JoinPlan& plan, const JoinProceed& proceed);

} // namespace tessaldrin::join
