#include "join/join_run.h"

#include "app/port_choice.h"
#include "filetable/chain_rows_removal.h"
#include "header/header_page.h"
#include "join/join_describer.h"
#include "join/join_ending.h"
#include "join/join_executor.h"
#include "join/join_recovery.h"
#include "platform/file_status.h"
#include "platform/format_message.h"
#include "platform/free_space.h"
#include "platform/local_path.h"
#include "platform/termination_signals.h"
#include "run/chain_discovery.h"

#include <algorithm>
#include <array>
#include <memory>

namespace tessaldrin::join {
namespace {

using Access = platform::LockedFile::SoleAccess;

std::string StepName(JoinStep step) {
    switch (step) {
    case JoinStep::kJournal:
        return platform::Format(msg::kJoinStepJournal);
    case JoinStep::kReserve:
        return platform::Format(msg::kJoinStepReserve);
    case JoinStep::kCopy:
        return platform::Format(msg::kJoinStepCopy);
    case JoinStep::kSync:
        return platform::Format(msg::kJoinStepSync);
    case JoinStep::kCommit:
        return platform::Format(msg::kJoinStepCommit);
    case JoinStep::kRename:
        return platform::Format(msg::kJoinStepRename);
    case JoinStep::kRemoveJournal:
        return platform::Format(msg::kJoinStepRemoveJournal);
    }
    return {};
}

// What the file table of a database that is now one file still names: its
// secondaries' rows, and the ODS that says which server opens it.
struct RowsLeft {
    std::uint16_t odsVersion = 0;
    std::size_t secondaries = 0;
};

// Firebird 3 and later, the only servers of ODS 12 and newer, refuse every
// change of RDB$FILES; the servers of older forms let its rows go.
constexpr std::uint16_t kFirstOdsKeepingRows = 12;

bool ServerLetsRowsGo(std::uint16_t odsVersion) {
    return header::OdsMajorVersion(odsVersion) < kFirstOdsKeepingRows;
}

// The ODS version word of a journaled first sector, read from a page of the
// smallest size that holds it, so that no read reaches past the sector.
std::uint16_t OdsVersionOf(const std::string& sector) {
    std::array<std::uint8_t, header::kMinPageSize> page{};
    std::copy_n(sector.begin(), std::min(sector.size(), page.size()), page.begin());
    return header::OdsVersion(page.data());
}

void LogRefusals(const std::vector<JoinRefusal>& refusals,
                 const std::function<std::string(std::size_t)>& pathOf, RunLog& log) {
    for (const JoinRefusal& refusal : refusals) {
        log.LogError(
            platform::Format(msg::kJoinRefused, pathOf(refusal.file), RefusalReason(refusal)));
    }
}

void LogRenames(const std::vector<Rename>& renamed, RunLog& log) {
    for (const Rename& rename : renamed) {
        log.append(platform::Format(msg::kJoinAside, rename.from, rename.to));
    }
}

JoinRefusal NotHeld(std::size_t index, const platform::OpenFailure& why) {
    return {JoinRefusal::Kind::kFileNotHeld, index, 0, static_cast<std::uint64_t>(why.reason)};
}

// The journal of an interrupted join, completed or undone; says which.
JoinRunOutcome RecoverFirst(const std::string& primary, bool preview, RunLog& log, RowsLeft& left) {
    log.append(platform::Format(msg::kJoinJournalFound, JournalPathFor(primary)));
    platform::OpenFailure why;
    std::optional<platform::LockedFile> held = platform::LockedFile::Open(primary, &why);
    if (!held) {
        LogRefusals(
            {NotHeld(0, why)}, [&](std::size_t) { return primary; }, log);
        return JoinRunOutcome::kNotJoined;
    }
    RecoveryPlan plan = PlanRecovery(std::move(*held));
    if (!plan.Holds()) {
        LogRefusals(
            plan.refusals,
            [&](std::size_t i) { return i == 0 ? primary : plan.journal.secondaries[i - 1].path; },
            log);
        return JoinRunOutcome::kNotJoined;
    }
    if (preview) {
        return JoinRunOutcome::kNotJoined; // the run recovers first; the preview changes nothing
    }
    const RecoveryResult result = Recover(plan);
    LogRenames(result.renamed, log);
    if (result.outcome != RecoveryResult::Outcome::kDone) {
        log.LogError(platform::Format(msg::kJoinRecoveryFailed));
        return JoinRunOutcome::kNotJoined;
    }
    switch (plan.action) {
    case RecoveryPlan::Action::kRemoveJournal:
        log.append(platform::Format(msg::kJoinRecoveredCutShort));
        return JoinRunOutcome::kNotJoined;
    case RecoveryPlan::Action::kUndo:
        log.append(platform::Format(msg::kJoinRecoveredUndone));
        return JoinRunOutcome::kNotJoined;
    case RecoveryPlan::Action::kFinish:
        log.append(platform::Format(msg::kJoinRecoveredFinished));
        left = {OdsVersionOf(plan.journal.oldSector), plan.journal.secondaries.size()};
        break;
    }
    return JoinRunOutcome::kJoined;
}

// The chain from the primary, each file held as a relinking run holds it.
JoinPlan Plan(const std::string& primary, RunLog& log) {
    header::HeldDatabaseFiles held;
    const DatabaseFiles files = FindChainFiles(primary, log, held);
    // The plan takes the files into its own hands: each is held anew, and
    // one that another process took meanwhile is refused like any other.
    held.Release();
    std::vector<platform::LockedFile> chain;
    std::vector<JoinRefusal> notHeld;
    for (std::size_t i = 0; i < files.FileList.size(); ++i) {
        platform::OpenFailure why;
        if (auto file = platform::LockedFile::Open(files.FileList[i], &why)) {
            chain.push_back(std::move(*file));
        } else {
            notHeld.push_back(NotHeld(i, why));
        }
    }
    if (!notHeld.empty()) {
        JoinPlan refused;
        refused.refusals = std::move(notHeld);
        LogRefusals(
            refused.refusals, [&](std::size_t i) { return files.FileList[i]; }, log);
        return refused;
    }
    JoinPlan plan = PlanJoin(std::move(chain), platform::FreeSpace(files.DatabaseDir));
    LogRefusals(
        plan.refusals, [&](std::size_t i) { return plan.files[i].file.Path(); }, log);
    return plan;
}

JoinRunOutcome Join(JoinPlan& plan, RunLog& log, const JoinHooks& hooks, RowsLeft& left) {
    // No other process may open a file of the chain until the secondaries
    // are aside: an opener waits, and one that waited long enough for the
    // system to break the hold is seen before the commit, which then is not
    // made.
    std::vector<std::unique_ptr<Access>> sole;
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        sole.push_back(std::make_unique<Access>(plan.files[i].file));
        if (sole.back()->Refusal()) {
            LogRefusals(
                {NotHeld(i, *sole.back()->Refusal())},
                [&](std::size_t) { return plan.files[i].file.Path(); }, log);
            return JoinRunOutcome::kNotJoined;
        }
    }
    bool openedMeanwhile = false;
    const JoinResult result = ExecuteJoin(plan, [&](const JoinProgress& progress) {
        if (hooks.progress) {
            hooks.progress(progress);
        }
        if (progress.step == JoinStep::kCommit) {
            for (const auto& access : sole) {
                openedMeanwhile = openedMeanwhile || !access->Kept();
            }
            return !openedMeanwhile;
        }
        if (progress.step == JoinStep::kRename && progress.done == 0 && hooks.written) {
            const platform::TerminationDeferred whole;
            hooks.written->lastWritten = plan.files[0].file.Path();
        }
        return true;
    });
    LogRenames(result.renamed, log);
    switch (result.outcome) {
    case JoinResult::Outcome::kJoined:
        left = {plan.odsVersion, plan.files.size() - 1};
        return JoinRunOutcome::kJoined;
    case JoinResult::Outcome::kNotPlanned:
        return JoinRunOutcome::kNotJoined;
    case JoinResult::Outcome::kStopped:
        if (openedMeanwhile && Undo(plan.files[0].file, plan.files[0].size,
                                    JournalPathFor(plan.files[0].file.Path()))) {
            log.LogError(platform::Format(msg::kJoinOpenedMeanwhile));
            return JoinRunOutcome::kNotJoined;
        }
        break;
    case JoinResult::Outcome::kFailed:
        if (result.refusal) {
            LogRefusals(
                {*result.refusal}, [&](std::size_t i) { return plan.files[i].file.Path(); }, log);
        }
        log.LogError(platform::Format(msg::kJoinFailed, StepName(result.step)));
        return JoinRunOutcome::kNotJoined;
    case JoinResult::Outcome::kUndoFailed:
    case JoinResult::Outcome::kCommitUncertain:
    case JoinResult::Outcome::kUnfinished:
        break;
    }
    log.LogError(platform::Format(msg::kJoinLeftForRecovery, StepName(result.step)));
    return JoinRunOutcome::kNotJoined;
}

} // namespace

