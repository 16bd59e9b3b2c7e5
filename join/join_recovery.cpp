#include "join/join_recovery.h"

#include "join/held_file_io.h"
#include "platform/durable_file.h"
#include "platform/file_status.h"

#include <array>
#include <cstring>

namespace tessaldrin::join {
namespace {

using Kind = JoinRefusal::Kind;
using Action = RecoveryPlan::Action;

// The secondary `index` of the journal, where it still has its own name:
// held, when it is the file the journal names.
void TakeSecondary(RecoveryPlan& plan, std::size_t index) {
    const JoinJournal::Secondary& named = plan.journal.secondaries[index - 1];
    const bool own = platform::EntryExists(named.path);
    const bool aside = platform::EntryExists(AsideNameFor(named.path));
    if (own && aside) {
        plan.refusals.push_back({Kind::kSecondaryTwice, index});
        return;
    }
    if (!own) {
        return; // put aside already
    }
    platform::OpenFailure why;
    auto file = platform::LockedFile::Open(named.path, &why);
    if (!file) {
        plan.refusals.push_back(
            {Kind::kFileNotHeld, index, 0, static_cast<std::uint64_t>(why.reason)});
        return;
    }
    const auto page = ReadHeaderImage(*file);
    if (!page || file->Size() != named.size ||
        HeaderDigest(page->data(), page->size()) != named.headerDigest) {
        plan.refusals.push_back({Kind::kSecondaryChanged, index});
        return;
    }
    plan.toPutAside.push_back(std::move(*file));
}

} // namespace

RecoveryPlan PlanRecovery(platform::LockedFile primary) {
    RecoveryPlan plan{Action::kRemoveJournal, std::move(primary), {}, {}, {}, {}};
    plan.journalPath = JournalPathFor(plan.primary.Path());
    const auto text = platform::ReadSmallFile(plan.journalPath, kJournalLimit);
    JournalReading reading = text ? ReadJournal(*text) : JournalReading{};
    if (!text || reading.outcome == JournalReading::Outcome::kForeign ||
        (reading.outcome == JournalReading::Outcome::kComplete &&
         reading.journal.primary != plan.primary.Path())) {
        plan.refusals.push_back({Kind::kForeignJournal});
        return plan;
    }
    if (reading.outcome == JournalReading::Outcome::kCutShort) {
        return plan;
    }
    plan.journal = std::move(reading.journal);
    std::array<std::uint8_t, kCommitSectorSize> sector{};
    const auto size = plan.primary.Size();
    const bool read = ReadFully(plan.primary, 0, sector.data(), sector.size());
    const auto is = [&](const std::string& expected) {
        return read && std::memcmp(sector.data(), expected.data(), sector.size()) == 0;
    };
    if (is(plan.journal.oldSector) && size && *size >= plan.journal.primarySize) {
        plan.action = Action::kUndo;
    } else if (is(plan.journal.newSector)) {
        plan.action = Action::kFinish;
        for (std::size_t i = 1; i <= plan.journal.secondaries.size(); ++i) {
            TakeSecondary(plan, i);
        }
    } else {
        plan.refusals.push_back(
            {Kind::kPrimaryChanged, 0, plan.journal.primarySize, size.value_or(0)});
    }
    return plan;
}

RecoveryResult Recover(RecoveryPlan& plan) {
    RecoveryResult result;
    if (!plan.Holds()) {
        result.outcome = RecoveryResult::Outcome::kNotPlanned;
        return result;
    }
    bool done = false;
    switch (plan.action) {
    case Action::kRemoveJournal:
        done = platform::RemoveDurably(plan.journalPath);
        break;
    case Action::kUndo:
        done = Undo(plan.primary, plan.journal.primarySize, plan.journalPath);
        break;
    case Action::kFinish: {
        std::vector<platform::LockedFile*> secondaries;
        for (platform::LockedFile& file : plan.toPutAside) {
            secondaries.push_back(&file);
        }
        done = Finish(secondaries, plan.journalPath, result.renamed,
                      [](const JoinProgress&) { return true; }) == Finishing::kFinished;
        break;
    }
    }
    result.outcome = done ? RecoveryResult::Outcome::kDone : RecoveryResult::Outcome::kFailed;
    return result;
}

} // namespace tessaldrin::join
