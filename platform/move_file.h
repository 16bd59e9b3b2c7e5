// The rename that never overwrites (MoveFileA).
#pragma once

#include <string>

namespace tessaldrin::platform {

// Renames `from` to `to` as a whole, or leaves both names as they were. Fails
// when `to` names another existing entry, when `from` does not exist or is no
// database file that LockedFile would open (a link, a file with a second
// name, anything but a regular file), and while another process holds a lock
// on `from` (as the Windows rename fails on a file that a database server
// holds open). The lock that the test takes is held across the rename itself.
// Renaming a path onto itself succeeds.
bool MoveFile(const std::string& from, const std::string& to);

} // namespace tessaldrin::platform
