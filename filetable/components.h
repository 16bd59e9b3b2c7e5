// The components of the data module's stored layout: fixed settings of the two
// connections, the transaction definitions, the row set of the file table and
// its field objects. They hold settings only; the live handles exist for the
// moment of one operation (client_handles.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessaldrin::filetable {

class ClientLibrary;

// Connection to a database. Creating it loads the client library, as a
// connection must be able to reach the library from its construction on.
class DatabaseConnection {
public:
    // Throws ClientError naming `clientLibrary` when it cannot be loaded.
    explicit DatabaseConnection(const std::string& clientLibrary);
    ~DatabaseConnection();
    DatabaseConnection(const DatabaseConnection&) = delete;
    DatabaseConnection& operator=(const DatabaseConnection&) = delete;

    std::string UserName;
    std::string Password;
    bool LoginPrompt = false;
    int SQLDialect = 3; // requested; lowered to the database's dialect
    // Seconds the attachment waits for a server that does not answer.
    std::uint32_t ConnectTimeout = 0;

    // isc_dpb_version1; isc_dpb_user_name and isc_dpb_password, each value
    // preceded by its one-byte length; isc_dpb_connect_timeout, 4, the
    // seconds as a little-endian number. No other item.
    std::vector<unsigned char> ParameterBlock() const;

    const ClientLibrary& Library() const { return *library_; }

private:
    std::unique_ptr<ClientLibrary> library_;
};

// A transaction definition; its parameters are the names of the transaction
// options it would be started with.
struct TransactionDefinition {
    const DatabaseConnection* DefaultDatabase = nullptr;
    std::vector<std::string> Params;
};

enum class FieldKind { fkText, fkSmallInt, fkInteger };

// One column of a row set, bound to the result column of the same name.
struct FieldObject {
    std::string FieldName;
    FieldKind Kind = FieldKind::fkText;
    int Size = 0; // characters, for text
};

// A row set: a select and the statement that writes a row back, with named
// parameters.
struct FileTableRowSet {
    const DatabaseConnection* Database = nullptr;
    const TransactionDefinition* Transaction = nullptr;
    std::string SelectSQL;
    std::vector<std::string> ModifySQL; // lines
    // The lines of ModifySQL joined by line breaks.
    std::string ModifyText() const;
};

enum class ServerProtocol { spTCP };

// Connection to the service manager.
struct ServiceConnection {
    std::string UserName;
    std::string Password;
    bool LoginPrompt = false;
    ServerProtocol Protocol = ServerProtocol::spTCP;
    std::string ServerName = "localhost";
    // Seconds the attachment waits for a server that does not answer.
    std::uint32_t ConnectTimeout = 0;

    // ServerName, then ":service_mgr".
    std::string ConnectionString() const;
    // isc_spb_version, isc_spb_current_version; isc_spb_user_name and
    // isc_spb_password, each value preceded by its one-byte length;
    // isc_spb_connect_timeout, 4, the seconds as a little-endian number.
    std::vector<unsigned char> ParameterBlock() const;
};

} // namespace tessaldrin::filetable
