#pragma once
// Rows as JSON Lines: one object a line, the column names as keys in column order.
#include <string>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"
#include "output/output_buffer.h"

namespace tool {

struct OutputColumn {
    std::string name;
    jet::ColumnType type;  // decides how a double is written (Single keeps float precision)
};

class JsonRowWriter {
public:
    explicit JsonRowWriter(const std::vector<OutputColumn>& columns);

    // Writes one object and its line break; row holds one value per column.
    void write(OutputBuffer& out, const std::vector<jet::Value>& row) const;
    // The same from a value source: valueAt(i) gives the value of column i.
    template <typename ValueAt>
    void writeEach(OutputBuffer& out, ValueAt&& valueAt) const
    {
        for (std::size_t i = 0; i < keys_.size(); ++i) {
            out.put(keys_[i]);
            writeValue(out, valueAt(i), types_[i]);
        }
        out.put("}\n");
    }

    // One value in its JSON form: strings, numbers, true/false, ISO dates, "{GUID}", base64 binary, null.
    static void writeValue(OutputBuffer& out, const jet::Value& value, jet::ColumnType type);

private:
    std::vector<std::string> keys_;  // '{"A":' for the first column, ',"B":' for the others
    std::vector<jet::ColumnType> types_;
};

}  // namespace tool
