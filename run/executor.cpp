#include "run/executor.h"

#include "header/link_editor.h"
#include "platform/format_message.h"
#include "platform/termination_signals.h"
#include "run/describer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

namespace tessaldrin {
namespace {

// The steps in their order, with the names their times are told by.
struct StepName {
    ChangeStep step;
    std::string_view name;
};
constexpr std::array<StepName, 3> kSteps{{{ChangeStep::kRenaming, "renaming"},
                                          {ChangeStep::kRelinking, "relinking"},
                                          {ChangeStep::kFileTable, "file-table"}}};

class Executor {
public:
    Executor(header::HeldDatabaseFiles& held, RunLog& log, const Execution& with)
        : held_(held), log_(log), with_(with) {}

    // The changes of one step, which the plan lists together.
    RunOutcome Make(ChangeStep step, std::span<const Change> changes) {
        if (!changes.empty()) {
            LogStepHeading(step, Tense::kDone, log_);
        }
        switch (step) {
        case ChangeStep::kRenaming:
            return RenameAll(changes);
        case ChangeStep::kRelinking:
            return RelinkAll(changes);
        case ChangeStep::kFileTable:
            return RewriteFileTables(changes);
        }
        return RunOutcome::kFailed;
    }

private:
    RunOutcome RenameAll(std::span<const Change> changes) {
        for (const Change& change : changes) {
            const Rename& rename = std::get<Rename>(change);
            // The rename and its line go together, whenever a signal comes.
            const platform::TerminationDeferred untilLogged;
            if (!held_.Rename(rename.file, rename.to)) {
                log_.LogError(platform::Format(msg::kRenameFailed, rename.from, rename.to));
                return RunOutcome::kFailed;
            }
            log_.append(Describe(rename, Tense::kDone));
        }
        return RunOutcome::kAdjusted;
    }

    RunOutcome RelinkAll(std::span<const Change> changes) {
        header::LinkEditor editor;
        bool result = true;
        for (const Change& change : changes) {
            const WriteHeaderPage& page = std::get<WriteHeaderPage>(change);
            log_.AppendAll(Opening(page, Tense::kDone));
            // Every page is worked on, also after an earlier one failed.
            result = Relink(editor, page) && result;
            editor.CloseDatabaseFile(log_);
            log_.append("");
        }
        return result ? RunOutcome::kAdjusted : RunOutcome::kFailed;
    }

    // One planned page; false when it failed, with its error line in the log.
    bool Relink(header::LinkEditor& editor, const WriteHeaderPage& page) {
        if (!page.Writes()) {
            log_.AppendAll(LinkLines(page, Tense::kDone));
            return true;
        }
        if (!header::ReopenAsPlanned(editor, held_.At(page.file), page, log_)) {
            return false;
        }
        // A SIGINT or SIGTERM waits until the page is written, synced and
        // read back, or restored: no line claims a change that it cut short.
        const platform::TerminationDeferred untilThePageIsDone;
        log_.AppendAll(LinkLines(page, Tense::kDone));
        if (!editor.WritePage(log_, page.newPage.data(), page.newPage.size())) {
            return false;
        }
        if (with_.progress != nullptr) {
            with_.progress->lastWritten = page.writtenPath;
        }
        return true;
    }

    RunOutcome RewriteFileTables(std::span<const Change> changes) {
        RunOutcome outcome = RunOutcome::kAdjusted;
        for (const Change& change : changes) {
            // The server must be able to attach to every file now.
            held_.Release();
            const auto rewritten =
                with_.rewriteFileTable
                    ? with_.rewriteFileTable(std::get<RewriteFileTable>(change).change)
                    : filetable::FileTableOutcome::kFailed;
            switch (rewritten) {
            case filetable::FileTableOutcome::kChanged:
                break;
            case filetable::FileTableOutcome::kKeptByServer:
                outcome = RunOutcome::kFileTableKept;
                break;
            case filetable::FileTableOutcome::kFailed:
                return RunOutcome::kFailed;
            }
        }
        return outcome;
    }

    header::HeldDatabaseFiles& held_;
    RunLog& log_;
    const Execution& with_;
};

} // namespace

RunOutcome Execute(const RunPlan& plan, header::HeldDatabaseFiles& held, RunLog& log,
                   const Execution& with) {
    const std::vector<Change>& changes = plan.changes;
    const auto byStep = [](const Change& a, const Change& b) { return StepOf(a) < StepOf(b); };
    if (!plan.Holds() || !std::is_sorted(changes.begin(), changes.end(), byStep)) {
        return RunOutcome::kFailed;
    }
    Executor executor(held, log, with);
    RunOutcome outcome = RunOutcome::kAdjusted;
    auto from = changes.begin();
    for (const StepName& step : kSteps) {
        const auto to = std::find_if(
            from, changes.end(), [&](const Change& change) { return StepOf(change) != step.step; });
        const auto start = std::chrono::steady_clock::now();
        const RunOutcome made = executor.Make(step.step, {from, to});
        if (with.stepTimed) {
            with.stepTimed(step.name, std::chrono::steady_clock::now() - start);
        }
        if (made == RunOutcome::kFailed) {
            return made;
        }
        if (made == RunOutcome::kFileTableKept) {
            outcome = made;
        }
        from = to;
    }
    return outcome;
}

} // namespace tessaldrin
