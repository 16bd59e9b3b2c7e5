#include "filetable/target_file_name.h"

#include "platform/compare_string.h"
#include "platform/file_system_case.h"
#include "platform/local_path.h"

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
    : TargetNaming(rule, std::vector<std::string>{std::move(dir)}, files) {}

TargetNaming::TargetNaming(Rule rule, const std::vector<std::string>& dirs,
                           const std::vector<std::string>& files)
    : rule_(rule) {
    if (!dirs.empty()) {
        dirs_.clear();
    }
    for (const std::string& dir : dirs) {
        dirs_.push_back({dir, platform::FileSystemIgnoresCase(dir)});
        if (rule_ == Rule::kTessaldrin) {
            break; // every file is renamed into the one directory
        }
    }
    for (const std::string& file : files) {
        names_.Add(platform::DirectoryPart(file), platform::FilePart(file));
    }
}

std::string TargetNaming::operator()(const std::string& stored) const {
    const std::string& first = dirs_.front().path;
    const std::string target =
        rule_ == Rule::kTessaldrin ? TargetFileName(first, stored) : KeptNameTarget(first, stored);
    if (target.empty()) {
        return target;
    }
    // The file part as the rule made it, looked for in each directory.
    const std::string part = target.substr(first.size());
    for (const Directory& dir : dirs_) {
        if (const std::optional<std::string> spelling = names_.Spelling(dir.path, part)) {
            // Where case does not tell names apart, the stored spelling
            // opens the file as well as the one on disk.
            return dir.path + (dir.ignoresCase ? part : *spelling);
        }
    }
    return target;
}

} // namespace tessaldrin::filetable
