#include "filetable/chain_rows_removal.h"

#include "filetable/client_handles.h"
#include "filetable/sql_area.h"
#include "filetable/status_text.h"
#include "platform/format_message.h"

#include <algorithm>

namespace tessaldrin::filetable {
namespace {

// The rows of the secondary files: those of a shadow carry its number, the
// nbackup difference file's carries a flag.
constexpr const char* kChainRows =
    " from RDB$FILES where coalesce(RDB$SHADOW_NUMBER, 0) = 0 and coalesce(RDB$FILE_FLAGS, 0) = 0";

std::size_t CountChainRows(Attachment& database, Transaction& transaction, int dialect) {
    Statement select(database);
    SqlArea area(1);
    select.Prepare(transaction, std::string("select RDB$FILE_SEQUENCE") + kChainRows, dialect,
                   area.get());
    area.BindDescribed();
    select.Execute(transaction, dialect, nullptr);
    std::size_t rows = 0;
    while (select.Fetch(dialect, area.get())) {
        ++rows;
    }
    return rows;
}

} // namespace

bool RemoveChainRows(const TdmFiles& dmFiles, std::int32_t port, const std::string& primaryFile,
                     std::size_t secondaries, RunLog& log) {
    log.append(platform::Format(msg::kFileTableHeading));
    AnswerWatch watch(port);
    bool committed = false;
    try {
        const DatabaseConnection& connection = dmFiles.ibdbTessaldrin;
        Attachment database({connection.Library().api(), watch},
                            TdmFiles::ServerAddress(port) + ":" + primaryFile,
                            connection.ParameterBlock());
        const int dialect = std::min(connection.SQLDialect, database.ReadSqlDialect());
        {
            // Read and deleted in the one snapshot of this transaction, so
            // the count checked is the count deleted.
            Transaction transaction(database, {});
            const std::size_t found = CountChainRows(database, transaction, dialect);
            if (found != secondaries) {
                log.LogError(platform::Format(msg::kJoinRowsMiscounted, static_cast<int>(found),
                                              static_cast<int>(secondaries)));
                return false;
            }
            Statement remove(database);
            remove.Prepare(transaction, std::string("delete") + kChainRows, dialect, nullptr);
            remove.Execute(transaction, dialect, nullptr);
            transaction.Commit();
            committed = true;
        }
        log.append(platform::Format(msg::kJoinRowsRemoved, static_cast<int>(secondaries)));
        database.Detach();
    } catch (const NoAnswer& error) {
        log.append(JoinStatusMessages(
            {error.what(), platform::Format(msg::kServerAddressed, "localhost", port,
                                            static_cast<int>(kServerAnswerSeconds))}));
    } catch (const std::exception& error) {
        // A detach that fails after the commit does not undo it.
        log.append(error.what());
    }
    return committed;
}

} // namespace tessaldrin::filetable
