// What a run does with the journal that an interrupted join left beside the
// primary: the primary's first sector tells whether the commit was made.
// Before it the join is undone (the primary cut back to its old length, never
// below); after it the join is finished (the secondaries still under their
// names renamed aside). A journal cut short while it was written is removed,
// as nothing else changed. Planned first, as the join is, and refused when
// the journal is not this primary's or the files are not as it says.
#pragma once

#include "join/join_ending.h"
#include "join/join_journal.h"
#include "join/join_refusal.h"
#include "platform/locked_file.h"

#include <string>
#include <vector>

namespace tessaldrin::join {

struct RecoveryPlan {
    enum class Action { kRemoveJournal, kUndo, kFinish };
    Action action = Action::kRemoveJournal;
    platform::LockedFile primary;
    std::string journalPath;
    JoinJournal journal;
    // kFinish: the secondaries still under their names, held, in order.
    std::vector<platform::LockedFile> toPutAside;
    std::vector<JoinRefusal> refusals;

    bool Holds() const { return refusals.empty(); }
};

// Plans the recovery of the journal beside `primary`, which the caller holds.
RecoveryPlan PlanRecovery(platform::LockedFile primary);

struct RecoveryResult {
    enum class Outcome { kDone, kNotPlanned, kFailed };
    Outcome outcome = Outcome::kDone;
    std::vector<Rename> renamed;
};

RecoveryResult Recover(RecoveryPlan& plan);

} // namespace tessaldrin::join
