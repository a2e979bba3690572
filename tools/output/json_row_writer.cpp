#include "output/json_row_writer.h"

#include <cmath>
#include <type_traits>

#include "output/access_value_text.h"
#include "output/base64.h"
#include "output/json_string.h"

namespace tool {

JsonRowWriter::JsonRowWriter(const std::vector<OutputColumn>& columns)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        keys_.push_back((i == 0 ? "{" : ",") + jsonString(columns[i].name) + ":");
        types_.push_back(columns[i].type);
    }
}

void JsonRowWriter::write(OutputBuffer& out, const std::vector<jet::Value>& row) const
{
    if (keys_.empty()) {
        out.put("{}\n");
        return;
    }
    writeEach(out, [&](std::size_t i) -> const jet::Value& { return row[i]; });
}

void JsonRowWriter::writeValue(OutputBuffer& out, const jet::Value& value, jet::ColumnType type)
{
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, jet::Null>) {
                out.put("null");
            } else if constexpr (std::is_same_v<T, bool>) {
                out.put(v ? "true" : "false");
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                out.number(v);
            } else if constexpr (std::is_same_v<T, double>) {
                if (!std::isfinite(v))
                    out.put("null");  // JSON has no NaN or infinity
                else if (type == jet::ColumnType::Single)
                    out.number(static_cast<float>(v));  // 1.1f stays "1.1", not "1.100000023841858"
                else
                    out.number(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                writeJsonString(out, v);
            } else if constexpr (std::is_same_v<T, jet::Currency>) {
                out.put(currencyNumber(v.units));
            } else if constexpr (std::is_same_v<T, jet::DateTime>) {
                if (auto text = isoDateTime(v.days)) {
                    out.put('"');
                    out.put(*text);
                    out.put('"');
                } else {
                    out.put("null");
                }
            } else if constexpr (std::is_same_v<T, jet::Guid>) {
                out.put('"');
                out.put(guidText(v.bytes));
                out.put('"');
            } else if constexpr (std::is_same_v<T, jet::Bytes>) {
                out.put('"');
                writeBase64(out, v.data);
                out.put('"');
            } else if constexpr (std::is_same_v<T, jet::Decimal>) {
                out.put(v.toString());
            }
        },
        value);
}

}  // namespace tool
