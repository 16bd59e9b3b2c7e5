#include "filetable/target_file_name.h"

namespace tessaldrin::filetable {

std::string StoredFilePart(const std::string& stored) {
    const auto separator = stored.find_last_of("\\:/");
    return separator == std::string::npos ? stored : stored.substr(separator + 1);
}

std::string TargetFileName(const std::string& dir, const std::string& stored) {
    const std::string filePart = StoredFilePart(stored);
    const auto dot = filePart.rfind('.');
    const std::string base = dot == std::string::npos ? filePart : filePart.substr(0, dot);
    return dir + base + ".TDB";
}

} // namespace tessaldrin::filetable
