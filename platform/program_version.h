// The version and date that this program gives itself, in the form its
// version report shows them, so that the window's report and the console
// front end show the same; on Windows the programs' version resource carries
// the same version (platform/program_version_number.h.in).
#pragma once

#include <string>
#include <vector>

namespace tessaldrin::platform {

// " 1.11.002": the format "%2i.%02i.%03i" of 1, 11 and 2.
std::string ProgramVersion();
// "01.07.2015".
std::string ProgramVersionDate();

// The report's first three lines for the program file `fileName` (its name
// with its extension): "Datei:", "Version:" and "Datum:" with their values.
std::vector<std::string> ProgramIdentityLines(const std::string& fileName);

} // namespace tessaldrin::platform
