// Why a database file could not be opened for update and held, taken from the
// failing call's own error, and the reason in the user's words.
#pragma once

#include <string>

namespace tessaldrin::platform {

struct OpenFailure {
    enum class Reason {
        kMissing,            // no entry by that name
        kNoPermission,       // the user may not write the file
        kHeldElsewhere,      // another program (the server) has it open or locked
        kLink,               // a symbolic link or other redirecting entry
        kNotRegularFile,     // a directory, FIFO, device or the like
        kSecondName,         // a file that has another name as well
        kReadOnlyFileSystem, // the file system or medium takes no writes
        kNameTooLong,        // longer than the program or the system takes
        // Whether another program has it open cannot be told: the user neither
        // owns the file nor may ask (Linux: CAP_LEASE), or the file system
        // keeps no record of it (a network drive).
        kHoldersUnknownNoRight,
        kHoldersUnknownFileSystem,
        kOther, // any other error; `systemError` tells which
    };
    Reason reason = Reason::kOther;
    // The failing call's error number (errno, or GetLastError on Windows).
    long systemError = 0;

    bool operator==(const OpenFailure&) const = default;
};

// The reason as the sentence that follows "Grund: " in the run log.
std::string OpenFailureText(const OpenFailure& failure);

} // namespace tessaldrin::platform
