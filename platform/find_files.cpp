#include "platform/find_files.h"

#include "platform/compare_string.h"
#include "platform/wildcard_match.h"

#include <algorithm>
#include <dirent.h>
#include <memory>

namespace tessaldrin::platform {
namespace {

struct DirectoryCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using Directory = std::unique_ptr<DIR, DirectoryCloser>;

bool NtfsOrder(const std::string& a, const std::string& b) {
    const std::wstring upperA = UpcaseText(a);
    const std::wstring upperB = UpcaseText(b);
    // Names equal but for case can both exist here; keep their order stable.
    return upperA != upperB ? upperA < upperB : a < b;
}

} // namespace

bool MatchesPattern(const std::string& pattern, const std::string& name) {
    return MatchesFolded(FoldCase(pattern), FoldCase(name));
}

FileSearch::FileSearch(const std::string& pathPattern) {
    const auto slash = pathPattern.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : pathPattern.substr(0, slash + 1);
    const std::wstring pattern =
        FoldCase(slash == std::string::npos ? pathPattern : pathPattern.substr(slash + 1));
    const Directory directory(opendir(dir.c_str()));
    if (!directory) {
        return;
    }
    while (const dirent* entry = readdir(directory.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && MatchesFolded(pattern, FoldCase(name))) {
            names_.push_back(name);
        }
    }
    std::sort(names_.begin(), names_.end(), NtfsOrder);
}

bool FileSearch::Next() {
    if (next_ < names_.size()) {
        ++next_;
    }
    return Found();
}

} // namespace tessaldrin::platform
