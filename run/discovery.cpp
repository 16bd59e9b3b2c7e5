#include "run/discovery.h"

#include "platform/compare_string.h"
#include "platform/file_system_case.h"
#include "platform/find_files.h"
#include "platform/format_message.h"
#include "platform/local_path.h"

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

// Puts `path` at its place in ascending order, without regard to case. A
// path equal to one present but for case (only a file system that tells
// case apart holds both) stays beside it: either could be the file that a
// link names, and the plan refuses both.
void InsertSorted(std::vector<std::string>& list, std::string path) {
    const auto place =
        std::upper_bound(list.begin(), list.end(), path, [](const auto& a, const auto& b) {
            return platform::CompareTextIgnoreCase(a, b) < 0;
        });
    list.insert(place, std::move(path));
}

} // namespace

std::vector<std::string> DatabaseFiles::Directories() const {
    std::vector<std::string> dirs{DatabaseDir};
    dirs.insert(dirs.end(), SearchDirs.begin(), SearchDirs.end());
    return dirs;
}

DatabaseFiles FindDatabaseFiles(const std::string& programPath, RunLog& log) {
    DatabaseFiles found;
    found.DatabaseDir = DirectoryOf(programPath);
    // A program path without a directory would search the working directory,
    // which is never where the database is looked for. The first match is
    // the primary file; a match that differs from it only in case joins the
    // list (the plan refuses both), any other is named and left alone.
    std::string primary;
    std::vector<std::string> primaryTwins;
    std::vector<std::string> otherPrimaries;
    if (!found.DatabaseDir.empty()) {
        for (platform::FileSearch match(found.DatabaseDir + kPrimaryPattern); match.Found();
             match.Next()) {
            const std::string path = found.DatabaseDir + match.Name();
            if (primary.empty()) {
                primary = path;
            } else {
                (platform::FoldCase(path) == platform::FoldCase(primary) ? primaryTwins
                                                                         : otherPrimaries)
                    .push_back(path);
            }
        }
    }
    if (primary.empty()) {
        log.AppendMessage(msg::kNoDatabase);
        // The program's directory, which need not be the working directory.
        if (!found.DatabaseDir.empty()) {
            log.append(platform::Format(msg::kSearchedDirectory, found.DatabaseDir));
        }
        return found;
    }
    for (platform::FileSearch secondary(found.DatabaseDir + kSecondaryPattern); secondary.Found();
         secondary.Next()) {
        InsertSorted(found.FileList, found.DatabaseDir + secondary.Name());
    }
    found.FileList.insert(found.FileList.begin(), primaryTwins.begin(), primaryTwins.end());
    found.FileList.insert(found.FileList.begin(), primary);
    log.append("");
    log.AppendMessage(msg::kFilesHeading);
    for (const std::string& path : found.FileList) {
        log.append(path);
    }
    for (const std::string& path : otherPrimaries) {
        log.append(platform::Format(msg::kAnotherPrimary, path));
    }
    return found;
}

bool NeedsRenaming(const std::vector<std::string>& files) {
    return std::any_of(files.begin(), files.end(), [](const std::string& path) {
        const std::string extension = path.substr(ExtensionStart(path));
        const bool ignoresCase = platform::FileSystemIgnoresCase(path);
        return (ignoresCase ? UpperCaseAscii(extension) : extension) != kMovedExtension;
    });
}

std::string RenamedPath(const std::string& path) {
    return path.substr(0, ExtensionStart(path)) + kMovedExtension;
}

std::wstring PathKey(const std::string& path) {
    if (platform::FileSystemIgnoresCase(path)) {
        return platform::FoldCase(path);
    }
    std::wstring bytes;
    for (const char c : path) {
        bytes.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return bytes;
}

} // namespace tessaldrin
