// The program's own version texts and the command-line switches that ask for
// its version report at start-up.
#pragma once

#include "versioninfo/evi_komp.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tessaldrin::versioninfo {

// Gives the collector the version and date of this program.
void SetProgramVersion(TEVI& evi);

// The output that `argument` asks for: "/EVIS", "/EVIF" or "/EVIP", matched
// whole after upper-casing in the user's locale.
std::optional<TExVersionInfoTyp> VersionSwitchKind(const QString& argument);

// Runs `showVersionInfo` for every switch among `arguments` (the command line
// without the program name), in order, repeats repeated; others are ignored.
// The first output that fails ends the handling: its error goes to the
// application's standard exception display, and the rest is not examined.
void RunVersionSwitches(const QStringList& arguments,
                        const std::function<void(TExVersionInfoTyp)>& showVersionInfo);

} // namespace tessaldrin::versioninfo
