// The data module: the program's connection to the local Firebird/InterBase
// server. Toolkit-free; attaches only for the moment of a check or a rewrite.
#pragma once

#include "filetable/answer_watch.h"
#include "filetable/client_error.h"
#include "filetable/components.h"
#include "filetable/target_file_name.h"
#include "platform/shared_library.h"
#include "runlog/run_log.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaldrin::filetable {

class Attachment;
class Transaction;

// What a run asks of the file table: the database to attach and the names it
// has decided on.
struct FileTableChange {
    std::string primaryFile; // the full path the server opens the database by
    std::size_t fileCount{}; // the files of the chain: one more than the rows
    TargetNaming naming;     // the new name of the file that each row names

    bool operator==(const FileTableChange&) const = default;
};

enum class FileTableOutcome {
    kChanged,      // every row rewritten and committed
    kFailed,       // a refusal that the log explains; the table is unchanged
    kKeptByServer, // the server refuses any change of RDB$FILES (Firebird 3
                   // and later), after it opened the database by its chain
};

// The client library's name on this platform.
inline const char* const& kClientLibraryName = platform::kClientLibraryFileName;

// How long the server check and the attachment to the database wait for the
// first answer of a server that accepts the connection (the client library's
// own limit is three minutes); every later answer is bounded by the same
// time, through AnswerWatch.
inline constexpr std::uint32_t kConnectTimeoutSeconds = kServerAnswerSeconds;

class TdmFiles {
public:
    // Loads the client library; throws ClientError with the text that names the
    // library sought when it cannot be loaded.
    explicit TdmFiles(const std::string& clientLibrary = kClientLibraryName);
    virtual ~TdmFiles();
    TdmFiles(const TdmFiles&) = delete;
    TdmFiles& operator=(const TdmFiles&) = delete;

    // The stored layout, in its order.
    DatabaseConnection ibdbTessaldrin;    // the moved database; attached inside ChangeFileTable
    TransactionDefinition ibtaTessaldrin; // belongs to ibdbTessaldrin; never started
    FileTableRowSet ibdsFiles;            // select and update of RDB$FILES
    FieldObject ibdsFilesRDBFILE_NAME;
    FieldObject ibdsFilesRDBFILE_SEQUENCE;
    FieldObject ibdsFilesRDBFILE_START;
    FieldObject ibdsFilesRDBFILE_LENGTH;
    FieldObject ibdsFilesRDBFILE_FLAGS;
    FieldObject ibdsFilesRDBSHADOW_NUMBER;
    TransactionDefinition ibtaFiles;      // the transaction of ibdsFiles: no parameters
    ServiceConnection IBServerProperties; // used by CheckServer alone

    // "localhost", with "/" and the port when it is not 3050.
    static std::string ServerAddress(std::int32_t port);

    // Attaches to and detaches from the service manager on `port`. Logs 21005,
    // or 21038 with the error text and, in the same entry, the host and port
    // asked; `log` may be null. Every wait on the server is bounded.
    bool CheckServer(std::int32_t port, RunLog* log);

    // Rewrites every RDB$FILES row of the database of `change` to its target
    // name in one transaction, through the server on `port`. Throws
    // ClientError when the attachment to the database is refused or does not
    // come within the bound; a server that falls silent later is a failure
    // whose entry names the host and the port.
    virtual FileTableOutcome ChangeFileTable(std::int32_t port, const FileTableChange& change,
                                             RunLog* log);

private:
    // Steps 4 to 8 of ChangeFileTable on the open attachment: true after the
    // commit, false after a refusal it has logged (the transaction still active).
    bool RewriteFileTable(Attachment& database, Transaction& transaction,
                          const FileTableChange& change, RunLog* log);

    int dialect_ = 3; // of the statements, for the current attachment
};

} // namespace tessaldrin::filetable
