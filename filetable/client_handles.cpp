#include "filetable/client_handles.h"

#include "filetable/client_error.h"
#include "filetable/database_info.h"
#include "filetable/status_text.h"
#include "platform/format_message.h"

#include <atomic>
#include <limits>

namespace tessaldrin::filetable {
namespace {

// A status vector as the client library fills it.
struct Status {
    ISC_STATUS_ARRAY vector{};
    ISC_STATUS* get() { return vector; }
};

std::atomic<int> openAttachments{0};

bool Failed(const ISC_STATUS* status) {
    return status[0] == isc_arg_gds && status[1] != 0;
}

template <typename Length> Length CheckedLength(std::size_t size, const char* what) {
    if (size > static_cast<std::size_t>(std::numeric_limits<Length>::max())) {
        throw ClientError(std::string(what) + " ist zu lang für die Client-Bibliothek");
    }
    return static_cast<Length>(size);
}

const char* Bytes(const std::vector<unsigned char>& block) {
    return reinterpret_cast<const char*>(block.data());
}

} // namespace

int OpenAttachments() {
    return openAttachments.load();
}

void CheckStatus(const ClientEntryPoints& api, const ISC_STATUS* status) {
    if (Failed(status)) {
        throw ClientError(StatusText(api, status), StatusItems(status));
    }
}

ServiceAttachment::ServiceAttachment(ServerSession session, const std::string& service,
                                     const std::vector<unsigned char>& parameters)
    : session_(session) {
    Status status;
    session_.watch.Call([&] {
        session_.api.serviceAttach(
            status.get(), CheckedLength<unsigned short>(service.size(), "Verbindungszeichenfolge"),
            service.c_str(), &handle_,
            CheckedLength<unsigned short>(parameters.size(), "Parameterblock"), Bytes(parameters));
    });
    if (Failed(status.get())) {
        handle_ = 0;
        CheckStatus(session_.api, status.get());
    }
    ++openAttachments;
}

ServiceAttachment::~ServiceAttachment() {
    if (handle_ != 0) {
        Status ignored;
        session_.watch.Release([&] { session_.api.serviceDetach(ignored.get(), &handle_); });
        if (!Failed(ignored.get())) {
            --openAttachments;
        }
    }
}

void ServiceAttachment::Detach() {
    Status status;
    const bool answered =
        session_.watch.Release([&] { session_.api.serviceDetach(status.get(), &handle_); });
    handle_ = 0; // a failed detach leaves nothing the program could close again
    if (!Failed(status.get())) {
        --openAttachments;
    }
    if (!answered) {
        throw NoAnswer(NoAnswerText());
    }
    CheckStatus(session_.api, status.get());
}

Attachment::Attachment(ServerSession session, const std::string& database,
                       const std::vector<unsigned char>& parameters)
    : session_(session) {
    Status status;
    session_.watch.Call([&] {
        session_.api.attachDatabase(
            status.get(), CheckedLength<short>(database.size(), "Verbindungszeichenfolge"),
            database.c_str(), &handle_, CheckedLength<short>(parameters.size(), "Parameterblock"),
            Bytes(parameters));
    });
    if (Failed(status.get())) {
        handle_ = 0;
        CheckStatus(session_.api, status.get());
    }
    ++openAttachments;
}

Attachment::~Attachment() {
    if (handle_ != 0) {
        Status ignored;
        session_.watch.Release([&] { session_.api.detachDatabase(ignored.get(), &handle_); });
        if (!Failed(ignored.get())) {
            --openAttachments;
        }
    }
}

int Attachment::ReadSqlDialect() {
    Status status;
    const char items[] = {kDialectInfoItem};
    char reply[kDialectReplySize] = {};
    session_.watch.Call([&] {
        session_.api.databaseInfo(status.get(), &handle_, sizeof items, items, sizeof reply, reply);
    });
    CheckStatus(session_.api, status.get());
    return SqlDialectFromReply(reply, sizeof reply);
}

void Attachment::Detach() {
    Status status;
    const bool answered =
        session_.watch.Release([&] { session_.api.detachDatabase(status.get(), &handle_); });
    // A failed detach leaves the attachment open in the client library, which
    // keeps its handle: the destructor tries once more.
    if (!Failed(status.get())) {
        handle_ = 0;
        --openAttachments;
    }
    if (!answered) {
        throw NoAnswer(NoAnswerText());
    }
    CheckStatus(session_.api, status.get());
}

Transaction::Transaction(Attachment& attachment, const std::vector<unsigned char>& parameters)
    : session_(attachment.session()) {
    TransactionElement element{attachment.handle(),
                               CheckedLength<int>(parameters.size(), "Parameterblock"),
                               parameters.empty() ? nullptr : parameters.data()};
    Status status;
    session_.watch.Call([&] { session_.api.startMultiple(status.get(), &handle_, 1, &element); });
    if (Failed(status.get())) {
        handle_ = 0;
        CheckStatus(session_.api, status.get());
    }
}

Transaction::~Transaction() {
    if (handle_ != 0) {
        Status ignored;
        session_.watch.Release([&] { session_.api.rollbackTransaction(ignored.get(), &handle_); });
    }
}

void Transaction::Commit() {
    Status status;
    try {
        session_.watch.Call([&] { session_.api.commitTransaction(status.get(), &handle_); });
    } catch (const NoAnswer& error) {
        // Sent, but never answered: the server may have carried it out.
        throw NoAnswer(std::string(error.what()) + "\r\n" +
                       platform::Format(msg::kCommitUnanswered));
    }
    CheckStatus(session_.api, status.get()); // still active after a failed commit
    handle_ = 0;
}

void Transaction::Rollback() {
    Status status;
    const bool answered =
        session_.watch.Release([&] { session_.api.rollbackTransaction(status.get(), &handle_); });
    // After a failed rollback the transaction is still there: the handle stays,
    // so that the destructor tries again before the attachment is detached.
    if (!Failed(status.get())) {
        handle_ = 0;
    }
    if (!answered) {
        throw NoAnswer(NoAnswerText());
    }
    CheckStatus(session_.api, status.get());
}

Statement::Statement(Attachment& attachment) : session_(attachment.session()) {
    Status status;
    session_.watch.Call(
        [&] { session_.api.allocateStatement(status.get(), attachment.handle(), &handle_); });
    if (Failed(status.get())) {
        handle_ = 0;
        CheckStatus(session_.api, status.get());
    }
}

Statement::~Statement() {
    if (handle_ != 0) {
        Status ignored;
        session_.watch.Release(
            [&] { session_.api.freeStatement(ignored.get(), &handle_, DSQL_drop); });
    }
}

void Statement::Prepare(Transaction& transaction, const std::string& sql, int dialect,
                        XSQLDA* output) {
    Status status;
    session_.watch.Call([&] {
        session_.api.prepare(status.get(), transaction.handle(), &handle_,
                             CheckedLength<unsigned short>(sql.size(), "SQL-Anweisung"),
                             sql.c_str(), static_cast<unsigned short>(dialect), output);
    });
    CheckStatus(session_.api, status.get());
}

void Statement::Describe(int dialect, XSQLDA* output) {
    Status status;
    session_.watch.Call([&] {
        session_.api.describe(status.get(), &handle_, static_cast<unsigned short>(dialect), output);
    });
    CheckStatus(session_.api, status.get());
}

void Statement::Execute(Transaction& transaction, int dialect, const XSQLDA* input) {
    Status status;
    session_.watch.Call([&] {
        session_.api.execute(status.get(), transaction.handle(), &handle_,
                             static_cast<unsigned short>(dialect), input);
    });
    CheckStatus(session_.api, status.get());
}

bool Statement::Fetch(int dialect, const XSQLDA* output) {
    Status status;
    ISC_STATUS result = 0;
    session_.watch.Call([&] {
        result = session_.api.fetch(status.get(), &handle_, static_cast<unsigned short>(dialect),
                                    output);
    });
    constexpr ISC_STATUS kEndOfCursor = 100;
    if (result == kEndOfCursor) {
        return false;
    }
    CheckStatus(session_.api, status.get());
    if (result != 0) {
        throw ClientError("isc_dsql_fetch meldet " + std::to_string(result));
    }
    return true;
}

} // namespace tessaldrin::filetable
