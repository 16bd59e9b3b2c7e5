#include "filetable/dm_files.h"

#include "filetable/client_handles.h"
#include "filetable/client_library.h"
#include "filetable/file_table_cursor.h"
#include "filetable/status_text.h"
#include "filetable/target_file_name.h"
#include "platform/format_message.h"

#include <algorithm>
#include <set>

namespace tessaldrin::filetable {
namespace {

constexpr const char* kServerHost = "localhost";
constexpr std::int32_t kDefaultPort = 3050;
constexpr const char* kUserName = "Masterquill";
constexpr const char* kServiceUserName = "MasterQuill";
constexpr const char* kPassword = "KvomT";

constexpr int kMsgFileTableHeading = 21002;
constexpr int kMsgFileCountMismatch = 21003;
constexpr int kMsgFileNameChanged = 21004;
constexpr int kMsgServerPresent = 21005;
constexpr int kMsgNoServerConnection = 21038;
constexpr int kMsgRepeatedSequence = 21041;
constexpr int kMsgNamesNoFile = 21042;
constexpr int kMsgServerKeepsFileTable = 21050;
constexpr int kMsgServerAsked = 21090;

void Append(RunLog* log, const std::string& entry) {
    if (log != nullptr) {
        log->append(entry);
    }
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

std::string TdmFiles::ServerAddress() const {
    std::string address = kServerHost;
    if (Port != kDefaultPort) {
        // Two appends: GCC 12 at -O3 misreads "/" + to_string(...) as an
        // overlapping copy (-Wrestrict).
        address += '/';
        address += std::to_string(Port);
    }
    return address;
}

bool TdmFiles::CheckServer(RunLog* log) {
    try {
        IBServerProperties.ServerName = ServerAddress();
        ServiceAttachment service(ibdbTessaldrin.Library().api(),
                                  IBServerProperties.ConnectionString(),
                                  IBServerProperties.ParameterBlock());
        service.Detach();
    } catch (const std::exception& error) {
        // The library's text names the host but not the port, and a server
        // that never answered reads like one that refused: the entry says
        // where the program asked, and how long it waited at most.
        Append(log, JoinStatusMessages(
                        {platform::FormatMessage(kMsgNoServerConnection, std::string(error.what())),
                         platform::FormatMessage(kMsgServerAsked, std::string(kServerHost), Port,
                                                 static_cast<int>(kConnectTimeoutSeconds))}));
        return false;
    }
    Append(log, platform::FormatMessage(kMsgServerPresent));
    return true;
}

bool TdmFiles::ChangeFileTable(const std::vector<std::string>& files, RunLog* log) {
    FileTableKeptByServer = false;
    Append(log, "");
    Append(log, platform::FormatMessage(kMsgFileTableHeading));

    const std::string primary = files.empty() ? std::string{} : files.front();
    Attachment database(ibdbTessaldrin.Library().api(), ServerAddress() + ":" + primary,
                        ibdbTessaldrin.ParameterBlock());
    dialect_ = std::min(ibdbTessaldrin.SQLDialect, database.ReadSqlDialect());

    bool result = false;
    try {
        Transaction transaction(database, {}); // ibtaFiles: the server's defaults
        result = RewriteFileTable(database, transaction, files, log);
        if (!result) {
            transaction.Rollback();
        }
    } catch (const ClientError& error) {
        // The transaction, if still active, was rolled back on the way here.
        Append(log, error.what());
        // The attachment worked, so the header chain leads the server to every
        // file: only the table keeps the old names, and the user is told so.
        if (RefusesFileTableUpdate(error.Items())) {
            Append(log, platform::FormatMessage(kMsgServerKeepsFileTable));
            FileTableKeptByServer = true;
        }
        result = false;
    } catch (const std::exception& error) {
        Append(log, error.what());
        result = false;
    }
    // A detach that fails after the commit does not undo it: its text is logged
    // and the result stands. The attachment is detached once more on its way out.
    try {
        database.Detach();
    } catch (const std::exception& error) {
        Append(log, error.what());
    }
    return result;
}

bool TdmFiles::RewriteFileTable(Attachment& database, Transaction& transaction,
                                const std::vector<std::string>& files, RunLog* log) {
    FileTableCursor cursor(database, transaction, ibdsFiles,
                           {&ibdsFilesRDBFILE_NAME, &ibdsFilesRDBFILE_SEQUENCE,
                            &ibdsFilesRDBFILE_START, &ibdsFilesRDBFILE_LENGTH,
                            &ibdsFilesRDBFILE_FLAGS, &ibdsFilesRDBSHADOW_NUMBER},
                           dialect_);
    const std::vector<FileTableRow> rows = cursor.FetchAll();

    if (files.size() != rows.size() + 1) {
        Append(log, platform::FormatMessage(kMsgFileCountMismatch));
        return false;
    }

    // The update finds its row by RDB$FILE_SEQUENCE alone; where shadow files
    // repeat a value, one update would give several rows one name.
    const std::size_t nameField = cursor.FieldIndex(ibdsFilesRDBFILE_NAME.FieldName);
    const std::size_t sequenceField = cursor.FieldIndex(ibdsFilesRDBFILE_SEQUENCE.FieldName);
    std::set<std::optional<std::int64_t>> sequences;
    for (const FileTableRow& row : rows) {
        if (!sequences.insert(row[sequenceField].number).second) {
            Append(log, platform::FormatMessage(kMsgRepeatedSequence));
            return false;
        }
    }

    // Every new name is known before the first update: a row whose name
    // names no file leaves the whole table as it is.
    std::vector<std::string> newNames;
    for (const FileTableRow& row : rows) {
        const std::string oldName = row[nameField].text.value_or(std::string{});
        const std::string target =
            TargetRule ? TargetRule(DatabaseDir, oldName) : TargetFileName(DatabaseDir, oldName);
        if (target.empty()) {
            if (log != nullptr) {
                log->LogError(platform::FormatMessage(kMsgNamesNoFile, oldName));
            }
            return false;
        }
        newNames.push_back(filetable::SpelledAsOnDisk(target, files));
    }

    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FileTableRow& row = rows[i];
        FileTableRow current = row;
        current[nameField].text = newNames[i];
        cursor.Update(current, row);
        Append(log,
               platform::FormatMessage(kMsgFileNameChanged,
                                       row[nameField].text.value_or(std::string{}), newNames[i]));
    }
    transaction.Commit();
    return true;
}

std::string TdmFiles::TargetFileName(const std::string& dir, const std::string& stored) {
    return filetable::TargetFileName(dir, stored);
}

} // namespace tessaldrin::filetable
