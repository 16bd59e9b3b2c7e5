// The version report file: plain text lines, each ending in CR LF.
// Toolkit-free.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace tessaldrin::versioninfo {

// The file layer's error: the report file could not be created or written.
class EReportFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes `lines` to `path`, replacing whatever entry has that name; a link
// there is replaced, and the file it names stays as it was.
void WriteReportFile(const std::string& path, const std::vector<std::string>& lines);

} // namespace tessaldrin::versioninfo
