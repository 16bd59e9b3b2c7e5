#include "filetable/file_table_cursor.h"

#include "filetable/client_error.h"

namespace tessaldrin::filetable {
namespace {

constexpr const char* kOldPrefix = "OLD_";

short ParameterType(FieldKind kind) {
    return kind == FieldKind::fkSmallInt ? SQL_SHORT : SQL_LONG;
}

} // namespace

FileTableCursor::FileTableCursor(Attachment& attachment, Transaction& transaction,
                                 const FileTableRowSet& rowSet,
                                 std::vector<const FieldObject*> fields, int dialect)
    : transaction_(transaction), fields_(std::move(fields)), dialect_(dialect), select_(attachment),
      selectArea_(static_cast<short>(fields_.size())), update_(attachment),
      updateSql_(ToPositional(rowSet.ModifyText())), updateArea_(0) {
    select_.Prepare(transaction_, rowSet.SelectSQL, dialect_, selectArea_.get());
    if (selectArea_.Described() > selectArea_.Allocated()) {
        const short columns = selectArea_.Described();
        selectArea_.Reallocate(columns);
        select_.Describe(dialect_, selectArea_.get());
    }
    selectArea_.BindDescribed();
    for (const FieldObject* field : fields_) {
        int column = -1;
        for (short i = 0; i < selectArea_.Described() && column < 0; ++i) {
            if (selectArea_.Name(i) == field->FieldName) {
                column = i;
            }
        }
        if (column < 0) {
            throw ClientError("Feld " + field->FieldName + " nicht gefunden");
        }
        columnOfField_.push_back(column);
    }

    update_.Prepare(transaction_, updateSql_.text, dialect_, nullptr);
    for (const std::string& name : updateSql_.parameters) {
        const bool old = name.rfind(kOldPrefix, 0) == 0;
        bindings_.push_back(
            {FieldIndex(old ? name.substr(std::char_traits<char>::length(kOldPrefix)) : name),
             old});
    }
    updateArea_.Reallocate(static_cast<short>(bindings_.size()));
}

std::size_t FileTableCursor::FieldIndex(const std::string& name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i]->FieldName == name) {
            return i;
        }
    }
    throw ClientError("Feld " + name + " nicht gefunden");
}

std::vector<FileTableRow> FileTableCursor::FetchAll() {
    select_.Execute(transaction_, dialect_, nullptr);
    std::vector<FileTableRow> rows;
    while (select_.Fetch(dialect_, selectArea_.get())) {
        FileTableRow row(fields_.size());
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            const int column = columnOfField_[i];
            if (fields_[i]->Kind == FieldKind::fkText) {
                row[i].text = selectArea_.Text(column);
            } else {
                row[i].number = selectArea_.Number(column);
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void FileTableCursor::Update(const FileTableRow& current, const FileTableRow& read) {
    for (std::size_t i = 0; i < bindings_.size(); ++i) {
        const Binding& binding = bindings_[i];
        const FieldValue& value = (binding.old ? read : current).at(binding.field);
        const FieldKind kind = fields_[binding.field]->Kind;
        if (kind == FieldKind::fkText) {
            updateArea_.SetText(static_cast<int>(i), value.text);
        } else {
            updateArea_.SetNumber(static_cast<int>(i), ParameterType(kind), value.number);
        }
    }
    update_.Execute(transaction_, dialect_, updateArea_.get());
}

} // namespace tessaldrin::filetable
