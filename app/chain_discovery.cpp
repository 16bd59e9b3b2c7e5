#include "app/chain_discovery.h"

#include "app/adjustment.h"
#include "filetable/target_file_name.h"
#include "header/header_page.h"
#include "header/link_editor.h"
#include "platform/compare_string.h"
#include "platform/file_status.h"
#include "platform/find_files.h"
#include "platform/format_message.h"
#include "platform/local_path.h"

#include <cstdint>
#include <optional>
#include <set>

namespace tessaldrin {
namespace {

// A file part that names an entry of the directory itself, not the
// directory or its parent.
bool NamesAnEntry(const std::string& part) {
    return !part.empty() && part != "." && part != "..";
}

bool HasEntry(const std::string& dir, const std::string& name) {
    return platform::EntryExists(dir + name);
}

// What one file of the chain holds, read and checked by the link editor.
struct ChainFile {
    bool accepted = false;
    std::uint16_t odsVersion = 0;
    std::uint16_t pageSize = 0;
    std::optional<std::string> link; // none: the last file of the chain
    ListRunLog said;                 // the editor's lines, shown when refused
};

ChainFile ReadChainFile(header::LinkEditor& editor, const std::string& path) {
    ChainFile file;
    editor.DatabaseFileName = path;
    if (editor.OpenDatabaseFile(file.said) && editor.ReadHeaderPage(file.said) &&
        editor.CheckHeaderPage(file.said)) {
        file.odsVersion = header::OdsVersion(editor.HeaderPage());
        file.pageSize = header::PageSize(editor.HeaderPage());
        if (editor.ReadContinuationLink(file.said)) {
            file.link = editor.OldLinkName;
            file.accepted = true;
        } else {
            // Entries past the page end are a damaged page, not a last file.
            file.accepted = !editor.EntriesOverranPage();
        }
    }
    editor.CloseDatabaseFile(file.said);
    return file;
}

// Whether the file at `path` is, by any name, one of the files `seen`; if not,
// it is one of them now. A name that reaches no file is not a file met before
// (reading it then refuses it).
bool ListedAlready(std::set<platform::FileIdentity>& seen, const std::string& path) {
    const std::optional<platform::FileIdentity> identity = platform::IdentityOf(path);
    return identity && !seen.insert(*identity).second;
}

} // namespace

std::string AbsolutePath(const std::string& path) {
    return platform::AbsolutePath(path);
}

std::optional<std::string> EntrySpelling(const std::string& dir, const std::string& name) {
    if (HasEntry(dir, name)) {
        return name;
    }
    std::optional<std::string> found;
    for (platform::FileSearch entry(dir + "*"); entry.Found(); entry.Next()) {
        const std::string& candidate = entry.Name();
        if (platform::CompareTextIgnoreCase(candidate, name) == 0) {
            if (found) {
                return std::nullopt; // two spellings: neither is the one meant
            }
            found = candidate;
        }
    }
    return found;
}

// The stored file part, unchanged, in the primary file's directory; empty
// for a name without a file part. Both rewrites then spell it as the
// discovered file that it names.
std::string KeptNameTarget(const std::string& dir, const std::string& stored) {
    const std::string part = filetable::StoredFilePart(stored);
    return part.empty() ? std::string{} : dir + part;
}

bool Adjustment::FindFiles() {
    if (DataModule != nullptr) {
        DataModule->TargetRule = LinkTarget();
    }
    return ChainPrimary.empty() ? FindDatabaseFiles() : FindChainFiles();
}

header::TargetRule Adjustment::LinkTarget() const {
    if (ChainPrimary.empty()) {
        return {};
    }
    return KeptNameTarget;
}

// Every file is read and checked here, before any step may write: a file
// missing from the directory, one that the editor refuses, a page of another
// form than the primary's, or a file met twice (a loop) refuses the whole
// chain, and the log names the file and the reason.
bool Adjustment::FindChainFiles() {
    FileList.clear();
    PrimaryFile = AbsolutePath(ChainPrimary);
    // With its trailing separator, as the run names directories.
    DatabaseDir = platform::DirectoryPart(PrimaryFile);
    if (DataModule != nullptr) {
        DataModule->DatabaseDir = DatabaseDir;
    }
    log_.append("");
    log_.append(platform::FormatMessage(21064, PrimaryFile));

    const auto refuse = [this] {
        FileList.clear();
        return false;
    };
    header::LinkEditor& editor = header::LinkEditor::Instance();
    // The name that leads to the next file: the primary as given, then each
    // continuation link as its header stores it.
    std::string leadingName = PrimaryFile;
    std::string part = platform::FilePart(PrimaryFile);
    ChainFile primary;
    std::set<platform::FileIdentity> seen;
    for (;;) {
        // The primary file is taken as the user spelled it; the links as the
        // entries they mean.
        std::optional<std::string> spelling;
        if (NamesAnEntry(part)) {
            spelling = FileList.empty()
                           ? (HasEntry(DatabaseDir, part) ? std::optional(part) : std::nullopt)
                           : EntrySpelling(DatabaseDir, part);
        }
        if (!spelling) {
            log_.LogError(platform::FormatMessage(21065, leadingName, DatabaseDir));
            return refuse();
        }
        const std::string path = DatabaseDir + *spelling;
        if (ListedAlready(seen, path)) {
            log_.LogError(platform::FormatMessage(21066, path));
            return refuse();
        }
        FileList.push_back(path);
        log_.append(path);

        ChainFile file = ReadChainFile(editor, path);
        if (!file.accepted) {
            for (const std::string& line : file.said.Lines) {
                log_.append(line);
            }
            return refuse();
        }
        if (FileList.size() == 1) {
            primary = file;
        } else if (file.odsVersion != primary.odsVersion || file.pageSize != primary.pageSize) {
            log_.LogError(platform::FormatMessage(21067, path));
            return refuse();
        }
        if (!file.link) {
            return true;
        }
        leadingName = *file.link;
        part = filetable::StoredFilePart(leadingName);
    }
}

} // namespace tessaldrin
