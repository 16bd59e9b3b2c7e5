#include "filetable/target_file_name.h"

#include "platform/compare_string.h"
#include "platform/file_status.h"
#include "platform/file_system_case.h"

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

std::string SpelledAsOnDisk(const std::string& target, const std::vector<std::string>& discovered) {
    if (target.empty() || platform::FileSystemIgnoresCase(target) ||
        platform::EntryExists(target)) {
        return target;
    }
    const std::wstring folded = platform::FoldCase(target);
    const std::string* match = nullptr;
    for (const std::string& file : discovered) {
        if (platform::FoldCase(file) == folded) {
            if (match != nullptr) {
                return target; // two candidates: neither spelling is the one meant
            }
            match = &file;
        }
    }
    return match != nullptr ? *match : target;
}

} // namespace tessaldrin::filetable
