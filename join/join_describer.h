// The words of a join for its user: each refusal as one line naming its
// file, the plan as the preview shows it. Toolkit-free.
#pragma once

#include "join/join_plan.h"
#include "join/join_refusal.h"

#include <string>
#include <vector>

namespace tessaldrin::join {

// Why the join does not go ahead, without the file's name.
std::string RefusalReason(const JoinRefusal& refusal);

// What the join of `plan` copies, how long the primary becomes and which
// names the secondaries are put aside under.
std::vector<std::string> DescribePlan(const JoinPlan& plan);

} // namespace tessaldrin::join
