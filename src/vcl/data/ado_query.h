#pragma once
// The question-bank query: a statement run by the engine over a connection it makes itself, its whole
// result held in memory (a static client-side snapshot), with a current row and changes written at once.
#include <memory>
#include <string>

#include "vcl/data/dataset.h"
#include "vcl/data/exceptions.h"
#include "vcl/data/parameters.h"
#include "vcl/data/strings.h"

namespace ado {
class Command;
class Connection;
class Recordset;
}  // namespace ado

namespace vcl {

enum class TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };
enum class TCursorLocation { clUseServer, clUseClient };
enum class TLockType { ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic };

class TADOQuery : public TDataSet {
public:
    // Makes the engine's command at once; it lives as long as the query.
    explicit TADOQuery(TComponent* owner = nullptr);
    // Closes the query (a change in progress is dropped) and releases the command and its connection.
    ~TADOQuery() override;

    // The connection string; the connection is made from it the first time one is needed. Changing it on
    // a closed query drops the connection; on an open query it raises.
    const std::string& ConnectionString() const noexcept { return connectionString_; }
    void SetConnectionString(std::string connectionString);

    // The statement as lines; every change of the list runs the statement change (closes the query,
    // rescans, asks the engine to describe it).
    TStrings& SQL() noexcept { return sql_; }
    const TStrings& SQL() const noexcept { return sql_; }
    TParameters& Parameters() noexcept { return parameters_; }
    const TParameters& Parameters() const noexcept { return parameters_; }

    TCursorType CursorType() const noexcept { return cursorType_; }
    void SetCursorType(TCursorType type);
    TCursorLocation CursorLocation() const noexcept { return cursorLocation_; }
    TLockType LockType() const noexcept { return lockType_; }
    bool ParamCheck() const noexcept { return paramCheck_; }
    void SetParamCheck(bool paramCheck) noexcept { paramCheck_ = paramCheck; }

    // The text handed to the engine's command (the statement after the scan, CR LF after each line).
    const std::string& CommandText() const noexcept;
    // Whether the query has its connection, and which (the same one for every open of the query's life).
    bool Connected() const noexcept;
    const ado::Connection* Connection() const noexcept;

protected:
    void InternalOpen() override;
    void InternalClose() override;
    int InternalRecordCount() const override;
    std::optional<std::string> InternalValue(int row, int field) const override;
    bool InternalCanModify() const override;
    void InternalUpdate(int row, const std::vector<FieldChange>& changes) override;
    int InternalInsert(const std::vector<FieldChange>& changes) override;
    void InternalDelete(int row) override;

private:
    void statementChanged();
    void connect();
    void describeStatement();

    std::string connectionString_;
    TStringList sql_;
    std::string statementText_;  // the lines joined as last seen, to skip changes that change nothing
    TParameters parameters_;
    TCursorType cursorType_ = TCursorType::ctKeyset;
    TCursorLocation cursorLocation_ = TCursorLocation::clUseClient;
    TLockType lockType_ = TLockType::ltOptimistic;
    bool paramCheck_ = true;
    std::unique_ptr<ado::Command> command_;
    std::unique_ptr<ado::Recordset> recordset_;
};

}  // namespace vcl
