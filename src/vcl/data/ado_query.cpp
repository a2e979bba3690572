#include "vcl/data/ado_query.h"

#include "ado/command.h"
#include "ado/connection.h"
#include "ado/recordset.h"
#include "vcl/data/exceptions.h"
#include "vcl/data/parameter_scan.h"
#include "vcl/data/value_text.h"

namespace vcl {

namespace {

constexpr std::string_view kReadOnly = "Cannot modify a read-only dataset";

// Runs an engine call; the engine's failures become EOleException with its trimmed words, no name in
// front. Failures of this layer pass as they are.
template <typename Call>
decltype(auto) engineCall(Call&& call)
{
    try {
        return call();
    } catch (const Exception&) {
        throw;
    } catch (const std::exception& failure) {
        EngineFailure(failure.what());
    }
}

}  // namespace

TADOQuery::TADOQuery(TComponent* owner) : TDataSet(owner), command_(std::make_unique<ado::Command>())
{
    sql_.OnChange = [this] { statementChanged(); };
}

TADOQuery::~TADOQuery()
{
    try {
        Close();
    } catch (...) {
        // A view that fails while being told of the close cannot stop the query from going.
    }
}

void TADOQuery::SetConnectionString(std::string connectionString)
{
    if (connectionString == connectionString_)
        return;
    if (Active())
        DatabaseError("Cannot perform this operation on an open dataset", this);
    connectionString_ = std::move(connectionString);
    command_->setConnection(nullptr);
}

void TADOQuery::SetCursorType(TCursorType type)
{
    cursorType_ = type;
}

const std::string& TADOQuery::CommandText() const noexcept
{
    return command_->text();
}

bool TADOQuery::Connected() const noexcept
{
    return command_->connection() != nullptr;
}

const ado::Connection* TADOQuery::Connection() const noexcept
{
    return command_->connection().get();
}

void TADOQuery::connect()
{
    if (Connected())
        return;
    // The bank is located now, against the current directory: a bank that turns up after a failed
    // attempt is found by the next one.
    command_->setConnection(engineCall([this] { return ado::Connection::open(connectionString_); }));
}

void TADOQuery::statementChanged()
{
    if (!Loading())
        Close();
    std::string text = sql_.Text();
    if (text == statementText_)
        return;
    statementText_ = std::move(text);
    if (statementText_.empty()) {
        command_->setText(std::string());
        parameters_.Clear();
        return;
    }

    ScannedStatement scanned =
        paramCheck_ ? scanParameters(statementText_) : ScannedStatement{statementText_, {}};
    TParameters fromScan;
    for (std::string& name : scanned.names) {
        const TParameter* previous = parameters_.FindParam(name);
        TParameter& parameter = fromScan.Add(std::move(name));
        if (previous != nullptr) {
            parameter.Value = previous->Value;
            parameter.DataType = previous->DataType;
        }
    }
    command_->setText(std::move(scanned.text));

    parameters_ = TParameters();
    if (!Loading())
        describeStatement();
    if (fromScan.Count() > 0) {
        if (fromScan.Count() == parameters_.Count())
            for (int i = 0; i < fromScan.Count(); ++i)
                if (fromScan[i].DataType == TFieldType::ftUnknown)
                    fromScan[i].DataType = parameters_[i].DataType;
        parameters_ = std::move(fromScan);
    }
}

void TADOQuery::describeStatement()
{
    // A statement the engine cannot prepare, or a bank that cannot be reached, shows at the next open.
    try {
        connect();
        TParameters described;
        for (const ado::Parameter& parameter : command_->describeParameters())
            described.Add(parameter.name);
        parameters_ = std::move(described);
    } catch (...) {
    }
}

void TADOQuery::InternalOpen()
{
    if (command_->text().empty())
        DatabaseError("Missing SQL property", this);
    connect();

    std::vector<ado::Parameter>& handed = command_->parameters();
    handed.clear();
    for (const TParameter& parameter : parameters_.items()) {
        ado::Parameter engineParameter{parameter.Name, std::nullopt};
        if (parameter.Value)
            engineParameter.value = jet::Value(*parameter.Value);
        handed.push_back(std::move(engineParameter));
    }

    std::unique_ptr<ado::Recordset> result = engineCall([this] { return command_->execute(); });
    // A statement that changes rows instead of reading them gives no result, or one without columns.
    if (!result || result->fieldCount() == 0)
        DatabaseError("CommandText does not return a result set", this);
    for (std::size_t i = 0; i < result->fieldCount(); ++i)
        addField(result->fieldName(i), fieldTypeOf(result->fieldType(i)), 0);
    recordset_ = std::move(result);
}

void TADOQuery::InternalClose()
{
    recordset_.reset();
}

int TADOQuery::InternalRecordCount() const
{
    return recordset_ ? static_cast<int>(recordset_->recordCount()) : 0;
}

std::optional<std::string> TADOQuery::InternalValue(int row, int field) const
{
    if (!recordset_ || row < 0 || field < 0)
        return std::nullopt;
    const auto r = static_cast<std::size_t>(row);
    const auto f = static_cast<std::size_t>(field);
    const jet::ColumnType type = recordset_->fieldType(f);
    if (type == jet::ColumnType::Text || type == jet::ColumnType::Memo) {
        const auto text = recordset_->text(r, f);
        return text ? std::optional<std::string>(std::string(*text)) : std::nullopt;
    }
    const jet::Value value = recordset_->value(r, f);
    if (jet::isNull(value))
        return std::nullopt;
    return valueText(value);
}

bool TADOQuery::InternalCanModify() const
{
    return recordset_ && recordset_->canUpdate();
}

// The fields' new values as the engine takes them, each read for its column's type; unset fields are Null.
// A template, because the dataset keeps its change type to itself and its subclasses.
template <typename FieldChanges>
ado::FieldValues engineValues(const ado::Recordset& recordset, const FieldChanges& changes)
{
    ado::FieldValues values;
    for (const auto& change : changes) {
        const auto field = static_cast<std::size_t>(change.field);
        values.push_back({field, change.value ? valueFromText(*change.value, recordset.fieldType(field))
                                              : jet::Value(jet::Null{})});
    }
    return values;
}

void TADOQuery::InternalUpdate(int row, const std::vector<FieldChange>& changes)
{
    if (!InternalCanModify())
        DatabaseError(kReadOnly, this);
    engineCall([&] { recordset_->update(static_cast<std::size_t>(row), engineValues(*recordset_, changes)); });
}

int TADOQuery::InternalInsert(const std::vector<FieldChange>& changes)
{
    if (!InternalCanModify())
        DatabaseError(kReadOnly, this);
    return static_cast<int>(engineCall([&] { return recordset_->insert(engineValues(*recordset_, changes)); }));
}

void TADOQuery::InternalDelete(int row)
{
    if (!InternalCanModify())
        DatabaseError(kReadOnly, this);
    engineCall([&] { recordset_->remove(static_cast<std::size_t>(row)); });
}

}  // namespace vcl
