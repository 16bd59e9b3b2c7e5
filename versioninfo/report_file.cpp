#include "versioninfo/report_file.h"

#include "versioninfo/replace_file.h"

namespace tessaldrin::versioninfo {

void WriteReportFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    if (const auto failure = ReplaceFileContents(path, bytes)) {
        const char* what =
            failure->step == FileFailure::Step::Create ? "erstellt werden" : "geschrieben werden";
        throw EReportFile("Datei " + path + " kann nicht " + what + ". " + failure->reason);
    }
}

} // namespace tessaldrin::versioninfo
