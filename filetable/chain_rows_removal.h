// The rows of RDB$FILES that name the secondary files of a database that has
// become one file, deleted through the server. Only servers that let a user
// change RDB$FILES (ODS 11 and older) take the deletion.
#pragma once

#include "filetable/dm_files.h"
#include "runlog/run_log.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessaldrin::filetable {

// Deletes, in one transaction through the server on `port`, the rows of the
// database at `primaryFile` that name its chain's secondary files (no shadow
// number, no flags: a shadow's or a difference file's rows stay), when there
// are exactly `secondaries` of them; otherwise nothing. Logs the count and
// every error; whether the deletion was committed. Never throws.
bool RemoveChainRows(const TdmFiles& dmFiles, std::int32_t port, const std::string& primaryFile,
                     std::size_t secondaries, RunLog& log);

} // namespace tessaldrin::filetable
