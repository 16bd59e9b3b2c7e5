// The stand-in client library (see standin_control.h). It implements only what
// the data module calls, checks the arguments it is given, and journals them.
#include "tests/filetable/standin_fbclient/standin_control.h"

#include <ibase.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>
#include <map>
#include <sstream>

namespace standin {
namespace {

enum class Kind { select, update };

struct StatementState {
    std::optional<Kind> kind;
    std::vector<Row> result;
    std::size_t position = 0;
    bool open = false;
};

struct Failure {
    int occurrence;
    std::vector<std::string> messages;
};

struct State {
    std::vector<Row> committed;
    std::vector<Row> pending;
    std::vector<unsigned char> infoReply{isc_info_db_sql_dialect, 1, 0, 3, isc_info_end};
    std::map<std::string, Failure> failures;
    std::map<std::string, int> calls;
    std::vector<std::string> journal;
    std::vector<std::string> interpretations;
    bool attached = false;
    bool serviceAttached = false;
    bool inTransaction = false;
    std::map<isc_stmt_handle, StatementState> statements;
    isc_stmt_handle nextStatement = 1;
    // Message texts that status vectors point into; stable while the state lives.
    std::deque<std::string> texts;
};

State& S() {
    static State state;
    return state;
}

std::string Hex(const void* data, std::size_t size) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

void SetFailure(ISC_STATUS* status, const std::vector<std::string>& messages) {
    ISC_STATUS* out = status;
    for (const std::string& message : messages) {
        // Two arguments per message fit the vector; the rest is cut off.
        if (out + 5 > status + ISC_STATUS_LENGTH) {
            break;
        }
        S().texts.push_back(message);
        *out++ = isc_arg_gds;
        *out++ = isc_random;
        *out++ = isc_arg_string;
        *out++ = reinterpret_cast<ISC_STATUS>(S().texts.back().c_str());
    }
    *out = isc_arg_end;
}

void SetSuccess(ISC_STATUS* status) {
    status[0] = isc_arg_gds;
    status[1] = 0;
    status[2] = isc_arg_end;
}

// Journals the call; true when it is to fail (the status vector is then set).
bool Called(const std::string& entryPoint, const std::string& details, ISC_STATUS* status) {
    const int occurrence = ++S().calls[entryPoint];
    std::string line = entryPoint + (details.empty() ? "" : " " + details);
    const auto failure = S().failures.find(entryPoint);
    if (failure != S().failures.end() && failure->second.occurrence == occurrence) {
        S().journal.push_back(line + " failed");
        SetFailure(status, failure->second.messages);
        return true;
    }
    S().journal.push_back(line);
    SetSuccess(status);
    return false;
}

ISC_STATUS Refuse(ISC_STATUS* status, const std::string& why) {
    S().journal.push_back("refused: " + why);
    SetFailure(status, {"stand-in refuses: " + why});
    return status[1];
}

std::string StatementName(isc_stmt_handle handle) {
    return "S" + std::to_string(handle);
}

StatementState* FindStatement(const isc_stmt_handle* handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    const auto it = S().statements.find(*handle);
    return it == S().statements.end() ? nullptr : &it->second;
}

bool StartsWithWord(const std::string& text, const char* word) {
    const std::size_t length = std::strlen(word);
    if (text.size() < length) {
        return false;
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) {
            return false;
        }
    }
    return true;
}

short BaseType(const XSQLVAR& var) {
    return static_cast<short>(var.sqltype & ~1);
}
bool IsNull(const XSQLVAR& var) {
    return (var.sqltype & 1) != 0 && var.sqlind && *var.sqlind < 0;
}

// An input parameter as journal text; false when its form is not one the
// stand-in reads.
bool ReadParameter(const XSQLVAR& var, std::optional<std::string>& text,
                   std::optional<long long>& number, std::string& shown) {
    if (var.sqldata == nullptr && !IsNull(var)) {
        return false;
    }
    if (IsNull(var)) {
        shown = "NULL";
        return true;
    }
    switch (BaseType(var)) {
    case SQL_TEXT:
        text = std::string(var.sqldata, static_cast<std::size_t>(var.sqllen));
        shown = "'" + *text + "'";
        return true;
    case SQL_VARYING: {
        ISC_USHORT length = 0;
        std::memcpy(&length, var.sqldata, sizeof length);
        text = std::string(var.sqldata + sizeof length, length);
        shown = "'" + *text + "'";
        return true;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        long long value = 0;
        if (BaseType(var) == SQL_SHORT && var.sqllen == sizeof(ISC_SHORT)) {
            ISC_SHORT v = 0;
            std::memcpy(&v, var.sqldata, sizeof v);
            value = v;
        } else if (BaseType(var) == SQL_LONG && var.sqllen == sizeof(ISC_LONG)) {
            ISC_LONG v = 0;
            std::memcpy(&v, var.sqldata, sizeof v);
            value = v;
        } else if (BaseType(var) == SQL_INT64 && var.sqllen == sizeof(ISC_INT64)) {
            ISC_INT64 v = 0;
            std::memcpy(&v, var.sqldata, sizeof v);
            value = v;
        } else {
            return false;
        }
        number = value;
        shown = std::to_string(value);
        return true;
    }
    default:
        return false;
    }
}

struct Column {
    const char* name;
    short type;
    short length;
};
constexpr Column kColumns[] = {
    {"RDB$FILE_NAME", SQL_VARYING, 253}, {"RDB$FILE_SEQUENCE", SQL_SHORT, 2},
    {"RDB$FILE_START", SQL_LONG, 4},     {"RDB$FILE_LENGTH", SQL_LONG, 4},
    {"RDB$FILE_FLAGS", SQL_SHORT, 2},    {"RDB$SHADOW_NUMBER", SQL_SHORT, 2},
};
constexpr short kColumnCount = sizeof kColumns / sizeof kColumns[0];

void Describe(XSQLDA* area) {
    area->sqld = kColumnCount;
    for (short i = 0; i < std::min(area->sqln, kColumnCount); ++i) {
        XSQLVAR& var = area->sqlvar[i];
        var.sqltype = static_cast<short>(kColumns[i].type | 1);
        var.sqlscale = 0;
        var.sqlsubtype = 0;
        var.sqllen = kColumns[i].length;
        var.sqlname_length = static_cast<short>(std::strlen(kColumns[i].name));
        std::memcpy(var.sqlname, kColumns[i].name,
                    static_cast<std::size_t>(var.sqlname_length) + 1);
        std::memcpy(var.relname, "RDB$FILES", 10);
        var.relname_length = 9;
    }
}

// Writes one column into the client's variable in the form the client asked for.
bool WriteColumn(XSQLVAR& var, const std::optional<std::string>& text,
                 const std::optional<int>& number) {
    const bool null = text ? false : !number;
    if (null) {
        if ((var.sqltype & 1) == 0 || var.sqlind == nullptr) {
            return false;
        }
        *var.sqlind = -1;
        return true;
    }
    if (var.sqlind != nullptr) {
        *var.sqlind = 0;
    }
    if (var.sqldata == nullptr) {
        return false;
    }
    if (text) {
        if (BaseType(var) != SQL_VARYING || text->size() > static_cast<std::size_t>(var.sqllen)) {
            return false;
        }
        const auto length = static_cast<ISC_USHORT>(text->size());
        std::memcpy(var.sqldata, &length, sizeof length);
        std::memcpy(var.sqldata + sizeof length, text->data(), text->size());
        return true;
    }
    if (BaseType(var) == SQL_SHORT) {
        const auto v = static_cast<ISC_SHORT>(*number);
        std::memcpy(var.sqldata, &v, sizeof v);
        return true;
    }
    if (BaseType(var) == SQL_LONG) {
        const auto v = static_cast<ISC_LONG>(*number);
        std::memcpy(var.sqldata, &v, sizeof v);
        return true;
    }
    return false;
}

} // namespace

