#include "platform/windows/windows_api.h"

#include "platform/compare_string.h"
#include "platform/find_files.h"
#include "platform/local_path.h"
#include "platform/wildcard_match.h"

namespace tessaldrin::platform {

bool MatchesPattern(const std::string& pattern, const std::string& name) {
    return MatchesFolded(FoldCase(pattern), FoldCase(name));
}

FileSearch::FileSearch(const std::string& pathPattern) {
    if (pathPattern.find('\0') != std::string::npos) {
        return;
    }
    const auto separator = LastPathSeparator(pathPattern);
    const std::wstring pattern =
        FoldCase(separator == std::string::npos ? pathPattern : pathPattern.substr(separator + 1));
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(pathPattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = found.cFileName;
        // The system also matches the short 8.3 alias of a name and lets "?"
        // take no character before a dot; the long name decides here, by the
        // same rule as everywhere.
        if (name != "." && name != ".." && MatchesFolded(pattern, FoldCase(name))) {
            names_.push_back(name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

bool FileSearch::Next() {
    if (next_ < names_.size()) {
        ++next_;
    }
    return Found();
}

} // namespace tessaldrin::platform
