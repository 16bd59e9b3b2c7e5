#include "filetable/dm_files.h"

#include "filetable/client_handles.h"
#include "filetable/client_library.h"
#include "filetable/file_table_cursor.h"
#include "filetable/status_text.h"
#include "filetable/target_file_name.h"
#include "platform/format_message.h"

#include <algorithm>
#include <optional>
#include <set>

namespace tessaldrin::filetable {
namespace {

constexpr const char* kServerHost = "localhost";
constexpr std::int32_t kDefaultPort = 3050;
constexpr const char* kUserName = "Masterquill";
constexpr const char* kServiceUserName = "MasterQuill";
constexpr const char* kPassword = "KvomT";

void Append(RunLog* log, const std::string& entry) {
    if (log != nullptr) {
        log->append(entry);
    }
}

// `text`, then the line that says where the program asked and how long it
// waited at most: the library's texts name the host but not the port.
std::string Addressed(const std::string& text, std::int32_t port) {
    return JoinStatusMessages({text, platform::Format(msg::kServerAddressed, kServerHost, port,
                                                      static_cast<int>(kServerAnswerSeconds))});
}

} // namespace

TdmFiles::TdmFiles(const std::string& clientLibrary)
    : ibdbTessaldrin(clientLibrary), ibtaTessaldrin{&ibdbTessaldrin,
                                                    {"read_committed", "rec_version", "nowait"}},
      ibdsFiles{&ibdbTessaldrin,
                &ibtaFiles,
                "select * from RDB$Files order by rdb$file_sequence",
                {"update RDB$Files", "set", "  RDB$FILE_NAME = :RDB$FILE_NAME,",
                 "  RDB$FILE_SEQUENCE = :RDB$FILE_SEQUENCE,", "  RDB$FILE_START = :RDB$FILE_START,",
                 "  RDB$FILE_LENGTH = :RDB$FILE_LENGTH,", "  RDB$FILE_FLAGS = :RDB$FILE_FLAGS,",
                 "  RDB$SHADOW_NUMBER = :RDB$SHADOW_NUMBER", "where",
                 "  RDB$FILE_SEQUENCE = :OLD_RDB$FILE_SEQUENCE"}},
      ibdsFilesRDBFILE_NAME{"RDB$FILE_NAME", FieldKind::fkText, 253},
      ibdsFilesRDBFILE_SEQUENCE{"RDB$FILE_SEQUENCE", FieldKind::fkSmallInt, 0},
      ibdsFilesRDBFILE_START{"RDB$FILE_START", FieldKind::fkInteger, 0},
      ibdsFilesRDBFILE_LENGTH{"RDB$FILE_LENGTH", FieldKind::fkInteger, 0},
      ibdsFilesRDBFILE_FLAGS{"RDB$FILE_FLAGS", FieldKind::fkSmallInt, 0},
      ibdsFilesRDBSHADOW_NUMBER{"RDB$SHADOW_NUMBER", FieldKind::fkSmallInt, 0}, ibtaFiles{
                                                                                    &ibdbTessaldrin,
                                                                                    {}} {
    ibdbTessaldrin.UserName = kUserName;
    ibdbTessaldrin.Password = kPassword;
    ibdbTessaldrin.LoginPrompt = false;
    ibdbTessaldrin.SQLDialect = 3;
    ibdbTessaldrin.ConnectTimeout = kConnectTimeoutSeconds;
    IBServerProperties.UserName = kServiceUserName;
    IBServerProperties.Password = kPassword;
    IBServerProperties.LoginPrompt = false;
    IBServerProperties.Protocol = ServerProtocol::spTCP;
    IBServerProperties.ServerName = kServerHost;
    IBServerProperties.ConnectTimeout = kConnectTimeoutSeconds;
}

TdmFiles::~TdmFiles() = default;

std::string TdmFiles::ServerAddress(std::int32_t port) {
    std::string address = kServerHost;
    if (port != kDefaultPort) {
        // Two appends: GCC 12 at -O3 misreads "/" + to_string(...) as an
        // overlapping copy (-Wrestrict).
        address += '/';
        address += std::to_string(port);
    }
    return address;
}

bool TdmFiles::CheckServer(std::int32_t port, RunLog* log) {
    try {
        IBServerProperties.ServerName = ServerAddress(port);
        AnswerWatch watch(port);
        ServiceAttachment service({ibdbTessaldrin.Library().api(), watch},
                                  IBServerProperties.ConnectionString(),
                                  IBServerProperties.ParameterBlock());
        service.Detach();
    } catch (const std::exception& error) {
        // A server that never answered reads like one that refused: the
        // entry says where the program asked, and how long it waited at most.
        Append(log, Addressed(platform::Format(msg::kNoServerConnection, error.what()), port));
        return false;
    }
    Append(log, platform::Format(msg::kServerPresent));
    return true;
}

FileTableOutcome TdmFiles::ChangeFileTable(std::int32_t port, const FileTableChange& change,
                                           RunLog* log) {
    Append(log, "");
    Append(log, platform::Format(msg::kFileTableHeading));

    AnswerWatch watch(port);
    std::optional<Attachment> attached;
    try {
        attached.emplace(ServerSession{ibdbTessaldrin.Library().api(), watch},
                         ServerAddress(port) + ":" + change.primaryFile,
                         ibdbTessaldrin.ParameterBlock());
        dialect_ = std::min(ibdbTessaldrin.SQLDialect, attached->ReadSqlDialect());
    } catch (const NoAnswer& error) {
        // Raised as a refused attachment is, with where the program asked.
        throw NoAnswer(Addressed(error.what(), port));
    }
    Attachment& database = *attached;

    FileTableOutcome result = FileTableOutcome::kFailed;
    try {
        Transaction transaction(database, {}); // ibtaFiles: the server's defaults
        if (RewriteFileTable(database, transaction, change, log)) {
            result = FileTableOutcome::kChanged;
        } else {
            transaction.Rollback();
        }
    } catch (const NoAnswer& error) {
        // The transaction, if still active, was rolled back on the way here,
        // and the server ends it all the same once it sees the connection go.
        Append(log, Addressed(error.what(), port));
    } catch (const ClientError& error) {
        // The transaction, if still active, was rolled back on the way here.
        Append(log, error.what());
        // The attachment worked, so the header chain leads the server to every
        // file: only the table keeps the old names, and the user is told so.
        if (RefusesFileTableUpdate(error.Items())) {
            Append(log, platform::Format(msg::kServerKeepsFileTable));
            result = FileTableOutcome::kKeptByServer;
        }
    } catch (const std::exception& error) {
        Append(log, error.what());
    }
    // A detach that fails after the commit does not undo it: its text is logged
    // and the outcome stands. The attachment is detached once more on its way
    // out; after a server that fell silent, only there, without a second entry.
    if (!watch.Ended()) {
        try {
            database.Detach();
        } catch (const NoAnswer& error) {
            Append(log, Addressed(error.what(), port));
        } catch (const std::exception& error) {
            Append(log, error.what());
        }
    }
    return result;
}

bool TdmFiles::RewriteFileTable(Attachment& database, Transaction& transaction,
                                const FileTableChange& change, RunLog* log) {
    FileTableCursor cursor(database, transaction, ibdsFiles,
                           {&ibdsFilesRDBFILE_NAME, &ibdsFilesRDBFILE_SEQUENCE,
                            &ibdsFilesRDBFILE_START, &ibdsFilesRDBFILE_LENGTH,
                            &ibdsFilesRDBFILE_FLAGS, &ibdsFilesRDBSHADOW_NUMBER},
                           dialect_);
    const std::vector<FileTableRow> rows = cursor.FetchAll();

    if (change.fileCount != rows.size() + 1) {
        Append(log, platform::Format(msg::kFileCountMismatch));
        return false;
    }

    // The update finds its row by RDB$FILE_SEQUENCE alone; where shadow files
    // repeat a value, one update would give several rows one name.
    const std::size_t nameField = cursor.FieldIndex(ibdsFilesRDBFILE_NAME.FieldName);
    const std::size_t sequenceField = cursor.FieldIndex(ibdsFilesRDBFILE_SEQUENCE.FieldName);
    std::set<std::optional<std::int64_t>> sequences;
    for (const FileTableRow& row : rows) {
        if (!sequences.insert(row[sequenceField].number).second) {
            Append(log, platform::Format(msg::kRepeatedSequence));
            return false;
        }
    }

    // Every new name is known before the first update: a row whose name
    // names no file leaves the whole table as it is.
    std::vector<std::string> newNames;
    for (const FileTableRow& row : rows) {
        const std::string oldName = row[nameField].text.value_or(std::string{});
        std::string target = change.naming(oldName);
        if (target.empty()) {
            if (log != nullptr) {
                log->LogError(platform::Format(msg::kNamesNoFile, oldName));
            }
            return false;
        }
        newNames.push_back(std::move(target));
    }

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FileTableRow& row = rows[i];
        FileTableRow current = row;
        current[nameField].text = newNames[i];
        cursor.Update(current, row);
        Append(log, platform::Format(msg::kRowRenamed, row[nameField].text.value_or(std::string{}),
                                     newNames[i]));
    }
    transaction.Commit();
    return true;
}

} // namespace tessaldrin::filetable
