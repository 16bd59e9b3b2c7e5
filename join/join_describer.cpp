#include "join/join_describer.h"

#include "join/join_journal.h"
#include "platform/format_message.h"
#include "platform/open_failure.h"

namespace tessaldrin::join {
namespace {

using Kind = JoinRefusal::Kind;
constexpr std::uint64_t kMegabyte = std::uint64_t{1} << 20;

int Int(std::uint64_t value) {
    return static_cast<int>(value);
}
int Megabytes(std::uint64_t bytes) {
    return static_cast<int>((bytes + kMegabyte - 1) / kMegabyte);
}

} // namespace

std::string RefusalReason(const JoinRefusal& r) {
    using platform::Format;
    switch (r.kind) {
    case Kind::kSingleFile:
        return Format(msg::kJoinSingleFile);
    case Kind::kHeaderUnreadable:
        return Format(msg::kJoinHeaderUnreadable);
    case Kind::kOdsNotHandled:
        return Format(msg::kJoinOdsNotHandled, Int(r.found));
    case Kind::kOdsDiffers:
        return Format(msg::kJoinOdsDiffers, Int(r.found), Int(r.expected));
    case Kind::kShadow:
        return Format(msg::kJoinShadow);
    case Kind::kRootFileName:
        return Format(msg::kJoinRootFileName);
    case Kind::kBackupState:
        return Format(msg::kJoinBackupState, Int(r.found));
    case Kind::kEncryptionInProgress:
        return Format(msg::kJoinEncryption);
    case Kind::kHeaderContinues:
        return Format(msg::kJoinHeaderContinues, Int(r.found));
    case Kind::kEntriesDamaged:
        return Format(msg::kJoinEntriesDamaged);
    case Kind::kWrongSequence:
        return Format(msg::kJoinWrongSequence, Int(r.expected), Int(r.found));
    case Kind::kWrongPageSize:
        return Format(msg::kJoinWrongPageSize, Int(r.expected), Int(r.found));
    case Kind::kWrongFirstPage:
        return Format(msg::kJoinWrongFirstPage, Int(r.expected), Int(r.found));
    case Kind::kContinuationWithoutLastPage:
        return Format(msg::kJoinContinuationWithoutLastPage);
    case Kind::kLastPageWithoutContinuation:
        return Format(msg::kJoinLastPageWithoutContinuation);
    case Kind::kChainIncomplete:
        return Format(msg::kJoinChainIncomplete);
    case Kind::kChainEndsEarly:
        return Format(msg::kJoinChainEndsEarly);
    case Kind::kEmptyRange:
        return Format(msg::kJoinEmptyRange, Int(r.expected), Int(r.found));
    case Kind::kPartialPage:
        return Format(msg::kJoinPartialPage);
    case Kind::kLongerThanRange:
        return Format(msg::kJoinLongerThanRange, Int(r.expected), Int(r.found));
    case Kind::kNameNotJournaled:
        return Format(msg::kJoinNameNotJournaled);
    case Kind::kJournalPresent:
        return Format(msg::kJoinJournalPresent);
    case Kind::kAsideNameTaken:
        return Format(msg::kJoinAsideNameTaken);
    case Kind::kFreeSpaceUnknown:
        return Format(msg::kJoinFreeSpaceUnknown);
    case Kind::kNotEnoughSpace:
        return Format(msg::kJoinNotEnoughSpace, Megabytes(r.expected), Megabytes(r.found));
    case Kind::kSectorExceeded:
        return Format(msg::kJoinSectorExceeded);
    case Kind::kPageNumberMismatch:
        return Format(msg::kJoinPageMisplaced, Int(r.expected), Int(r.found));
    case Kind::kForeignJournal:
        return Format(msg::kJoinForeignJournal);
    case Kind::kPrimaryChanged:
        return Format(msg::kJoinPrimaryChanged);
    case Kind::kSecondaryChanged:
        return Format(msg::kJoinSecondaryChanged);
    case Kind::kSecondaryTwice:
        return Format(msg::kJoinSecondaryTwice);
    case Kind::kFileNotHeld: {
        platform::OpenFailure why;
        why.reason = static_cast<platform::OpenFailure::Reason>(r.found);
        return Format(msg::kJoinFileNotHeld, platform::OpenFailureText(why));
    }
    }
    return {};
}

std::vector<std::string> DescribePlan(const JoinPlan& plan) {
    std::vector<std::string> lines;
    for (std::size_t i = 1; i < plan.files.size(); ++i) {
        const JoinFile& file = plan.files[i];
        const std::uint64_t pages = plan.DataPages(i);
        const std::uint64_t last = pages > 0 ? file.firstPage + pages - 1 : file.firstPage;
        lines.push_back(platform::Format(msg::kJoinCopyPlanned, file.file.Path(),
                                         Int(file.firstPage), Int(last),
                                         Megabytes(pages * plan.pageSize)));
    }
    lines.push_back(platform::Format(msg::kJoinNewLength, Megabytes(plan.joinedSize)));
    for (std::size_t i = 1; i < plan.files.size(); ++i) {
        const std::string& path = plan.files[i].file.Path();
        lines.push_back(platform::Format(msg::kJoinAside, path, AsideNameFor(path)));
    }
    return lines;
}

} // namespace tessaldrin::join