JoinRunOutcome RunJoin(filetable::TdmFiles& dmFiles, const JoinSettings& settings, RunLog& log,
                       const JoinHooks& hooks) {
    const std::string primary = platform::AbsolutePath(settings.primary);
    log.append("");
    log.append(platform::Format(msg::kJoinHeading, primary));
    JoinRunOutcome outcome = JoinRunOutcome::kNotJoined;
    RowsLeft left;
    if (!IsServerPort(settings.port)) {
        log.LogError(platform::Format(msg::kNotAPort, static_cast<int>(settings.port)));
    } else if (dmFiles.CheckServer(settings.port, &log)) {
        if (platform::EntryExists(JournalPathFor(primary))) {
            outcome = RecoverFirst(primary, settings.preview, log, left);
        } else if (JoinPlan plan = Plan(primary, log); plan.Holds()) {
            log.AppendAll(DescribePlan(plan));
            if (settings.preview) {
                outcome = JoinRunOutcome::kJoined;
            } else if (!hooks.confirm || !hooks.confirm()) {
                return JoinRunOutcome::kUnconfirmed;
            } else {
                outcome = Join(plan, log, hooks, left);
            }
        }
    }
    // The rows go once every file of the chain is let go of, for the server
    // to open the database as one file.
    const bool rowsGo = outcome == JoinRunOutcome::kJoined && !settings.preview &&
                        ServerLetsRowsGo(left.odsVersion);
    if (rowsGo) {
        log.append("");
        if (!filetable::RemoveChainRows(dmFiles, settings.port, primary, left.secondaries, log)) {
            outcome = JoinRunOutcome::kJoinedRowsKept;
        }
    }
    log.append("");
    if (settings.preview) {
        log.AppendMessage(msg::kPreviewEnded);
        return outcome;
    }
    if (outcome == JoinRunOutcome::kNotJoined) {
        log.append(platform::Format(msg::kNotJoined, primary));
        return outcome;
    }
    if (outcome == JoinRunOutcome::kJoinedRowsKept) {
        // The database is one file all the same; only a later ADD FILE would
        // trust the rows.
        log.LogError(platform::Format(msg::kJoinRowsNotRemoved));
    } else if (!rowsGo) {
        // Nothing reads the rows when the database opens, and the server
        // does not let them change; only a later ADD FILE would trust them.
        log.append(platform::Format(msg::kJoinFileTableKept));
    }
    log.append(platform::Format(msg::kJoined, primary));
    return outcome;
}

} // namespace tessaldrin::join
