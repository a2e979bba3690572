#include "ado/recordset.h"

#include <stdexcept>

#include "ado/sql/text.h"
#include "ado/table_snapshot.h"

namespace ado {

Recordset::Recordset(sql::Result result) : result_(std::move(result)) {
    fields_.reserve(result_.columns.size());
    for (const auto& column : result_.columns) fields_.push_back(Field{column.name, column.type});
}

std::optional<std::size_t> Recordset::findField(std::string_view name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (sql::compareText(fields_[i].name, name) == 0) return i;
    return std::nullopt;
}

void Recordset::check(std::size_t row, std::size_t field) const {
    if (row >= result_.rows.size()) throw std::out_of_range("recordset row out of range");
    if (field >= fields_.size()) throw std::out_of_range("recordset field out of range");
}

jet::Value Recordset::value(std::size_t row, std::size_t field) const {
    check(row, field);
    const auto& column = result_.columns[field];
    if (column.source) return result_.table->value(result_.rows[row], *column.source);
    return column.computed.at(row);
}

bool Recordset::isNull(std::size_t row, std::size_t field) const {
    check(row, field);
    const auto& column = result_.columns[field];
    if (column.source && result_.table->hasTextView(*column.source))
        return !result_.table->textView(result_.rows[row], *column.source).has_value();
    return jet::isNull(value(row, field));
}

std::optional<std::string_view> Recordset::text(std::size_t row, std::size_t field) const {
    check(row, field);
    const auto type = fields_[field].type;
    if (type != jet::ColumnType::Text && type != jet::ColumnType::Memo)
        throw std::invalid_argument("recordset field is not text: " + fields_[field].name);
    const auto& column = result_.columns[field];
    if (column.source) {
        if (!result_.table->hasTextView(*column.source))
            throw std::invalid_argument("the source table keeps no text of field " + fields_[field].name);
        return result_.table->textView(result_.rows[row], *column.source);
    }
    const jet::Value& cell = column.computed.at(row);
    if (const auto* text = std::get_if<std::string>(&cell)) return std::string_view(*text);
    return std::nullopt;
}

std::shared_ptr<const TableSnapshot> Recordset::snapshot() const {
    return std::dynamic_pointer_cast<const TableSnapshot>(result_.table);
}

}  // namespace ado
