// The identity of the file behind an open handle, for the implementations in
// this folder.
#pragma once

#include "platform/file_status.h"
#include "platform/windows/windows_api.h"

namespace tessaldrin::platform {

// Nothing when the system does not tell (GetFileInformationByHandle fails).
std::optional<FileIdentity> IdentityOfHandle(HANDLE file);

} // namespace tessaldrin::platform
