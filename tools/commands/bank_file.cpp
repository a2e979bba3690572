#include "commands/bank_file.h"

#include <system_error>

#include "cli/failure.h"

namespace tool {

std::unique_ptr<jet::Database> openForReading(const std::filesystem::path& file)
{
    std::error_code ec;
    auto status = std::filesystem::status(file, ec);
    if (!std::filesystem::exists(status))
        throw Failure(file, "no such file");
    if (std::filesystem::is_directory(status))
        throw Failure(file, "is a folder, not an Access file");
    return jet::Database::open(file);
}

const jet::TableDef& requireTable(const jet::Database& database, std::string_view name)
{
    if (!database.hasTable(name)) {
        std::string known;
        for (const auto& table : database.tableNames())
            known += (known.empty() ? "" : ", ") + table;
        throw Failure(database.path(), "no table named '" + std::string(name) + "' (its tables: " +
                                           (known.empty() ? "none" : known) + ")");
    }
    return database.table(name);
}

}  // namespace tool
