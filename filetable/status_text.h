// The text by which a failed client library call is reported.
#pragma once

#include "filetable/client_error.h"
#include "filetable/client_library.h"

#include <string>
#include <vector>

namespace tessaldrin::filetable {

// `messages` in order, with CR LF between two unless the text so far already
// ends in a line feed; one "." at the very end removed.
std::string JoinStatusMessages(const std::vector<std::string>& messages);

// Every message that the library interprets from `status`, joined as above.
std::string StatusText(const ClientEntryPoints& api, const ISC_STATUS* status);

// The error codes of `status` in order, each with its text arguments; the
// warnings after them are left out.
std::vector<StatusItem> StatusItems(const ISC_STATUS* status);

// True when `items` say that the server refuses an UPDATE of RDB$FILES: a
// system table that this server does not let anyone change, or no permission
// to update it.
bool RefusesFileTableUpdate(const std::vector<StatusItem>& items);

} // namespace tessaldrin::filetable
