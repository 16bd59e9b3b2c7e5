// The Firebird client library, loaded at run time, and the entry points the
// program calls. The library is never linked at build time: a machine without
// it must get the program's own start-up message, not a loader error.
#pragma once

#include <ibase.h>

#include <chrono>
#include <string>

namespace tessaldrin::filetable {

// One element of the vector that isc_start_multiple takes; the client library
// defines it internally and ibase.h leaves it out.
struct TransactionElement {
    isc_db_handle* database;
    int parameterLength;
    const unsigned char* parameters;
};

struct ClientEntryPoints {
    decltype(&::isc_attach_database) attachDatabase = nullptr;
    decltype(&::isc_database_info) databaseInfo = nullptr;
    decltype(&::isc_detach_database) detachDatabase = nullptr;
    decltype(&::isc_start_multiple) startMultiple = nullptr;
    decltype(&::isc_commit_transaction) commitTransaction = nullptr;
    decltype(&::isc_rollback_transaction) rollbackTransaction = nullptr;
    decltype(&::isc_dsql_allocate_statement) allocateStatement = nullptr;
    decltype(&::isc_dsql_prepare) prepare = nullptr;
    decltype(&::isc_dsql_describe) describe = nullptr;
    decltype(&::isc_dsql_execute) execute = nullptr;
    decltype(&::isc_dsql_fetch) fetch = nullptr;
    decltype(&::isc_dsql_free_statement) freeStatement = nullptr;
    decltype(&::isc_service_attach) serviceAttach = nullptr;
    decltype(&::isc_service_detach) serviceDetach = nullptr;
    // Status interpretation: fb_interpret writes into a buffer of known size;
    // isc_interprete, present in every client library, does not and is used
    // only where fb_interpret is missing. At least one of the two is there.
    decltype(&::fb_interpret) interpret = nullptr;
    ISC_LONG (*interpreteUnbounded)(ISC_SCHAR*, ISC_STATUS**) = nullptr; // isc_interprete
    // The library's own shutdown; optional, a library without them has none.
    decltype(&::fb_shutdown) shutdown = nullptr;
    decltype(&::fb_shutdown_callback) shutdownCallback = nullptr;
};

// The loaded library. It stays loaded until the process ends: unloading it
// runs its own shutdown, which pauses 50 ms once anything was attached, and a
// program that has closed what it opened has nothing left for it to close.
class ClientLibrary {
public:
    // Loads `name` and resolves the entry points; throws ClientError with the
    // start-up text naming `name` when the library cannot be loaded or lacks
    // one of them.
    explicit ClientLibrary(const std::string& name);
    ~ClientLibrary();
    ClientLibrary(const ClientLibrary&) = delete;
    ClientLibrary& operator=(const ClientLibrary&) = delete;

    const ClientEntryPoints& api() const { return api_; }

    // Closes whatever is still attached through the library's own shutdown
    // (fb_shutdown), waiting at most kShutdownTimeoutMs; true when nothing
    // was open or the shutdown succeeded. Safe from any thread.
    bool Shutdown() const;
    // The same, whether or not anything is known to be open: on a signal a
    // call may be under way that has not attached yet.
    bool ShutdownNow() const;
    // ShutdownNow on a thread of its own, waited for at most `limit`: a call
    // that hangs on a server that never answers keeps the library's shutdown
    // from returning, and the program must end all the same.
    bool ShutdownWithin(std::chrono::milliseconds limit) const;
    const std::string& name() const { return name_; }

private:
    std::string name_;
    ClientEntryPoints api_;
};

// How long the library's shutdown may take to close open attachments.
inline constexpr unsigned kShutdownTimeoutMs = 5000;

// Attachments (database and service manager) that this process holds open
// through the client layer.
int OpenAttachments();

// The text by which a missing client library is reported.
std::string LibraryNotFoundText(const std::string& name);

} // namespace tessaldrin::filetable