void Reset() {
    S() = State{};
}
void SetRows(const std::vector<Row>& rows) {
    S().committed = rows;
}
std::vector<Row> Rows() {
    return S().committed;
}
void SetInfoReply(const std::vector<unsigned char>& reply) {
    S().infoReply = reply;
}
void FailCall(const std::string& entryPoint, int occurrence,
              const std::vector<std::string>& messages) {
    S().failures[entryPoint] = Failure{occurrence, messages};
}
std::vector<std::string> Journal() {
    return S().journal;
}
std::vector<std::string> Interpretations() {
    return S().interpretations;
}
int OpenHandles() {
    return (S().attached ? 1 : 0) + (S().serviceAttached ? 1 : 0) + (S().inTransaction ? 1 : 0) +
           static_cast<int>(S().statements.size());
}

} // namespace standin

using namespace standin;

extern "C" {

ISC_STATUS ISC_EXPORT isc_attach_database(ISC_STATUS* status, short length, const ISC_SCHAR* name,
                                          isc_db_handle* db, short dpbLength,
                                          const ISC_SCHAR* dpb) {
    if (db == nullptr || *db != 0 || length <= 0 || dpbLength < 0) {
        return Refuse(status, "attach arguments");
    }
    if (Called("isc_attach_database",
               std::string(name, static_cast<std::size_t>(length)) +
                   " dpb=" + Hex(dpb, static_cast<std::size_t>(dpbLength)),
               status)) {
        return status[1];
    }
    S().attached = true;
    *db = 1;
    return 0;
}

ISC_STATUS ISC_EXPORT isc_database_info(ISC_STATUS* status, isc_db_handle* db, short itemLength,
                                        const ISC_SCHAR* items, short bufferLength,
                                        ISC_SCHAR* buffer) {
    if (db == nullptr || *db != 1 || !S().attached || itemLength <= 0 || bufferLength <= 0) {
        return Refuse(status, "info arguments");
    }
    if (Called("isc_database_info", "items=" + Hex(items, static_cast<std::size_t>(itemLength)),
               status)) {
        return status[1];
    }
    const std::size_t n = std::min(S().infoReply.size(), static_cast<std::size_t>(bufferLength));
    std::memcpy(buffer, S().infoReply.data(), n);
    return 0;
}

ISC_STATUS ISC_EXPORT isc_detach_database(ISC_STATUS* status, isc_db_handle* db) {
    if (db == nullptr || *db != 1 || !S().attached) {
        return Refuse(status, "detach of no attachment");
    }
    // As the engine does: an attachment with an active transaction is not
    // detached, and a failed detach leaves it attached with its handle.
    if (S().inTransaction) {
        S().journal.push_back("isc_detach_database refused: open transaction");
        SetFailure(status, {"cannot disconnect database with open transactions (1 active)"});
        return status[1];
    }
    if (Called("isc_detach_database", "", status)) {
        return status[1];
    }
    // The server drops the statements the attachment still had.
    S().attached = false;
    S().statements.clear();
    *db = 0;
    return 0;
}

ISC_STATUS ISC_EXPORT isc_start_multiple(ISC_STATUS* status, isc_tr_handle* tr, short count,
                                         void* vector) {
    struct Element {
        isc_db_handle* database;
        int tpbLength;
        const unsigned char* tpb;
    };
    if (tr == nullptr || *tr != 0 || count != 1 || vector == nullptr || S().inTransaction) {
        return Refuse(status, "start arguments");
    }
    const auto* element = static_cast<const Element*>(vector);
    if (element->database == nullptr || *element->database != 1 || element->tpbLength < 0) {
        return Refuse(status, "start database");
    }
    if (Called("isc_start_multiple",
               "databases=1 tpb=" + Hex(element->tpb, static_cast<std::size_t>(element->tpbLength)),
               status)) {
        return status[1];
    }
    S().inTransaction = true;
    S().pending = S().committed;
    *tr = 1;
    return 0;
}

ISC_STATUS ISC_EXPORT isc_commit_transaction(ISC_STATUS* status, isc_tr_handle* tr) {
    if (tr == nullptr || *tr != 1 || !S().inTransaction) {
        return Refuse(status, "commit of no transaction");
    }
    if (Called("isc_commit_transaction", "", status)) {
        return status[1]; // the transaction stays active, as after a failed commit
    }
    S().committed = S().pending;
    S().inTransaction = false;
    *tr = 0;
    return 0;
}

ISC_STATUS ISC_EXPORT isc_rollback_transaction(ISC_STATUS* status, isc_tr_handle* tr) {
    if (tr == nullptr || *tr != 1 || !S().inTransaction) {
        return Refuse(status, "rollback of no transaction");
    }
    // A failed rollback leaves the transaction active, with its handle.
    if (Called("isc_rollback_transaction", "", status)) {
        return status[1];
    }
    S().inTransaction = false;
    *tr = 0;
    return 0;
}

ISC_STATUS ISC_EXPORT isc_dsql_allocate_statement(ISC_STATUS* status, isc_db_handle* db,
                                                  isc_stmt_handle* stmt) {
    if (db == nullptr || *db != 1 || stmt == nullptr || *stmt != 0) {
        return Refuse(status, "allocate arguments");
    }
    const isc_stmt_handle handle = S().nextStatement;
    if (Called("isc_dsql_allocate_statement", StatementName(handle), status)) {
        return status[1];
    }
    ++S().nextStatement;
    S().statements[handle] = StatementState{};
    *stmt = handle;
    return 0;
}

ISC_STATUS ISC_EXPORT isc_dsql_prepare(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt,
                                       unsigned short length, const ISC_SCHAR* sql,
                                       unsigned short dialect, XSQLDA* output) {
    StatementState* statement = FindStatement(stmt);
    if (statement == nullptr || tr == nullptr || *tr != 1 || sql == nullptr) {
        return Refuse(status, "prepare arguments");
    }
    const std::string text = length == 0 ? std::string(sql) : std::string(sql, length);
    if (Called("isc_dsql_prepare",
               StatementName(*stmt) + " dialect=" + std::to_string(dialect) + " sql=" + text,
               status)) {
        return status[1];
    }
    if (StartsWithWord(text, "select")) {
        statement->kind = Kind::select;
        if (output != nullptr) {
            Describe(output);
        }
    } else if (StartsWithWord(text, "update")) {
        statement->kind = Kind::update;
        if (output != nullptr) {
            output->sqld = 0;
        }
    } else {
        return Refuse(status, "statement kind");
    }
    return 0;
}

ISC_STATUS ISC_EXPORT isc_dsql_describe(ISC_STATUS* status, isc_stmt_handle* stmt,
                                        unsigned short dialect, XSQLDA* output) {
    StatementState* statement = FindStatement(stmt);
    if (statement == nullptr || statement->kind != Kind::select || output == nullptr) {
        return Refuse(status, "describe arguments");
    }
    if (Called("isc_dsql_describe", StatementName(*stmt) + " dialect=" + std::to_string(dialect),
               status)) {
        return status[1];
    }
    Describe(output);
    return 0;
}

ISC_STATUS ISC_EXPORT isc_dsql_execute(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt,
                                       unsigned short dialect, const XSQLDA* input) {
    StatementState* statement = FindStatement(stmt);
    if (statement == nullptr || !statement->kind || tr == nullptr || *tr != 1) {
        return Refuse(status, "execute arguments");
    }
    std::string details = StatementName(*stmt) + " dialect=" + std::to_string(dialect);
    if (*statement->kind == Kind::select) {
        if (input != nullptr && input->sqld != 0) {
            return Refuse(status, "parameters for the select");
        }
        if (Called("isc_dsql_execute", details, status)) {
            return status[1];
        }
        statement->result = S().pending;
        statement->position = 0;
        statement->open = true;
        return 0;
    }

    constexpr short kUpdateParameters = 7;
    if (input == nullptr || input->sqld != kUpdateParameters || input->sqln < input->sqld) {
        return Refuse(status, "number of update parameters");
    }
    std::vector<std::optional<std::string>> texts(kUpdateParameters);
    std::vector<std::optional<long long>> numbers(kUpdateParameters);
    std::string shown = "params=(";
    for (short i = 0; i < kUpdateParameters; ++i) {
        std::string one;
        if (!ReadParameter(input->sqlvar[i], texts[i], numbers[i], one)) {
            return Refuse(status, "form of update parameter " + std::to_string(i + 1));
        }
        shown += (i > 0 ? ", " : "") + one;
    }
    details += " " + shown + ")";
    if (Called("isc_dsql_execute", details, status)) {
        return status[1];
    }
    auto asInt = [](const std::optional<long long>& v) {
        return v ? std::optional<int>(static_cast<int>(*v)) : std::nullopt;
    };
    for (Row& row : S().pending) {
        if (numbers[6] && row.sequence && *row.sequence == *numbers[6]) {
            row = Row{texts[0],          asInt(numbers[1]), asInt(numbers[2]),
                      asInt(numbers[3]), asInt(numbers[4]), asInt(numbers[5])};
        }
    }
    return 0;
}

ISC_STATUS ISC_EXPORT isc_dsql_fetch(ISC_STATUS* status, isc_stmt_handle* stmt,
                                     unsigned short dialect, const XSQLDA* output) {
    StatementState* statement = FindStatement(stmt);
    if (statement == nullptr || !statement->open || output == nullptr ||
        output->sqln < kColumnCount || output->sqld != kColumnCount) {
        return Refuse(status, "fetch arguments");
    }
    const bool end = statement->position >= statement->result.size();
    if (Called("isc_dsql_fetch",
               StatementName(*stmt) + " dialect=" + std::to_string(dialect) +
                   (end ? " end" : " row"),
               status)) {
        return status[1];
    }
    if (end) {
        return 100;
    }
    const Row& row = statement->result[statement->position++];
    auto* vars = const_cast<XSQLVAR*>(output->sqlvar);
    const bool written = WriteColumn(vars[0], row.fileName, std::nullopt) &&
                         WriteColumn(vars[1], std::nullopt, row.sequence) &&
                         WriteColumn(vars[2], std::nullopt, row.start) &&
                         WriteColumn(vars[3], std::nullopt, row.length) &&
                         WriteColumn(vars[4], std::nullopt, row.flags) &&
                         WriteColumn(vars[5], std::nullopt, row.shadow);
    return written ? 0 : Refuse(status, "form of the output variables");
}

ISC_STATUS ISC_EXPORT isc_dsql_free_statement(ISC_STATUS* status, isc_stmt_handle* stmt,
                                              unsigned short option) {
    if (FindStatement(stmt) == nullptr) {
        return Refuse(status, "free of no statement");
    }
    const isc_stmt_handle handle = *stmt;
    if (option == DSQL_drop) {
        S().statements.erase(handle);
        *stmt = 0;
    }
    return Called("isc_dsql_free_statement",
                  StatementName(handle) + " option=" + std::to_string(option), status)
               ? status[1]
               : 0;
}

ISC_STATUS ISC_EXPORT isc_service_attach(ISC_STATUS* status, unsigned short length,
                                         const ISC_SCHAR* service, isc_svc_handle* handle,
                                         unsigned short spbLength, const ISC_SCHAR* spb) {
    if (handle == nullptr || *handle != 0 || service == nullptr) {
        return Refuse(status, "service attach arguments");
    }
    const std::string name = length == 0 ? std::string(service) : std::string(service, length);
    if (Called("isc_service_attach", name + " spb=" + Hex(spb, spbLength), status)) {
        return status[1];
    }
    S().serviceAttached = true;
    *handle = 1;
    return 0;
}

ISC_STATUS ISC_EXPORT isc_service_detach(ISC_STATUS* status, isc_svc_handle* handle) {
    if (handle == nullptr || *handle != 1 || !S().serviceAttached) {
        return Refuse(status, "service detach of no attachment");
    }
    S().serviceAttached = false;
    *handle = 0;
    return Called("isc_service_detach", "", status) ? status[1] : 0;
}

// Status vectors of the stand-in hold pairs of a code and a string argument;
// each pair interprets to its string.
static ISC_LONG InterpretNext(ISC_SCHAR* buffer, std::size_t size, const ISC_STATUS** vector) {
    const ISC_STATUS* at = *vector;
    if (at == nullptr || at[0] != isc_arg_gds || at[1] == 0 || at[2] != isc_arg_string) {
        return 0;
    }
    const char* text = reinterpret_cast<const char*>(at[3]);
    const std::size_t length = std::min(std::strlen(text), size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    *vector = at + 4;
    return static_cast<ISC_LONG>(length);
}

#ifndef STANDIN_WITHOUT_FB_INTERPRET
ISC_LONG ISC_EXPORT fb_interpret(ISC_SCHAR* buffer, unsigned int size, const ISC_STATUS** vector) {
    S().interpretations.push_back("fb_interpret size=" + std::to_string(size));
    return size == 0 ? 0 : InterpretNext(buffer, size, vector);
}
#endif

ISC_LONG ISC_EXPORT isc_interprete(ISC_SCHAR* buffer, ISC_STATUS** vector) {
    S().interpretations.push_back("isc_interprete");
    const ISC_STATUS* at = *vector;
    // Writes without a bound, as the real entry point does.
    const ISC_LONG length = InterpretNext(buffer, static_cast<std::size_t>(-1), &at);
    *vector = const_cast<ISC_STATUS*>(at);
    return length;
}

} // extern "C"
