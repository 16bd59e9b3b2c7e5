#include "join/join_ending.h"

#include "join/join_journal.h"
#include "platform/durable_file.h"
#include "platform/local_path.h"

namespace tessaldrin::join {

bool Undo(platform::LockedFile& primary, std::uint64_t originalSize,
          const std::string& journalPath) {
    return primary.Shorten(originalSize) && primary.Sync() && platform::RemoveDurably(journalPath);
}

Finishing Finish(const std::vector<platform::LockedFile*>& secondaries,
                 const std::string& journalPath, std::vector<Rename>& renamed,
                 const JoinProceed& proceed) {
    for (std::size_t i = 0; i < secondaries.size(); ++i) {
        if (!proceed({JoinStep::kRename, i, secondaries.size()})) {
            return Finishing::kStopped;
        }
        Rename rename{secondaries[i]->Path(), AsideNameFor(secondaries[i]->Path())};
        if (!secondaries[i]->MoveTo(rename.to)) {
            return Finishing::kFailed;
        }
        renamed.push_back(rename);
        if (!platform::SyncDirectory(platform::DirectoryPart(rename.to))) {
            return Finishing::kFailed;
        }
    }
    if (!proceed({JoinStep::kRemoveJournal})) {
        return Finishing::kStopped;
    }
    return platform::RemoveDurably(journalPath) ? Finishing::kFinished : Finishing::kFailed;
}

} // namespace tessaldrin::join
