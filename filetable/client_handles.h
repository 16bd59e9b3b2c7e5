// Owners of the client library's handles: each closes its handle on every way
// out. A failed call throws ClientError with the interpreted status text; a
// call that the server did not answer in time, NoAnswer.
#pragma once

#include "filetable/answer_watch.h"
#include "filetable/client_library.h"

#include <string>
#include <vector>

namespace tessaldrin::filetable {

// Throws ClientError with the text of `status` when a call reported failure.
void CheckStatus(const ClientEntryPoints& api, const ISC_STATUS* status);

// The client library as one server step calls it: every call within the
// bound of the step's watch.
struct ServerSession {
    const ClientEntryPoints& api;
    AnswerWatch& watch;
};

// An attachment to the service manager.
class ServiceAttachment {
public:
    ServiceAttachment(ServerSession session, const std::string& service,
                      const std::vector<unsigned char>& parameters);
    ~ServiceAttachment();
    ServiceAttachment(const ServiceAttachment&) = delete;
    ServiceAttachment& operator=(const ServiceAttachment&) = delete;

    // Detaches now, reporting a failure; the destructor then does nothing.
    void Detach();

private:
    ServerSession session_;
    isc_svc_handle handle_ = 0;
};

// An attachment to a database.
class Attachment {
public:
    Attachment(ServerSession session, const std::string& database,
               const std::vector<unsigned char>& parameters);
    ~Attachment();
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    // The database's SQL dialect; a reply that does not carry the dialect item
    // first counts as dialect 1.
    int ReadSqlDialect();
    // Detaches now, reporting a failure; the destructor then does nothing.
    void Detach();

    isc_db_handle* handle() { return &handle_; }
    const ServerSession& session() const { return session_; }

private:
    ServerSession session_;
    isc_db_handle handle_ = 0;
};

// A transaction on one attachment; rolled back when it ends while still active.
class Transaction {
public:
    Transaction(Attachment& attachment, const std::vector<unsigned char>& parameters);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool Active() const { return handle_ != 0; }
    // A commit that the server did not answer in time may or may not have
    // happened: its NoAnswer says so.
    void Commit();
    void Rollback();

    isc_tr_handle* handle() { return &handle_; }

private:
    ServerSession session_;
    isc_tr_handle handle_ = 0;
};

// A dynamic SQL statement; dropped when it ends.
class Statement {
public:
    explicit Statement(Attachment& attachment);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Prepares `sql`; `output`, when given, receives the description of as
    // many columns as it has room for.
    void Prepare(Transaction& transaction, const std::string& sql, int dialect, XSQLDA* output);
    void Describe(int dialect, XSQLDA* output);
    void Execute(Transaction& transaction, int dialect, const XSQLDA* input);
    // True when a row was fetched into `output`, false at the end of the result.
    bool Fetch(int dialect, const XSQLDA* output);

private:
    ServerSession session_;
    isc_stmt_handle handle_ = 0;
};

} // namespace tessaldrin::filetable
