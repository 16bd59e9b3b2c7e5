#include "run/executor.h"

#include "platform/format_message.h"
#include "platform/termination_signals.h"
#include "run/describer.h"

namespace tessaldrin {

bool RenameFiles(const RunPlan& plan, header::HeldDatabaseFiles& held, RunLog& log) {
    LogRenamingHeading(plan, log);
    // The renames stand in list order: a rename's place is its held index.
    for (std::size_t index = 0; index < plan.renames.size(); ++index) {
        const Rename& rename = plan.renames[index];
        // The rename and its line go together, whenever a signal comes.
        const platform::TerminationDeferred untilLogged;
        platform::LockedFile* file = held.At(index);
        if (file == nullptr || !file->MoveTo(rename.to)) {
            log.LogError(platform::Format(msg::kRenameFailed, rename.from, rename.to));
            return false;
        }
        log.append(Describe(rename, Tense::kDone));
    }
    return true;
}

} // namespace tessaldrin
