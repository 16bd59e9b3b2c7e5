#include "filetable/client_handles.h"

#include "filetable/client_error.h"
#include "filetable/database_info.h"
#include "filetable/status_text.h"

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

ServiceAttachment::ServiceAttachment(const ClientEntryPoints& api, const std::string& service,
                                     const std::vector<unsigned char>& parameters)
    : api_(api) {
    Status status;
    api_.serviceAttach(
        status.get(), CheckedLength<unsigned short>(service.size(), "Verbindungszeichenfolge"),
        service.c_str(), &handle_,
        CheckedLength<unsigned short>(parameters.size(), "Parameterblock"), Bytes(parameters));
    if (Failed(status.get())) {
        handle_ = 0;
        CheckStatus(api_, status.get());
    }
    ++openAttachments;
}

ServiceAttachment::~ServiceAttachment() {
    if (handle_ != 0) {
        Status ignored;
        api_.serviceDetach(ignored.get(), &handle_);
        if (!Failed(ignored.get())) {
            --openAttachments;
        }
    }
}

void ServiceAttachment::Detach() {
    Status status;
    api_.serviceDetach(status.get(), &handle_);
    handle_ = 0; // a failed detach leaves nothing the program could close again
    if (!Failed(status.get())) {
        --openAttachments;
    }
    CheckStatus(api_, status.get());
}

Attachment::Attachment(const ClientEntryPoints& api, const std::string& database,
                       const std::vector<unsigned char>& parameters)
    : api_(api) {
    Status status;
    api_.attachDatabase(
        status.get(), CheckedLength<short>(database.size(), "Verbindungszeichenfolge"),
        database.c_str(), &handle_, CheckedLength<short>(parameters.size(), "Parameterblock"),
        Bytes(parameters));
    if (Failed(status.get())) {
        handle_ = 0;
        CheckStatus(api_, status.get());
    }
    ++openAttachments;
}

Attachment::~Attachment() {
    if (handle_ != 0) {
        Status ignored;
        api_.detachDatabase(ignored.get(), &handle_);
        if (!Failed(ignored.get())) {
            --openAttachments;
        }
    }
}

int Attachment::ReadSqlDialect() {
    Status status;
    const char items[] = {kDialectInfoItem};
    char reply[kDialectReplySize] = {};
    api_.databaseInfo(status.get(), &handle_, sizeof items, items, sizeof reply, reply);
    CheckStatus(api_, status.get());
    return SqlDialectFromReply(reply, sizeof reply);
}

void Attachment::Detach() {
    Status status;
    api_.detachDatabase(status.get(), &handle_);
    // A failed detach leaves the attachment open in the client library, which
    // keeps its handle: the destructor tries once more.
    if (!Failed(status.get())) {
        handle_ = 0;
        --openAttachments;
    }
    CheckStatus(api_, status.get());
}

Transaction::Transaction(Attachment& attachment, const std::vector<unsigned char>& parameters)
    : api_(attachment.api()) {
    TransactionElement element{attachment.handle(),
                               CheckedLength<int>(parameters.size(), "Parameterblock"),
                               parameters.empty() ? nullptr : parameters.data()};
    Status status;
    api_.startMultiple(status.get(), &handle_, 1, &element);
    if (Failed(status.get())) {
        handle_ = 0;
        CheckStatus(api_, status.get());
    }
}

Transaction::~Transaction() {
    if (handle_ != 0) {
        Status ignored;
        api_.rollbackTransaction(ignored.get(), &handle_);
    }
}

void Transaction::Commit() {
    Status status;
    api_.commitTransaction(status.get(), &handle_);
    CheckStatus(api_, status.get()); // still active after a failed commit
    handle_ = 0;
}

void Transaction::Rollback() {
    Status status;
    api_.rollbackTransaction(status.get(), &handle_);
    // After a failed rollback the transaction is still there: the handle stays,
    // so that the destructor tries again before the attachment is detached.
    if (!Failed(status.get())) {
        handle_ = 0;
    }
    CheckStatus(api_, status.get());
}

Statement::Statement(Attachment& attachment) : api_(attachment.api()) {
    Status status;
    api_.allocateStatement(status.get(), attachment.handle(), &handle_);
    if (Failed(status.get())) {
        handle_ = 0;
        CheckStatus(api_, status.get());
    }
}

Statement::~Statement() {
    if (handle_ != 0) {
        Status ignored;
        api_.freeStatement(ignored.get(), &handle_, DSQL_drop);
    }
}

void Statement::Prepare(Transaction& transaction, const std::string& sql, int dialect,
                        XSQLDA* output) {
    Status status;
    api_.prepare(status.get(), transaction.handle(), &handle_,
                 CheckedLength<unsigned short>(sql.size(), "SQL-Anweisung"), sql.c_str(),
                 static_cast<unsigned short>(dialect), output);
    CheckStatus(api_, status.get());
}

void Statement::Describe(int dialect, XSQLDA* output) {
    Status status;
    api_.describe(status.get(), &handle_, static_cast<unsigned short>(dialect), output);
    CheckStatus(api_, status.get());
}

void Statement::Execute(Transaction& transaction, int dialect, const XSQLDA* input) {
    Status status;
    api_.execute(status.get(), transaction.handle(), &handle_, static_cast<unsigned short>(dialect),
                 input);
    CheckStatus(api_, status.get());
}

bool Statement::Fetch(int dialect, const XSQLDA* output) {
    Status status;
    const ISC_STATUS result =
        api_.fetch(status.get(), &handle_, static_cast<unsigned short>(dialect), output);
    constexpr ISC_STATUS kEndOfCursor = 100;
    if (result == kEndOfCursor) {
        return false;
    }
    CheckStatus(api_, status.get());
    if (result != 0) {
        throw ClientError("isc_dsql_fetch meldet " + std::to_string(result));
    }
    return true;
}

} // namespace tessaldrin::filetable
