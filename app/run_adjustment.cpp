#include "app/run_adjustment.h"

#include "platform/format_message.h"
#include "platform/local_path.h"
#include "run/chain_discovery.h"
#include "run/describer.h"
#include "run/discovery.h"
#include "run/executor.h"
#include "run/plan.h"

namespace tessaldrin {
namespace {

// Runs `step` and, when the caller asked, tells it how long the step took.
template <typename Step>
auto Timed(const RunObservers& observers, std::string_view name, Step step) {
    if (!observers.stepTimed) {
        return step();
    }
    const auto start = std::chrono::steady_clock::now();
    auto result = step();
    observers.stepTimed(name, std::chrono::steady_clock::now() - start);
    return result;
}

RunMode ModeOf(const RunSettings& settings) {
    return settings.ChainPrimary.empty() ? RunMode::kTessaldrin : RunMode::kChain;
}

// Discovery of either kind, with every file it found held: the Tessaldrin
// files once all are found, the files of a chain as the chain reaches them.
DatabaseFiles Discover(const RunSettings& settings, RunLog& log, header::HeldDatabaseFiles& held) {
    if (ModeOf(settings) == RunMode::kChain) {
        return FindChainFiles(settings.ChainPrimary, log, held, settings.SearchDirs);
    }
    DatabaseFiles files = FindDatabaseFiles(settings.ProgramPath, log);
    held.Take(files.FileList);
    return files;
}

// The server check, discovery and the plan; nothing when the port is none,
// or the server check or discovery failed.
std::optional<RunPlan> Plan(filetable::TdmFiles& dmFiles, const RunSettings& settings, RunLog& log,
                            header::HeldDatabaseFiles& held, const RunObservers& observers) {
    if (!IsServerPort(settings.Port)) {
        log.LogError(platform::Format(msg::kNotAPort, static_cast<int>(settings.Port)));
        return std::nullopt;
    }
    const bool serverFound =
        Timed(observers, "server-check", [&] { return dmFiles.CheckServer(settings.Port, &log); });
    if (!serverFound) {
        return std::nullopt;
    }
    DatabaseFiles files =
        Timed(observers, "discovery", [&] { return Discover(settings, log, held); });
    if (!files.Found()) {
        return std::nullopt;
    }
    RunPlan plan = Timed(observers, "planning",
                         [&] { return PlanAdjustment(ModeOf(settings), std::move(files), held); });
    if (observers.planMade) {
        observers.planMade(plan);
    }
    return plan;
}

RunOutcome MakeChanges(filetable::TdmFiles& dmFiles, const RunSettings& settings,
                       const RunPlan& plan, RunLog& log, header::HeldDatabaseFiles& held,
                       const RunObservers& observers) {
    Execution with;
    with.rewriteFileTable = [&](const filetable::FileTableChange& change) {
        return dmFiles.ChangeFileTable(settings.Port, change, &log);
    };
    with.stepTimed = observers.stepTimed;
    with.progress = observers.progress;
    const RunOutcome outcome = Execute(plan, held, log, with);
    // Whatever the changes came to, no file stays held past them.
    held.Release();
    return outcome;
}

// The run's final line; a run from a primary file names that file. A chain
// that the server opened from its new place is an adjusted database, also
// when the server kept RDB$FILES as it was.
void AppendFinalLine(const RunSettings& settings, RunOutcome outcome, RunLog& log) {
    log.append("");
    if (ModeOf(settings) == RunMode::kTessaldrin) {
        switch (outcome) {
        case RunOutcome::kAdjusted:
            return log.AppendMessage(msg::kAdjusted);
        case RunOutcome::kFileTableKept:
            return log.AppendMessage(msg::kAdjustedFileTableKept);
        case RunOutcome::kFailed:
            return log.AppendMessage(msg::kNotAdjusted);
        }
    }
    const std::string primary = platform::AbsolutePath(settings.ChainPrimary);
    switch (outcome) {
    case RunOutcome::kAdjusted:
        return log.append(platform::Format(msg::kChainAdjusted, primary));
    case RunOutcome::kFileTableKept:
        return log.append(platform::Format(msg::kChainAdjustedFileTableKept, primary));
    case RunOutcome::kFailed:
        return log.append(platform::Format(msg::kChainNotAdjusted, primary));
    }
}

} // namespace

RunOutcome RunAdjustment(filetable::TdmFiles& dmFiles, const RunSettings& settings, RunLog& log,
                         const RunObservers& observers) {
    header::HeldDatabaseFiles held;
    RunOutcome outcome = RunOutcome::kFailed;
    if (const std::optional<RunPlan> plan = Plan(dmFiles, settings, log, held, observers)) {
        if (plan->Holds()) {
            outcome = MakeChanges(dmFiles, settings, *plan, log, held, observers);
        } else {
            LogRefusals(*plan, log);
        }
    }
    AppendFinalLine(settings, outcome, log);
    return outcome;
}

bool PreviewAdjustment(filetable::TdmFiles& dmFiles, const RunSettings& settings, RunLog& log,
                       const RunObservers& observers) {
    // The files are held as a run holds them, so that the preview refuses
    // what the run would, and given back when it ends.
    header::HeldDatabaseFiles held;
    const std::optional<RunPlan> plan = Plan(dmFiles, settings, log, held, observers);
    if (plan && plan->Holds()) {
        ShowPlan(*plan, log);
    } else if (plan) {
        LogRefusals(*plan, log);
    }
    log.append("");
    log.AppendMessage(msg::kPreviewEnded);
    return plan && plan->Holds();
}

} // namespace tessaldrin
