// The Win32 main window's collector EVI1, whose screen output is the Win32
// version window.
#pragma once

#include "versioninfo/evi_komp.h"

#include <memory>

namespace tessaldrin::versioninfo {

// EVI1: a collector whose screen output is the Win32 TfmEVI.
std::unique_ptr<TEVI> CreateVersionInfo();

} // namespace tessaldrin::versioninfo
