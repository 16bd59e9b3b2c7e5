#include "run/chain_discovery.h"

#include "filetable/name_index.h"
#include "filetable/target_file_name.h"
#include "header/header_reading.h"
#include "platform/compare_string.h"
#include "platform/file_status.h"
#include "platform/find_files.h"
#include "platform/format_message.h"
#include "platform/local_path.h"

#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace tessaldrin {
namespace {

// The places of the directories searched, in their order, each directory's
// names read once, when a link first needs them.
class SearchedDirectories {
public:
    explicit SearchedDirectories(std::vector<std::string> dirs) : dirs_(std::move(dirs)) {}

    // Where the directories hold the entry that `name` means, in their order:
    // in each, `name` when an entry of that exact spelling exists; otherwise
    // the one entry that equals it without regard to case. A directory with
    // several such entries holds none that is meant, and ends the search:
    // no later directory may stand in for it. Once a place is found, such a
    // directory counts as a second place, under `name`.
    std::vector<std::string> Places(const std::string& name) {
        std::vector<std::string> places;
        if (name.empty() || name == "." || name == "..") {
            return places;
        }
        for (const std::string& dir : dirs_) {
            if (platform::EntryExists(dir + name)) {
                places.push_back(dir + name);
            } else if (const auto spelling = Names(dir).Spelling(dir, name)) {
                places.push_back(dir + *spelling);
            } else if (Names(dir).Holds(dir, name)) {
                if (!places.empty()) {
                    places.push_back(dir + name);
                }
                break;
            }
        }
        return places;
    }

private:
    const filetable::NameIndex& Names(const std::string& dir) {
        if (listed_.insert(dir).second) {
            for (platform::FileSearch entry(dir + "*"); entry.Found(); entry.Next()) {
                names_.Add(dir, entry.Name());
            }
        }
        return names_;
    }

    std::vector<std::string> dirs_;
    std::set<std::string> listed_;
    filetable::NameIndex names_;
};

// `dirs` without a directory that an earlier one, or `first`, names already:
// a file found there would be found twice in one place.
std::vector<std::string> DistinctDirectories(const std::string& first,
                                             const std::vector<std::string>& dirs) {
    std::set<platform::FileIdentity> seen;
    std::set<std::string> named{first};
    if (const auto identity = platform::IdentityOf(first)) {
        seen.insert(*identity);
    }
    std::vector<std::string> distinct;
    for (const std::string& dir : dirs) {
        const auto identity = platform::IdentityOf(dir);
        if (named.insert(dir).second && (!identity || seen.insert(*identity).second)) {
            distinct.push_back(dir);
        }
    }
    return distinct;
}

} // namespace

DatabaseFiles FindChainFiles(const std::string& primary, RunLog& log,
                             header::HeldDatabaseFiles& held,
                             const std::vector<std::string>& searchDirs) {
    DatabaseFiles found;
    const std::string primaryPath = platform::AbsolutePath(primary);
    // With its trailing separator, as the run names directories.
    found.DatabaseDir = platform::DirectoryPart(primaryPath);
    log.append("");
    log.append(platform::Format(msg::kChainHeading, primaryPath));

    found.SearchDirs = DistinctDirectories(found.DatabaseDir, searchDirs);

    held.Release();
    SearchedDirectories dirs(found.Directories());
    // By identity, since a file may be reached under two names where the
    // file system ignores case.
    std::set<platform::FileIdentity> listed;
    header::LinkEditor editor;
    // The primary file as the user spelled it, then each file as the entry
    // that the link before it means.
    for (std::optional<std::string> path = primaryPath; path;) {
        // Asked before the file is held: a second hold of a file held already
        // fails, and would hide the loop behind a file that cannot be opened.
        const std::optional<platform::FileIdentity> identity = platform::IdentityOf(*path);
        if (identity && !listed.insert(*identity).second) {
            break;
        }
        found.FileList.push_back(*path);
        log.append(*path);
        platform::LockedFile* file = held.Add(*path);
        const header::HeaderReading reading =
            header::ReadHeader(editor, file, *path, held.FailureAt({found.FileList.size() - 1}));
        if (reading.refusal || !reading.link) {
            break;
        }
        const std::vector<std::string> places =
            dirs.Places(filetable::StoredFilePart(*reading.link));
        path = places.empty() ? std::nullopt : std::optional(places.front());
        if (places.size() > 1) {
            // The file that the next turn lists, if the chain goes on to it.
            found.FoundTwice.push_back({{found.FileList.size()}, places[1]});
        }
    }
    // A chain that went no further leaves no file for the note.
    std::erase_if(found.FoundTwice, [&](const SecondPlace& twice) {
        return twice.file.value >= found.FileList.size();
    });
    return found;
}

} // namespace tessaldrin
