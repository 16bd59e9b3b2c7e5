// The program's own version texts and the command-line switches that ask for
// its version report at start-up. Toolkit-free: both window programs run
// them from their main window's creation.
#pragma once

#include "versioninfo/evi_komp.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::versioninfo {

// The settings that the main window's layout stores for its collector EVI1:
// the collector's own version, date and name, whose writes it ignores.
void SetStoredSettings(TEVI& evi);

// Gives the collector the version and date of this program.
void SetProgramVersion(TEVI& evi);

// The output that `argument` asks for: "/EVIS", "/EVIF" or "/EVIP", matched
// whole after upper-casing in the user's locale.
std::optional<TExVersionInfoTyp> VersionSwitchKind(const std::string& argument);

// Runs `showVersionInfo` for every switch among `arguments` (the command line
// without the program name), in order, repeats repeated; others are ignored.
// The first output that fails ends the handling: its error passes to the
// caller (the main window's creation hands it to the standard exception
// display), and the rest is not examined.
void RunVersionSwitches(const std::vector<std::string>& arguments,
                        const std::function<void(TExVersionInfoTyp)>& showVersionInfo);

// The last steps of a main window's creation, in every window program: the
// program's version texts on `evi` (SetProgramVersion), then the switches
// among `arguments` (RunVersionSwitches). Errors pass to the caller.
void SetVersionAndRunSwitches(TEVI& evi, const std::vector<std::string>& arguments,
                              const std::function<void(TExVersionInfoTyp)>& showVersionInfo);

} // namespace tessaldrin::versioninfo
