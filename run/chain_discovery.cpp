#include "run/chain_discovery.h"

#include "filetable/target_file_name.h"
#include "header/header_reading.h"
#include "platform/compare_string.h"
#include "platform/file_status.h"
#include "platform/find_files.h"
#include "platform/format_message.h"
#include "platform/local_path.h"

#include <map>
#include <optional>
#include <set>

namespace tessaldrin {
namespace {

bool HasEntry(const std::string& dir, const std::string& name) {
    return platform::EntryExists(dir + name);
}

// The names of one directory, looked up without regard to case: read once,
// when a link first needs it.
class DirectoryNames {
public:
    explicit DirectoryNames(std::string dir) : dir_(std::move(dir)) {}

    // The name under which the directory holds the entry that `name` means:
    // `name` when an entry of that exact spelling exists; otherwise the one
    // entry that equals it without regard to case (a copy from a volume that
    // ignores case); nothing when there is neither, or several such entries.
    std::optional<std::string> Spelling(const std::string& name) {
        if (name.empty() || name == "." || name == "..") {
            return std::nullopt;
        }
        if (HasEntry(dir_, name)) {
            return name;
        }
        const auto match = Folded().find(platform::FoldCase(name));
        return match == Folded().end() ? std::nullopt : match->second;
    }

private:
    const std::map<std::wstring, std::optional<std::string>>& Folded() {
        if (!folded_) {
            folded_.emplace();
            for (platform::FileSearch entry(dir_ + "*"); entry.Found(); entry.Next()) {
                const std::string& name = entry.Name();
                const auto [place, added] = folded_->emplace(platform::FoldCase(name), name);
                if (!added) {
                    place->second.reset(); // two spellings: neither is the one meant
                }
            }
        }
        return *folded_;
    }

    std::string dir_;
    std::optional<std::map<std::wstring, std::optional<std::string>>> folded_;
};

} // namespace

DatabaseFiles FindChainFiles(const std::string& primary, RunLog& log,
                             header::HeldDatabaseFiles& held) {
    DatabaseFiles found;
    const std::string primaryPath = platform::AbsolutePath(primary);
    // With its trailing separator, as the run names directories.
    found.DatabaseDir = platform::DirectoryPart(primaryPath);
    log.append("");
    log.append(platform::Format(msg::kChainHeading, primaryPath));

    held.Release();
    DirectoryNames names(found.DatabaseDir);
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
            header::ReadHeader(editor, file, *path, held.FailureAt(found.FileList.size() - 1));
        if (reading.refusal || !reading.link) {
            break;
        }
        const std::optional<std::string> spelling =
            names.Spelling(filetable::StoredFilePart(*reading.link));
        path = spelling ? std::optional(found.DatabaseDir + *spelling) : std::nullopt;
    }
    return found;
}

} // namespace tessaldrin
