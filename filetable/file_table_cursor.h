// The row set of the file table while it is open on one attachment and
// transaction: its select and its update, prepared on statements of their own.
#pragma once

#include "filetable/client_handles.h"
#include "filetable/components.h"
#include "filetable/positional_sql.h"
#include "filetable/sql_area.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessaldrin::filetable {

// One column's value: text or number according to its field object; null when
// the one its kind uses is empty.
struct FieldValue {
    std::optional<std::string> text;
    std::optional<std::int64_t> number;
};
// A row, in the order of the field objects.
using FileTableRow = std::vector<FieldValue>;

class FileTableCursor {
public:
    // Prepares the select and then the update. A parameter named after a field
    // takes the row's current value, one prefixed "OLD_" the value as read.
    FileTableCursor(Attachment& attachment, Transaction& transaction, const FileTableRowSet& rowSet,
                    std::vector<const FieldObject*> fields, int dialect);

    // Executes the select and fetches every row.
    std::vector<FileTableRow> FetchAll();
    // Executes the update once with the parameters taken from `current` and
    // `read`.
    void Update(const FileTableRow& current, const FileTableRow& read);

    // The index of the field object named `name`; throws ClientError if none is.
    std::size_t FieldIndex(const std::string& name) const;

private:
    struct Binding {
        std::size_t field;
        bool old;
    };

    Transaction& transaction_;
    std::vector<const FieldObject*> fields_;
    int dialect_;
    Statement select_;
    SqlArea selectArea_;
    std::vector<int> columnOfField_;
    Statement update_;
    PositionalSql updateSql_;
    std::vector<Binding> bindings_;
    SqlArea updateArea_;
};

} // namespace tessaldrin::filetable
