#include "join/join_plan.h"

#include "header/chain_entries.h"
#include "join/held_file_io.h"
#include "platform/file_status.h"

#include <algorithm>
#include <limits>

namespace tessaldrin::join {
namespace {

using Kind = JoinRefusal::Kind;

// The generations that wrote multi-file databases and that the join knows:
// Firebird 2.x (ODS 11), 3 (ODS 12), 4 and 5 (ODS 13).
constexpr std::uint16_t kFirstJoinableMajor = 11;
constexpr std::uint16_t kLastJoinableMajor = 13;

bool Joinable(std::uint16_t ods) {
    const std::uint16_t major = header::OdsMajorVersion(ods);
    return header::IsFirebirdOds(ods) && major >= kFirstJoinableMajor &&
           major <= kLastJoinableMajor && header::FormOf(ods).has_value();
}

class Planner {
public:
    Planner(JoinPlan& plan, const std::vector<std::vector<std::uint8_t>>& pages)
        : plan_(plan), pages_(pages) {}

    void Refuse(Kind kind, std::size_t file, std::uint64_t expected = 0, std::uint64_t found = 0) {
        plan_.refusals.push_back({kind, file, expected, found});
    }

    // The file's own facts, judged by the primary's form and page size; its
    // chain entries when they can be read.
    std::optional<header::ChainEntries> CheckHeader(std::size_t index) {
        const std::uint8_t* page = pages_[index].data();
        const std::uint16_t primaryOds = header::OdsVersion(pages_[0].data());
        const std::uint16_t ods = header::OdsVersion(page);
        // An engine that does not write the word into a secondary leaves it 0.
        if (index > 0 && ods != primaryOds && ods != 0) {
            Refuse(Kind::kOdsDiffers, index, primaryOds, ods);
        }
        if (header::FileSequence(page) != index) {
            Refuse(Kind::kWrongSequence, index, index, header::FileSequence(page));
        }
        const std::uint16_t flags = header::HeaderFlags(page);
        if ((flags & header::kActiveShadowFlag) != 0) {
            Refuse(Kind::kShadow, index);
        }
        if ((flags & header::kBackupStateMask) != 0) {
            Refuse(Kind::kBackupState, index, 0, flags & header::kBackupStateMask);
        }
        if ((flags & plan_.form.cryptProcessFlag) != 0) {
            Refuse(Kind::kEncryptionInProgress, index);
        }
        if (header::NextHeaderPage(page) != 0) {
            Refuse(Kind::kHeaderContinues, index, 0, header::NextHeaderPage(page));
        }
        if (header::PageSize(page) != plan_.pageSize) {
            Refuse(Kind::kWrongPageSize, index, plan_.pageSize, header::PageSize(page));
            return std::nullopt;
        }
        const auto entries = header::ReadChainEntries({page, plan_.pageSize, plan_.form});
        if (entries.outcome != header::ChainEntries::Outcome::kRead) {
            Refuse(Kind::kEntriesDamaged, index);
            return std::nullopt;
        }
        if (entries.rootFileName) {
            Refuse(Kind::kRootFileName, index);
        }
        return entries;
    }

    // Each file's range from the last-page entry of the file before.
    // Past the first file out of place the ranges mean nothing.
    void PlaceInChain(const std::vector<header::ChainEntries>& entries) {
        std::uint64_t first = 0;
        for (std::size_t i = 0; i < entries.size() && plan_.Holds(); ++i) {
            const bool last = i + 1 == entries.size();
            const auto& entry = entries[i];
            JoinFile& file = plan_.files[i];
            file.firstPage = static_cast<std::uint32_t>(first);
            if (last && entry.continuation) {
                Refuse(Kind::kChainIncomplete, i);
            } else if (!entry.continuation && entry.lastPage) {
                Refuse(Kind::kLastPageWithoutContinuation, i);
            } else if (!last && !entry.continuation) {
                Refuse(Kind::kChainEndsEarly, i);
            } else if (!last && !entry.lastPage) {
                Refuse(Kind::kContinuationWithoutLastPage, i);
            } else if (!last) {
                // A range must hold a page, and leave a page number for the next.
                if (*entry.lastPage < first ||
                    *entry.lastPage == std::numeric_limits<std::uint32_t>::max()) {
                    Refuse(Kind::kEmptyRange, i, first, *entry.lastPage);
                }
                file.lastPage = entry.lastPage;
                first = std::uint64_t{*entry.lastPage} + 1;
            }
            // The engine numbers a secondary's header page with its first page.
            const std::uint32_t number = header::PageNumber(pages_[i].data());
            if (i > 0 && plan_.form.pagesKeepNumber && number != file.firstPage) {
                Refuse(Kind::kWrongFirstPage, i, file.firstPage, number);
            }
        }
    }

    // Whole pages, and no more than the range takes.
    void CheckSizes() {
        for (std::size_t i = 0; i < plan_.files.size(); ++i) {
            JoinFile& file = plan_.files[i];
            const auto size = file.file.Size();
            if (!size) {
                Refuse(Kind::kHeaderUnreadable, i);
                continue;
            }
            file.size = *size;
            file.headerDigest = HeaderDigest(pages_[i].data(), pages_[i].size());
            if (file.size % plan_.pageSize != 0) {
                Refuse(Kind::kPartialPage, i, 0, file.size);
                continue;
            }
            const std::uint64_t pages = i == 0 ? file.size / plan_.pageSize : plan_.DataPages(i);
            if (file.lastPage) {
                const std::uint64_t range = std::uint64_t{*file.lastPage} - file.firstPage + 1;
                if (pages > range) {
                    Refuse(Kind::kLongerThanRange, i, range, pages);
                }
            }
        }
    }

