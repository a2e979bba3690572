#include "ado/sql/executor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

#include "ado/sql/compiler.h"
#include "ado/sql/error_at.h"
#include "ado/sql/text.h"

namespace ado::sql {
namespace {

using detail::Datum;
using detail::Kind;
using detail::NodePtr;
using detail::Scope;

// Reads one result column for one source row, the same way for source and computed columns.
class ColumnReader {
public:
    ColumnReader(const Table& table, std::size_t column) : table_(&table), column_(column) {}
    explicit ColumnReader(const detail::Node& node) : node_(&node) {}

    Datum read(std::size_t row) {
        if (node_) return node_->eval(row);
        if (table_->hasTextView(column_)) {
            const auto text = table_->textView(row, column_);
            return text ? Datum::ofText(*text) : Datum::null();
        }
        value_ = table_->value(row, column_);
        return detail::fromValue(value_, scratch_);
    }

private:
    const Table* table_ = nullptr;
    std::size_t column_ = 0;
    const detail::Node* node_ = nullptr;
    jet::Value value_;
    std::string scratch_;
};

int rank(const Datum& d) { return d.isNull() ? 0 : d.isNumeric() ? 1 : d.kind == Kind::Text ? 2 : 3; }

// Sort order: Null first, then numbers, texts (letter case ignored), binary data.
int orderOf(const Datum& a, const Datum& b) {
    const int ra = rank(a), rb = rank(b);
    if (ra != rb) return ra < rb ? -1 : 1;
    switch (ra) {
    case 0: return 0;
    case 1: return *detail::compare(a, b, 0);
    case 2: return compareText(a.text, b.text);
    default: {
        const int c = a.text.compare(b.text);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    }
}

int orderOf(const jet::Value& a, const jet::Value& b) {
    std::string sa, sb;
    return orderOf(detail::fromValue(a, sa), detail::fromValue(b, sb));
}

// A key under which values that DISTINCT takes for equal map to equal bytes.
void appendKey(const Datum& d, std::string& key, std::string& scratch) {
    auto appendRaw = [&key](const auto& raw) { key.append(reinterpret_cast<const char*>(&raw), sizeof raw); };
    switch (rank(d)) {
    case 0: key += 'N'; return;
    case 1: {
        const detail::Number n = detail::toNumber(d, 0);
        const double real = n.asReal();
        if (n.isInteger || (std::trunc(real) == real && std::fabs(real) < 9.0e18)) {
            key += 'I';
            appendRaw(n.isInteger ? n.integer : static_cast<std::int64_t>(real));
        } else {
            key += 'D';
            appendRaw(real);
        }
        return;
    }
    case 2:
        foldCase(d.text, scratch);
        key += 'T';
        appendRaw(scratch.size());
        key += scratch;
        return;
    default:
        key += 'B';
        appendRaw(d.text.size());
        key.append(d.text);
        return;
    }
}

jet::ColumnType typeOfComputed(const std::vector<jet::Value>& values) {
    jet::ColumnType type = jet::ColumnType::Text;
    bool typed = false;
    for (const jet::Value& v : values) {
        if (jet::isNull(v)) continue;
        jet::ColumnType t = jet::ColumnType::Text;
        switch (v.index()) {
        case 1: t = jet::ColumnType::Boolean; break;
        case 2: t = jet::ColumnType::Long; break;
        case 3: t = jet::ColumnType::Double; break;
        case 4: t = utf16Length(std::get<std::string>(v)) > 255 ? jet::ColumnType::Memo : jet::ColumnType::Text; break;
        case 5: t = jet::ColumnType::Currency; break;
        case 6: t = jet::ColumnType::DateTime; break;
        case 7: t = jet::ColumnType::Guid; break;
        case 8: t = jet::ColumnType::OLE; break;
        case 9: t = jet::ColumnType::Numeric; break;
        }
        if (!typed) {
            type = t;
            typed = true;
        } else if (t != type) {
            if (t == jet::ColumnType::Memo && type == jet::ColumnType::Text) type = t;
            else if (!(t == jet::ColumnType::Text && type == jet::ColumnType::Memo)) type = jet::ColumnType::Memo;
        }
    }
    return type;
}

struct Plan {
    std::vector<NodePtr> computed;        // one per computed result column
    std::vector<std::size_t> computedAt;  // its result column
};

const SelectItem* itemByAlias(const SelectStatement& s, const ColumnRef& ref) {
    if (!ref.table.empty()) return nullptr;
    for (const SelectItem& item : s.items)
        if (!item.star && !item.alias.empty() && compareText(item.alias, ref.name) == 0) return &item;
    return nullptr;
}

// ORDER BY may name a result column by its alias when the table has no column of that name.
NodePtr compileOrderKey(const Expr& key, const SelectStatement& s, const Scope& scope) {
    if (const auto* ref = std::get_if<ColumnRef>(&key.node))
        if (!scope.table->findColumn(ref->name))
            if (const SelectItem* item = itemByAlias(s, *ref)) return detail::compile(*item->expr, scope);
    return detail::compile(key, scope);
}

}  // namespace

jet::Value Result::value(std::size_t row, std::size_t column) const {
    const ResultColumn& c = columns.at(column);
    if (c.source) return table->value(rows.at(row), *c.source);
    return c.computed.at(row);
}

void requireParameterValues(const Parameters& parameters, const ParameterValues& values) {
    for (std::size_t i = 0; i < parameters.count(); ++i)
        if (i >= values.size() || !values[i]) failAt("参数标记“?”没有值", parameters.positions[i]);
}

Result execute(const SelectStatement& s, Catalog& catalog, const ParameterValues& parameters,
               RowFilterProvider* filter) {
    requireParameterValues(s.parameters, parameters);
    std::shared_ptr<const Table> table = catalog.table(s.from.name);
    if (!table) failAt("找不到输入表或查询“" + s.from.name + "”", s.from.position);
    const Scope scope{table.get(), s.from.alias, &parameters};

    Result result;
    result.table = table;
    Plan plan;
    std::size_t unnamed = 1000;  // Jet names unnamed computed columns Expr1000, Expr1001, ...
    for (const SelectItem& item : s.items) {
        if (item.star) {
            if (!item.starTable.empty() && compareText(item.starTable, table->name()) != 0 &&
                (s.from.alias.empty() || compareText(item.starTable, s.from.alias) != 0))
                failAt("未知的表或别名“" + item.starTable + "”", item.position);
            for (std::size_t c = 0; c < table->columns().size(); ++c)
                result.columns.push_back({table->columns()[c].name, table->columns()[c].type, c, {}});
            continue;
        }
        if (const auto* ref = std::get_if<ColumnRef>(&item.expr->node)) {
            const std::size_t c = detail::resolveColumn(*ref, item.expr->position, scope);
            const ColumnInfo& info = table->columns()[c];
            result.columns.push_back({item.alias.empty() ? info.name : item.alias, info.type, c, {}});
            continue;
        }
        plan.computed.push_back(detail::compile(*item.expr, scope));
        plan.computedAt.push_back(result.columns.size());
        result.columns.push_back(
            {item.alias.empty() ? "Expr" + std::to_string(unnamed++) : item.alias, jet::ColumnType::Text, {}, {}});
    }
    std::vector<NodePtr> orderKeys;
    for (const OrderItem& item : s.orderBy) orderKeys.push_back(compileOrderKey(*item.expr, s, scope));

    // Rows that the WHERE selects.
    std::optional<std::vector<std::size_t>> rows;
    if (s.where) {
        const NodePtr where = detail::compile(*s.where, scope);
        if (filter) rows = filter->filter(*table, *s.where, parameters);
        if (!rows) {
            rows.emplace();
            const std::size_t count = table->rowCount();
            for (std::size_t r = 0; r < count; ++r)
                if (detail::toCondition(where->eval(r), where->position()).value_or(false)) rows->push_back(r);
        }
    } else {
        rows.emplace(table->rowCount());
        for (std::size_t r = 0; r < rows->size(); ++r) (*rows)[r] = r;
    }

    if (s.distinct) {
        std::vector<ColumnReader> readers;
        std::size_t next = 0;
        for (const ResultColumn& c : result.columns)
            if (c.source) readers.emplace_back(*table, *c.source);
            else readers.emplace_back(*plan.computed[next++]);
        std::unordered_set<std::string> seen;
        std::string key, scratch;
        std::vector<std::size_t> kept;
        for (std::size_t r : *rows) {
            key.clear();
            for (ColumnReader& reader : readers) appendKey(reader.read(r), key, scratch);
            if (seen.insert(key).second) kept.push_back(r);
        }
        *rows = std::move(kept);
    }

    std::vector<std::vector<jet::Value>> keys;  // per key, per position in *rows
    if (!orderKeys.empty()) {
        for (const NodePtr& key : orderKeys) {
            std::vector<jet::Value> values;
            values.reserve(rows->size());
            for (std::size_t r : *rows) values.push_back(detail::toValue(key->eval(r)));
            keys.push_back(std::move(values));
        }
        std::vector<std::size_t> order(rows->size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        auto compareAt = [&](std::size_t a, std::size_t b) {
            for (std::size_t k = 0; k < keys.size(); ++k) {
                const int c = orderOf(keys[k][a], keys[k][b]);
                if (c != 0) return s.orderBy[k].descending ? -c : c;
            }
            return 0;
        };
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return compareAt(a, b) < 0; });
        std::vector<std::size_t> sorted(order.size());
        for (std::size_t i = 0; i < order.size(); ++i) sorted[i] = (*rows)[order[i]];
        if (s.top) {
            std::size_t n = s.top->percent ? static_cast<std::size_t>(std::ceil(
                                                 static_cast<double>(sorted.size()) * static_cast<double>(s.top->count) / 100.0))
                                           : static_cast<std::size_t>(std::min<std::uint64_t>(s.top->count, sorted.size()));
            n = std::min(n, sorted.size());
            // Jet's TOP keeps the rows that tie with the last one kept.
            while (n > 0 && n < sorted.size() && compareAt(order[n - 1], order[n]) == 0) ++n;
            sorted.resize(n);
        }
        *rows = std::move(sorted);
    } else if (s.top) {
        const std::size_t n = s.top->percent
                                  ? static_cast<std::size_t>(std::ceil(static_cast<double>(rows->size()) *
                                                                       static_cast<double>(s.top->count) / 100.0))
                                  : static_cast<std::size_t>(std::min<std::uint64_t>(s.top->count, rows->size()));
        rows->resize(std::min(n, rows->size()));
    }

    for (std::size_t i = 0; i < plan.computed.size(); ++i) {
        ResultColumn& column = result.columns[plan.computedAt[i]];
        column.computed.reserve(rows->size());
        for (std::size_t r : *rows) column.computed.push_back(detail::toValue(plan.computed[i]->eval(r)));
        column.type = typeOfComputed(column.computed);
    }
    result.rows = std::move(*rows);
    return result;
}

}  // namespace ado::sql
