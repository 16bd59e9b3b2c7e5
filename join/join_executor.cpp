#include "join/join_executor.h"

#include "join/held_file_io.h"
#include "join/page_copy.h"
#include "platform/durable_file.h"
#include "platform/termination_signals.h"

#include <array>
#include <cstring>

namespace tessaldrin::join {
namespace {

using Outcome = JoinResult::Outcome;
using Sector = std::array<std::uint8_t, kCommitSectorSize>;

bool SectorIs(platform::LockedFile& file, const std::string& expected) {
    Sector sector{};
    return ReadFully(file, 0, sector.data(), sector.size()) &&
           std::memcmp(sector.data(), expected.data(), sector.size()) == 0;
}

bool WriteSector(platform::LockedFile& file, const std::string& sector) {
    return WriteFully(file, 0, reinterpret_cast<const std::uint8_t*>(sector.data()),
                      kCommitSectorSize) &&
           file.Sync() && SectorIs(file, sector);
}

class Join {
public:
    Join(JoinPlan& plan, const JoinProceed& proceed)
        : plan_(plan), proceed_(proceed), primary_(plan.files[0].file),
          journalPath_(JournalPathFor(primary_.Path())) {}

    JoinResult Run() {
        if (!plan_.Holds()) {
            return Ended(Outcome::kNotPlanned);
        }
        if (!Proceed({JoinStep::kJournal})) {
            return Ended(Outcome::kStopped);
        }
        if (!platform::CreateDurableFile(journalPath_, JournalText(plan_.Journal()))) {
            return Ended(Outcome::kFailed);
        }
        if (!Proceed({JoinStep::kReserve})) {
            return Ended(Outcome::kStopped);
        }
        if (!primary_.Reserve(plan_.joinedSize)) {
            return Undone();
        }
        if (!Proceed({JoinStep::kCopy, 0, plan_.BytesToCopy()})) {
            return Ended(Outcome::kStopped);
        }
        if (!CopyAll()) {
            return result_;
        }
        if (!Proceed({JoinStep::kSync})) {
            return Ended(Outcome::kStopped);
        }
        if (!primary_.Sync()) {
            return Undone();
        }
        if (!Proceed({JoinStep::kCommit})) {
            return Ended(Outcome::kStopped);
        }
        if (!Commit()) {
            return result_;
        }
        return Finished();
    }

private:
    bool Proceed(const JoinProgress& progress) {
        result_.step = progress.step;
        return proceed_(progress);
    }

    JoinResult Ended(Outcome outcome) {
        result_.outcome = outcome;
        return result_;
    }

    // Before the commit nothing the database reads has changed.
    JoinResult Undone() {
        return Ended(Undo(primary_, plan_.files[0].size, journalPath_) ? Outcome::kFailed
                                                                       : Outcome::kUndoFailed);
    }

    bool CopyAll() {
        std::uint64_t before = 0;
        const std::uint64_t total = plan_.BytesToCopy();
        for (std::size_t file = 1; file < plan_.files.size(); ++file) {
            const PageCopy copy = CopyPages(plan_, file, [&](std::uint64_t copied) {
                return Proceed({JoinStep::kCopy, before + copied, total});
            });
            switch (copy.outcome) {
            case PageCopy::Outcome::kCopied:
                break;
            case PageCopy::Outcome::kStopped:
                Ended(Outcome::kStopped);
                return false;
            case PageCopy::Outcome::kPageMisplaced:
                result_.refusal = JoinRefusal{JoinRefusal::Kind::kPageNumberMismatch, file,
                                              copy.page, copy.holds};
                Undone();
                return false;
            case PageCopy::Outcome::kReadFailed:
            case PageCopy::Outcome::kWriteFailed:
                Undone();
                return false;
            }
            before += copy.copied;
        }
        return true;
    }

    // The one write that turns the chain into a single file. No signal cuts
    // it short, nor what puts the old sector back when it failed.
    bool Commit() {
        const platform::TerminationDeferred untilTheSectorIsWhole;
        if (!SectorIs(primary_, plan_.oldSector)) {
            result_.refusal = JoinRefusal{JoinRefusal::Kind::kPrimaryChanged};
            Undone();
            return false;
        }
        if (WriteSector(primary_, plan_.newSector)) {
            return true;
        }
        if (WriteSector(primary_, plan_.oldSector)) {
            Undone();
        } else {
            Ended(Outcome::kCommitUncertain);
        }
        return false;
    }

    JoinResult Finished() {
        std::vector<platform::LockedFile*> secondaries;
        for (std::size_t i = 1; i < plan_.files.size(); ++i) {
            secondaries.push_back(&plan_.files[i].file);
        }
        switch (Finish(secondaries, journalPath_, result_.renamed,
                       [this](const JoinProgress& progress) { return Proceed(progress); })) {
        case Finishing::kFinished:
            return Ended(Outcome::kJoined);
        case Finishing::kStopped:
            return Ended(Outcome::kStopped);
        case Finishing::kFailed:
            break;
        }
        return Ended(Outcome::kUnfinished);
    }

    JoinPlan& plan_;
    const JoinProceed& proceed_;
    platform::LockedFile& primary_;
    const std::string journalPath_;
    JoinResult result_;
};

} // namespace

JoinResult ExecuteJoin(JoinPlan& plan, const JoinProceed& proceed) {
    return Join(plan, proceed).Run();
}

} // namespace tessaldrin::join