    void CheckNames() {
        for (std::size_t i = 0; i < plan_.files.size(); ++i) {
            // Two held files are never one: each holds its file's lock.
            const platform::LockedFile& file = plan_.files[i].file;
            if (file.Path().find_first_of("\r\n") != std::string::npos) {
                Refuse(Kind::kNameNotJournaled, i);
            }
            if (i > 0 && platform::EntryExists(AsideNameFor(file.Path()))) {
                Refuse(Kind::kAsideNameTaken, i);
            }
        }
        if (platform::EntryExists(JournalPathFor(plan_.files[0].file.Path()))) {
            Refuse(Kind::kJournalPresent, 0);
        }
    }

    // The commit writes one sector: every byte the join changes in the
    // header page must lie in it.
    void BuildNewSector() {
        const std::vector<std::uint8_t>& page = pages_[0];
        std::vector<std::uint8_t> joined(page.size());
        header::BuildSingleFileHeader({page.data(), plan_.pageSize, plan_.form}, joined.data());
        const std::size_t extent = header::ChangedExtent(page.data(), joined.data(), page.size());
        if (extent > kCommitSectorSize) {
            Refuse(Kind::kSectorExceeded, 0, kCommitSectorSize, extent);
        }
        plan_.oldSector.assign(page.begin(), page.begin() + kCommitSectorSize);
        plan_.newSector.assign(joined.begin(), joined.begin() + kCommitSectorSize);
    }

    void CheckSpace(std::optional<std::uint64_t> freeSpace) {
        plan_.joinedSize = plan_.files[0].size;
        for (std::size_t i = 1; i < plan_.files.size(); ++i) {
            if (plan_.DataPages(i) > 0) {
                plan_.joinedSize =
                    std::max(plan_.joinedSize,
                             (plan_.files[i].firstPage + plan_.DataPages(i)) * plan_.pageSize);
            }
        }
        const std::uint64_t needed =
            plan_.joinedSize - plan_.files[0].size + JournalText(plan_.Journal()).size();
        if (!freeSpace) {
            Refuse(Kind::kFreeSpaceUnknown, 0);
        } else if (needed > *freeSpace) {
            Refuse(Kind::kNotEnoughSpace, 0, needed, *freeSpace);
        }
    }

private:
    JoinPlan& plan_;
    const std::vector<std::vector<std::uint8_t>>& pages_;
};

} // namespace

std::uint64_t JoinPlan::DataPages(std::size_t file) const {
    const std::uint64_t pages = files[file].size / pageSize;
    return pages > 0 ? pages - 1 : 0;
}

std::uint64_t JoinPlan::BytesToCopy() const {
    std::uint64_t bytes = 0;
    for (std::size_t i = 1; i < files.size(); ++i) {
        bytes += DataPages(i) * pageSize;
    }
    return bytes;
}

JoinJournal JoinPlan::Journal() const {
    JoinJournal journal{files[0].file.Path(), files[0].size, pageSize, oldSector, newSector, {}};
    for (std::size_t i = 1; i < files.size(); ++i) {
        journal.secondaries.push_back({files[i].file.Path(), files[i].size, files[i].headerDigest});
    }
    return journal;
}

JoinPlan PlanJoin(std::vector<platform::LockedFile> chain, std::optional<std::uint64_t> freeSpace) {
    JoinPlan plan;
    std::vector<std::vector<std::uint8_t>> pages;
    Planner planner(plan, pages);
    for (platform::LockedFile& file : chain) {
        plan.files.push_back({std::move(file), 0, 0, std::nullopt, 0});
        auto page = ReadHeaderImage(plan.files.back().file);
        if (!page) {
            planner.Refuse(Kind::kHeaderUnreadable, pages.size());
        }
        pages.push_back(page ? std::move(*page) : std::vector<std::uint8_t>{});
    }
    if (plan.files.empty()) {
        planner.Refuse(Kind::kHeaderUnreadable, 0);
    }
    if (!plan.Holds()) {
        return plan;
    }
    const std::uint16_t ods = header::OdsVersion(pages[0].data());
    if (!Joinable(ods)) {
        planner.Refuse(Kind::kOdsNotHandled, 0, 0, ods);
        return plan;
    }
    plan.form = *header::FormOf(ods);
    plan.odsVersion = ods;
    plan.pageSize = header::PageSize(pages[0].data());
    std::vector<header::ChainEntries> entries;
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        entries.push_back(planner.CheckHeader(i).value_or(header::ChainEntries{}));
    }
    if (plan.Holds() && plan.files.size() == 1) {
        planner.Refuse(entries[0].continuation ? Kind::kChainIncomplete : Kind::kSingleFile, 0);
    }
    if (!plan.Holds()) {
        return plan;
    }
    planner.PlaceInChain(entries);
    if (!plan.Holds()) {
        return plan;
    }
    planner.CheckSizes();
    planner.CheckNames();
    planner.BuildNewSector();
    planner.CheckSpace(freeSpace);
    return plan;
}

} // namespace tessaldrin::join
