// What the Win32 main window's creation does for the version report: its
// collector EVI1 shows the report in the Win32 version window, and its last
// steps give EVI1 the program's version texts and carry out the switches
// "/EVIS", "/EVIF" and "/EVIP" of the process's command line.
#pragma once

#include "versioninfo/evi_komp.h"

#include <memory>

namespace tessaldrin::versioninfo {

// EVI1: a collector whose screen output is the Win32 TfmEVI.
std::unique_ptr<TEVI> CreateVersionInfo();

// The version texts on `evi`, then the switches among the process's
// arguments in order, each through `evi`'s Info. The first output that fails
// ends them: its error passes to the caller, whose exception display shows it.
void StartVersionInfo(TEVI& evi);

} // namespace tessaldrin::versioninfo
