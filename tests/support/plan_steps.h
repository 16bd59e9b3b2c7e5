// The steps of a run made one at a time by the run's own executor, so that a
// test can look at the files and the log between two of them.
#pragma once

#include "run/executor.h"
#include "run/plan.h"

#include <variant>
#include <vector>

namespace tessaldrin::testing {

// `plan` with only its changes of the kinds `Kinds`, in their order.
template <typename... Kinds> RunPlan Only(RunPlan plan) {
    std::erase_if(plan.changes, [](const Change& change) {
        return !(std::holds_alternative<Kinds>(change) || ...);
    });
    return plan;
}

// The changes of kind `Kind` that `plan` makes, in its order.
template <typename Kind> std::vector<Kind> ChangesOf(const RunPlan& plan) {
    std::vector<Kind> changes;
    for (const Change& change : plan.changes) {
        if (const Kind* made = std::get_if<Kind>(&change)) {
            changes.push_back(*made);
        }
    }
    return changes;
}

// Makes the changes of kind `Kind` of `plan` as a run makes them; true when
// every one was made.
template <typename Kind>
bool MakeStep(const RunPlan& plan, header::HeldDatabaseFiles& held, RunLog& log,
              const Execution& with = {}) {
    return Execute(Only<Kind>(plan), held, log, with) == RunOutcome::kAdjusted;
}

} // namespace tessaldrin::testing
