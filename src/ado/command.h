#pragma once
// A statement to run over a connection: its text with "?" markers and the parameters' values.
#include <memory>
#include <string>
#include <vector>

#include "ado/connection.h"
#include "ado/parameter.h"
#include "ado/recordset.h"

namespace ado {

class Command {
public:
    Command() = default;

    void setConnection(std::shared_ptr<Connection> connection) { connection_ = std::move(connection); }
    const std::shared_ptr<Connection>& connection() const { return connection_; }

    // The statement, UTF-8, "?" markers included; a trailing line break is allowed.
    void setText(std::string utf8) { text_ = std::move(utf8); }
    const std::string& text() const { return text_; }

    // The values handed to the markers, in marker order.
    std::vector<Parameter>& parameters() { return parameters_; }
    const std::vector<Parameter>& parameters() const { return parameters_; }

    // Prepares the statement, reports the markers it holds (one Parameter without a value each, named
    // "Param1", "Param2", ...) and drops the preparation. Throws EngineError for a statement the engine
    // does not accept.
    std::vector<Parameter> describeParameters() const;

    // Runs the statement and reads its whole result. Throws EngineError: no connection, a statement the
    // engine does not accept, a table or column that does not exist, a marker without a value, a
    // statement that returns no rows.
    std::unique_ptr<Recordset> execute();

    // Runs an UPDATE, DELETE or INSERT through the file writer and returns the number of rows it
    // changed. Throws EngineError: a statement of another kind, or one the engine does not accept; a
    // table that cannot be changed; the writer's failure (the rows changed before it stay changed).
    std::size_t executeChange();

private:
    std::shared_ptr<Connection> connection_;
    std::string text_;
    std::vector<Parameter> parameters_;
};

}  // namespace ado
