#include "app/adjustment.h"

#include "header/chain_relinking_pass.h"
#include "platform/compare_string.h"
#include "platform/file_system_case.h"
#include "platform/find_files.h"
#include "platform/format_message.h"
#include "platform/local_path.h"
#include "platform/module_file_name.h"

#include <algorithm>
#include <utility>

namespace tessaldrin {
namespace {

constexpr const char* kPrimaryPattern = "Tessaldrin.?DB";
constexpr const char* kSecondaryPattern = "Tessaldrin_*.?DB";
constexpr const char* kMovedExtension = ".TDB";

// Up to and including the last separator; empty when there is none.
std::string DirectoryOf(const std::string& path) {
    const auto separator = platform::LastPathSeparator(path);
    return separator == std::string::npos ? std::string{} : path.substr(0, separator + 1);
}

// Where the extension starts: the last "." with no separator after it.
std::string::size_type ExtensionStart(const std::string& path) {
    const auto dot = path.rfind('.');
    const auto separator = platform::LastPathSeparator(path);
    const bool inFileName =
        dot != std::string::npos && (separator == std::string::npos || dot > separator);
    return inFileName ? dot : path.size();
}

std::string UpperCaseAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// Puts `path` at its place in ascending order; a path equal to one present,
// in the comparison that ignores case, is dropped.
void InsertSorted(std::vector<std::string>& list, std::string path) {
    const auto place =
        std::lower_bound(list.begin(), list.end(), path, [](const auto& a, const auto& b) {
            return platform::CompareTextIgnoreCase(a, b) < 0;
        });
    if (place == list.end() || platform::CompareTextIgnoreCase(*place, path) != 0) {
        list.insert(place, std::move(path));
    }
}

} // namespace

Adjustment::Adjustment(RunLog& log, std::string executablePath)
    : log_(log), executablePath_(executablePath.empty() ? platform::ModuleFileName()
                                                        : std::move(executablePath)) {}

bool Adjustment::FindDatabaseFiles() {
    held_.Release();
    FileList.clear();
    DatabaseDir = DirectoryOf(executablePath_);
    if (DataModule != nullptr) {
        DataModule->DatabaseDir = DatabaseDir;
    }
    // A program path without a directory would search the working directory,
    // which is never where the database is looked for.
    bool found = false;
    if (!DatabaseDir.empty()) {
        const platform::FileSearch primary(DatabaseDir + kPrimaryPattern);
        found = primary.Found();
        if (found) {
            PrimaryFile = DatabaseDir + primary.Name();
        }
    }
    if (!found) {
        log_.AppendMessage(21032);
        return false;
    }
    for (platform::FileSearch secondary(DatabaseDir + kSecondaryPattern); secondary.Found();
         secondary.Next()) {
        InsertSorted(FileList, DatabaseDir + secondary.Name());
    }
    FileList.insert(FileList.begin(), PrimaryFile);
    log_.append("");
    log_.AppendMessage(21031);
    for (const std::string& path : FileList) {
        log_.append(path);
    }
    return true;
}

bool Adjustment::HoldDatabaseFiles() {
    return held_.Take(FileList);
}

// Where the file system ignores case, ".tdb" opens the file that the links
// name ".TDB"; where it does not, only the exact spelling does.
bool Adjustment::NeedsRenaming() const {
    const bool ignoresCase = platform::FileSystemIgnoresCase(DatabaseDir);
    return std::any_of(FileList.begin(), FileList.end(), [ignoresCase](const std::string& path) {
        const std::string extension = path.substr(ExtensionStart(path));
        return (ignoresCase ? UpperCaseAscii(extension) : extension) != kMovedExtension;
    });
}

void Adjustment::RenameFiles() {
    log_.append("");
    log_.AppendMessage(21034);
    if (!held_.Taken()) {
        HoldDatabaseFiles();
    }
    // While any file of the chain is not held, none is renamed: the run will
    // not change part of a database that another process is using.
    const bool allHeld = held_.HoldsAll();
    for (std::size_t index = 0; index < FileList.size(); ++index) {
        std::string& entry = FileList[index];
        std::string renamed = RenamedPath(entry);
        // A rename that fails is silent; the entry keeps the name on disk.
        platform::LockedFile* file = held_.At(index);
        if (allHeld && file != nullptr && file->MoveTo(renamed)) {
            log_.append(platform::FormatMessage(21035, entry, renamed));
            entry = std::move(renamed);
        }
    }
}

std::string Adjustment::RenamedPath(const std::string& path) {
    return path.substr(0, ExtensionStart(path)) + kMovedExtension;
}

bool Adjustment::ChangeHeaderLinks() {
    if (!held_.Taken()) {
        HoldDatabaseFiles();
    }
    const bool result = header::ChangeHeaderLinks(FileList, DatabaseDir, log_, held_,
                                                  LinkTarget(), header::PageChange::kWrite);
    held_.Release();
    return result;
}

} // namespace tessaldrin
