#include "app/run_plan.h"

#include "header/header_reading.h"
#include "platform/compare_string.h"
#include "platform/file_status.h"
#include "platform/format_message.h"
#include "platform/local_path.h"
#include "platform/open_failure.h"
#include "platform/termination_signals.h"

#include <algorithm>
#include <map>
#include <optional>

namespace tessaldrin {
namespace {

// The plan as it is made: per list index, the file's new name, page and the
// index of the file that its link names, and the first reason found against it.
class Planner {
public:
    Planner(RunMode mode, DatabaseFiles files, header::HeldDatabaseFiles& held)
        : held_(held), count_(files.FileList.size()), refusals_(count_), next_(count_) {
        plan_.mode = mode;
        plan_.files = std::move(files);
    }

    RunPlan Make() {
        const std::vector<std::string>& list = plan_.files.FileList;
        if (!held_.HoldsAll()) {
            // Nothing of a chain is changed while another process holds part
            // of it: every file is refused, the held ones for that reason.
            for (std::size_t i = 0; i < count_; ++i) {
                const auto failure = held_.FailureAt(i);
                Refuse(i, platform::Format(failure ? msg::kCannotOpenFile : msg::kChainNotHeld),
                       failure ? platform::Format(msg::kReason, platform::OpenFailureText(*failure))
                               : std::string{});
            }
            return Finish();
        }
        RefuseCaseTwins();
        const bool renaming = plan_.mode == RunMode::kTessaldrin && NeedsRenaming(list);
        std::vector<std::string> names;
        for (std::size_t i = 0; i < count_; ++i) {
            names.push_back(renaming ? RenamedPath(list[i]) : list[i]);
            if (renaming) {
                plan_.renames.push_back({list[i], names[i], i});
                RefuseWhereNoRename(i, names[i]);
            }
        }
        IndexNames(names);
        // The server gets the primary file by this name, and the client
        // library takes it only as characters of the system's character set:
        // refused here, before any change, not after the chain is relinked.
        if (!platform::IsSystemText(names.front())) {
            Refuse(0, platform::Format(msg::kPathNotSystemText));
        }
        plan_.naming = filetable::TargetNaming(plan_.mode == RunMode::kTessaldrin
                                                   ? filetable::TargetNaming::Rule::kTessaldrin
                                                   : filetable::TargetNaming::Rule::kKeptName,
                                               plan_.files.DatabaseDir, names);
        header::LinkEditor editor;
        for (std::size_t i = 0; i < count_; ++i) {
            pages_.push_back(PlanPage(editor, i, names[i]));
        }
        FollowChain();
        return Finish();
    }

private:
    void Refuse(std::size_t index, std::string reason, std::string cause = {}) {
        if (!refusals_[index]) {
            refusals_[index] =
                Refusal{plan_.files.FileList[index], std::move(reason), std::move(cause)};
        }
    }

    // Two entries whose names differ only in case (a copy from a volume that
    // ignores case, beside the file): either could be the file of the chain
    // that a link names, so neither is taken. Only a file system that tells
    // case apart holds both.
    void RefuseCaseTwins() {
        const std::vector<std::string>& list = plan_.files.FileList;
        std::map<std::wstring, std::size_t> folded;
        for (std::size_t i = 0; i < count_; ++i) {
            const auto [other, added] = folded.emplace(platform::FoldCase(list[i]), i);
            if (!added) {
                Refuse(other->second, platform::Format(msg::kCaseTwin, list[i]));
                Refuse(i, platform::Format(msg::kCaseTwin, list[other->second]));
            }
        }
    }

    // A rename that the directory would refuse, said before anything is
    // renamed; a file renamed onto its own spelling changes no directory.
    void RefuseWhereNoRename(std::size_t index, const std::string& name) {
        const std::string& path = plan_.files.FileList[index];
        if (name == path) {
            return;
        }
        if (const auto refused = platform::RenameRefusal(path)) {
            const std::string why =
                refused->reason == platform::OpenFailure::Reason::kNoPermission
                    ? platform::Format(msg::kReasonDirectoryUnchangeable, plan_.files.DatabaseDir)
                    : platform::OpenFailureText(*refused);
            Refuse(index, platform::Format(msg::kCannotRename),
                   platform::Format(msg::kReason, why));
        }
    }

    // Two files under one new name, or a new name that another entry of the
    // directory has already: the rename would fail, or replace a file. The
    // file refused is the one whose rename would take the name.
    void IndexNames(const std::vector<std::string>& names) {
        const std::vector<std::string>& list = plan_.files.FileList;
        const auto renamed = [&](std::size_t i) { return PathKey(names[i]) != PathKey(list[i]); };
        for (std::size_t i = 0; i < count_; ++i) {
            const auto [other, added] = index_.emplace(PathKey(names[i]), i);
            if (!added) {
                Refuse(renamed(i) ? i : other->second, platform::Format(msg::kNameTaken, names[i]));
            } else if (renamed(i) && platform::EntryExists(names[i])) {
                Refuse(i, platform::Format(msg::kNameTaken, names[i]));
            }
        }
    }

