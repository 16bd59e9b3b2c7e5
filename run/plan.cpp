#include "run/plan.h"

#include "header/header_reading.h"
#include "header/link_editor.h"
#include "platform/compare_string.h"
#include "platform/file_status.h"
#include "platform/format_message.h"
#include "platform/local_path.h"
#include "platform/open_failure.h"

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
                const auto failure = held_.FailureAt(FileIndex{i});
                Refuse(i,
                       {.kind = failure ? Refusal::Kind::kCannotOpen : Refusal::Kind::kChainNotHeld,
                        .failure = failure});
            }
            return Finish();
        }
        RefuseCaseTwins();
        for (const SecondPlace& twice : plan_.files.FoundTwice) {
            Refuse(twice.file.value, {.kind = Refusal::Kind::kFoundTwice, .name = twice.path});
        }
        const bool renaming = plan_.mode == RunMode::kTessaldrin && NeedsRenaming(list);
        std::vector<std::string> names;
        for (std::size_t i = 0; i < count_; ++i) {
            names.push_back(renaming ? RenamedPath(list[i]) : list[i]);
            if (renaming) {
                plan_.changes.emplace_back(Rename{FileIndex{i}, list[i], names[i]});
                RefuseWhereNoRename(i, names[i]);
            }
        }
        IndexNames(names);
        RefuseTooLongNames(names);
        // The server gets the primary file by this name, and the client
        // library takes it only as characters of the system's character set:
        // refused here, before any change, not after the chain is relinked.
        if (!platform::IsSystemText(names.front())) {
            Refuse(0, {.kind = Refusal::Kind::kPathNotSystemText});
        }
        naming_ = filetable::TargetNaming(plan_.mode == RunMode::kTessaldrin
                                              ? filetable::TargetNaming::Rule::kTessaldrin
                                              : filetable::TargetNaming::Rule::kKeptName,
                                          plan_.files.Directories(), names);
        header::LinkEditor editor;
        for (std::size_t i = 0; i < count_; ++i) {
            pages_.push_back(PlanPage(editor, i, names[i]));
        }
        FollowChain();
        // The server opens the database by the primary file's new name.
        plan_.changes.emplace_back(RewriteFileTable{{names.front(), count_, naming_}});
        return Finish();
    }

private:
    // The first reason found against the file stands.
    void Refuse(std::size_t index, Refusal refusal) {
        if (!refusals_[index]) {
            refusal.file = FileIndex{index};
            refusals_[index] = std::move(refusal);
        }
    }

    // The link editor works on a file under its name now and, once renamed,
    // under its new one, each at most kDatabaseFileNameWidth characters: a
    // file opened under a longer name would be one that no run may change,
    // whether or not the system opens it.
    void RefuseTooLongNames(const std::vector<std::string>& names) {
        constexpr std::size_t width = header::LinkEditor::kDatabaseFileNameWidth;
        for (std::size_t i = 0; i < count_; ++i) {
            if (std::max(names[i].size(), plan_.files.FileList[i].size()) > width) {
                Refuse(i, {.kind = Refusal::Kind::kNameTooLong, .number = static_cast<int>(width)});
            }
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
                Refuse(other->second, {.kind = Refusal::Kind::kCaseTwin, .name = list[i]});
                Refuse(i, {.kind = Refusal::Kind::kCaseTwin, .name = list[other->second]});
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
            Refuse(index, {.kind = Refusal::Kind::kCannotRename,
                           .other = plan_.files.DatabaseDir,
                           .failure = refused});
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
                Refuse(renamed(i) ? i : other->second,
                       {.kind = Refusal::Kind::kNameTaken, .name = names[i]});
            } else if (renamed(i) && platform::EntryExists(names[i])) {
                Refuse(i, {.kind = Refusal::Kind::kNameTaken, .name = names[i]});
            }
        }
    }

    // Reads file `index`'s page and rebuilds it with the new link.
    header::PlannedPage PlanPage(header::LinkEditor& editor, std::size_t index,
                                 const std::string& name) {
        const std::string& path = plan_.files.FileList[index];
        header::PlannedPage page{FileIndex{index}, path, name, {}, {}, {}, {}, {}};
        const header::HeaderReading reading =
            header::ReadHeader(editor, held_.At(FileIndex{index}), path);
        readings_.push_back(reading);
        page.readLines = reading.lines;
        if (reading.refusal) {
            Refuse(index, {.kind = Refusal::Kind::kPageRefused, .page = reading.refusal});
            return page;
        }
        if (index == 0 && reading.fileSequence != 0) {
            Refuse(index, {.kind = Refusal::Kind::kNotThePrimary,
                           .number = static_cast<int>(reading.fileSequence)});
        }
        if (!reading.link) {
            return page; // the last file of the chain
        }
        page.newLink = naming_(*reading.link);
        if (page.newLink.empty()) {
            Refuse(index, {.kind = Refusal::Kind::kNamesNoFile, .name = *reading.link});
            return page;
        }
        const auto target = index_.find(PathKey(page.newLink));
        if (target == index_.end()) {
            Refuse(index, {.kind = Refusal::Kind::kNotInDirectory,
                           .name = *reading.link,
                           .other = plan_.files.DatabaseDir});
        } else {
            next_[index] = target->second;
        }
        if (auto refused = header::PlanNewPage(editor, page)) {
            Refuse(index, {.kind = Refusal::Kind::kPageRefused, .page = refused});
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
                Refuse(*at, {.kind = Refusal::Kind::kLoop, .name = pages_[*next_[*at]].path});
                break;
            }
        }
        for (std::size_t i = 0; i < count_ && linksFound; ++i) {
            if (!met[i]) {
                Refuse(i, {.kind = Refusal::Kind::kReachedByNoLink});
            }
        }
        RefuseStrangersInChain(chain);
        for (const std::size_t i : chain) {
            plan_.changes.emplace_back(std::move(pages_[i]));
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
                Refuse(i, {.kind = Refusal::Kind::kOtherForm, .name = plan_.files.FileList[i]});
            } else if (reading.fileSequence != place) {
                Refuse(i, {.kind = Refusal::Kind::kWrongPlaceInChain,
                           .number = static_cast<int>(reading.fileSequence),
                           .place = static_cast<int>(place)});
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
    // The new name of the file that a stored name means, for the links and
    // the rows of RDB$FILES alike.
    filetable::TargetNaming naming_;
    std::vector<header::PlannedPage> pages_;
    std::vector<header::HeaderReading> readings_; // per list index
    std::map<std::wstring, std::size_t> index_;   // the new names, by PathKey
};

} // namespace

RunPlan PlanAdjustment(RunMode mode, DatabaseFiles files, header::HeldDatabaseFiles& held) {
    return Planner(mode, std::move(files), held).Make();
}

} // namespace tessaldrin
