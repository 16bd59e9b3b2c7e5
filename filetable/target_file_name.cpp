#include "filetable/target_file_name.h"

#include "platform/compare_string.h"
#include "platform/file_system_case.h"

#include <utility>

namespace tessaldrin::filetable {

std::string StoredFilePart(const std::string& stored) {
    const auto separator = stored.find_last_of("\\:/");
    return separator == std::string::npos ? stored : stored.substr(separator + 1);
}

std::string TargetFileName(const std::string& dir, const std::string& stored) {
    const std::string filePart = StoredFilePart(stored);
    const auto dot = filePart.rfind('.');
    const std::string base = dot == std::string::npos ? filePart : filePart.substr(0, dot);
    return base.empty() ? std::string{} : dir + base + ".TDB";
}

namespace {

// The stored file part, unchanged, in `dir`; empty for a name without a file
// part ("." and ".." name the directory or its parent, not a file in it).
std::string KeptNameTarget(const std::string& dir, const std::string& stored) {
    const std::string part = StoredFilePart(stored);
    return part.empty() || part == "." || part == ".." ? std::string{} : dir + part;
}

} // namespace

TargetNaming::TargetNaming(Rule rule, std::string dir, const std::vector<std::string>& files)
    : rule_(rule), dir_(std::move(dir)), ignoresCase_(platform::FileSystemIgnoresCase(dir_)) {
    for (const std::string& file : files) {
        exact_.insert(file);
        const auto [place, added] = folded_.emplace(platform::FoldCase(file), file);
        if (!added) {
            place->second.reset(); // two spellings: neither is the one meant
        }
    }
}

std::string TargetNaming::operator()(const std::string& stored) const {
    const std::string target =
        rule_ == Rule::kTessaldrin ? TargetFileName(dir_, stored) : KeptNameTarget(dir_, stored);
    if (target.empty() || ignoresCase_ || exact_.count(target) != 0) {
        return target;
    }
    const auto match = folded_.find(platform::FoldCase(target));
    return match != folded_.end() && match->second ? *match->second : target;
}

} // namespace tessaldrin::filetable