    // Reads file `index`'s page and rebuilds it with the new link.
    header::PlannedPage PlanPage(header::LinkEditor& editor, std::size_t index,
                                 const std::string& name) {
        const std::string& path = plan_.files.FileList[index];
        header::PlannedPage page{path, name, index, {}, {}, {}, {}, {}};
        const header::HeaderReading reading = header::ReadHeader(editor, held_.At(index), path);
        readings_.push_back(reading);
        page.readLines = reading.lines;
        if (reading.refusal) {
            Refuse(index, *reading.refusal);
            return page;
        }
        if (index == 0 && reading.fileSequence != 0) {
            Refuse(index,
                   platform::Format(msg::kNotThePrimary, static_cast<int>(reading.fileSequence)));
        }
        if (!reading.link) {
            return page; // the last file of the chain
        }
        page.newLink = plan_.naming(*reading.link);
        if (page.newLink.empty()) {
            Refuse(index, platform::Format(msg::kNamesNoFile, *reading.link));
            return page;
        }
        const auto target = index_.find(PathKey(page.newLink));
        if (target == index_.end()) {
            Refuse(index,
                   platform::Format(msg::kNotInDirectory, *reading.link, plan_.files.DatabaseDir));
        } else {
            next_[index] = target->second;
        }
        if (auto refused = header::PlanNewPage(editor, page)) {
            Refuse(index, std::move(*refused));
        }
        return page;
    }

    // From the primary file along the links: a file met twice is a loop; a
    // file never met, when every link was found, is one that no link of the
    // chain reaches.
    void FollowChain() {
        const bool linksFound =
            std::none_of(refusals_.begin(), refusals_.end(),
                         [](const auto& refusal) { return refusal.has_value(); });
        std::vector<bool> met(count_, false);
        std::vector<std::size_t> chain;
        for (std::optional<std::size_t> at = 0; at && *at < count_; at = next_[*at]) {
            met[*at] = true;
            chain.push_back(*at);
            if (next_[*at] && met[*next_[*at]]) {
                Refuse(*at, platform::Format(msg::kLoop, pages_[*next_[*at]].path));
                break;
            }
        }
        for (std::size_t i = 0; i < count_ && linksFound; ++i) {
            if (!met[i]) {
                Refuse(i, platform::Format(msg::kReachedByNoLink));
            }
        }
        RefuseStrangersInChain(chain);
        for (const std::size_t i : chain) {
            plan_.pages.push_back(std::move(pages_[i]));
        }
    }

    // The engine takes every later file of a chain as a part of the primary
    // file's database: in its form, with its page size, and numbered by its
    // place (0 for the primary file, then 1, 2, ...). A file of another
    // database, or one that the chain reaches out of its order, is refused.
    void RefuseStrangersInChain(const std::vector<std::size_t>& chain) {
        const header::HeaderReading& primary = readings_[chain.front()];
        for (std::size_t place = 1; place < chain.size() && !primary.refusal; ++place) {
            const std::size_t i = chain[place];
            const header::HeaderReading& reading = readings_[i];
            if (reading.refusal) {
                continue;
            }
            if (reading.odsVersion != primary.odsVersion || reading.pageSize != primary.pageSize) {
                Refuse(i, platform::Format(msg::kOtherForm, plan_.files.FileList[i]));
            } else if (reading.fileSequence != place) {
                Refuse(i, platform::Format(msg::kWrongPlaceInChain,
                                           static_cast<int>(reading.fileSequence),
                                           static_cast<int>(place)));
            }
        }
    }

    RunPlan Finish() {
        for (std::size_t i = 0; i < count_; ++i) {
            if (refusals_[i]) {
                plan_.refusals.push_back(std::move(*refusals_[i]));
            }
        }
        return std::move(plan_);
    }

    header::HeldDatabaseFiles& held_;
    std::size_t count_;
    RunPlan plan_;
    std::vector<std::optional<Refusal>> refusals_;
    std::vector<std::optional<std::size_t>> next_;
    std::vector<header::PlannedPage> pages_;
    std::vector<header::HeaderReading> readings_; // per list index
    std::map<std::wstring, std::size_t> index_;   // the new names, by PathKey
};

} // namespace

filetable::FileTableChange RunPlan::FileTable() const {
    // The primary file by the name the renames give it.
    const std::string primary = pages.empty() ? files.PrimaryFile : pages.front().writtenPath;
    return {primary, files.FileList.size(), naming};
}

RunPlan PlanAdjustment(RunMode mode, DatabaseFiles files, header::HeldDatabaseFiles& held) {
    return Planner(mode, std::move(files), held).Make();
}

void LogRefusals(const RunPlan& plan, RunLog& log) {
    for (const Refusal& refusal : plan.refusals) {
        // Unbounded, unlike the editor's short errors: the line names a path.
        log.append(platform::Format(
            msg::kError, platform::Format(msg::kFileRefused, refusal.path, refusal.reason)));
        if (!refusal.cause.empty()) {
            log.append(refusal.cause);
        }
    }
}

bool RenameFiles(const RunPlan& plan, header::HeldDatabaseFiles& held, RunLog& log) {
    if (plan.renames.empty()) {
        return true;
    }
    log.append("");
    log.AppendMessage(msg::kRenamingHeading);
    for (const Rename& rename : plan.renames) {
        // The rename and its line go together, whenever a signal comes.
        const platform::TerminationDeferred untilLogged;
        platform::LockedFile* file = held.At(rename.held);
        if (file == nullptr || !file->MoveTo(rename.to)) {
            log.LogError(platform::Format(msg::kRenameFailed, rename.from, rename.to));
            return false;
        }
        log.append(platform::Format(msg::kFileRenamed, rename.from, rename.to));
    }
    return true;
}

void ShowRenames(const RunPlan& plan, RunLog& log) {
    if (plan.renames.empty()) {
        return;
    }
    log.append("");
    log.AppendMessage(msg::kRenamingHeading);
    for (const Rename& rename : plan.renames) {
        log.append(platform::Format(msg::kFileWouldBeRenamed, rename.from, rename.to));
    }
}

} // namespace tessaldrin
