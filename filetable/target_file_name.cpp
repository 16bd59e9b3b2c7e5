#include "filetable/target_file_name.h"

namespace tessaldrin::filetable {

std::string TargetFileName(const std::string& dir, const std::string& stored) {
    const auto separator = stored.find_last_of("\\:/");
    const std::string filePart =
        separator == std::string::npos ? stored : stored.substr(separator + 1);
    const auto dot = filePart.rfind('.');
    const std::string base = dot == std::string::npos ? filePart : filePart.substr(0, dot);
    return dir + base + ".TDB";
}

} // namespace tessaldrin::filetable
