// libFuzzer target: any bytes given to the Access file reader as a file either read or fail with
// jet::Error; never a crash, a hang, a read outside the file or an unbounded allocation.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/database.h"

namespace {

// Reads all that the reader offers: the catalog, every local table's rows, one row by its place.
void readEverything(const std::filesystem::path& file) {
    auto db = jet::Database::open(file);
    std::vector<jet::Value> row;
    for (const auto& entry : db->catalog()) {
        if (entry.type != 1) continue;
        auto reader = db->read(entry.name);
        jet::RowId where;
        bool first = true;
        while (reader.next(row, &where)) {
            if (first) db->readRow(reader.table(), where, row);
            first = false;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader opens files by name; each fuzzing process keeps one scratch file of its own.
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("tessarin-jet-fuzz-" + std::to_string(::getpid()) + ".mdb");
    if (FILE* out = std::fopen(file.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, out);
        std::fclose(out);
    } else {
        return 0;
    }
    try {
        readEverything(file);
    } catch (const jet::Error&) {
        // the expected outcome for damaged input
    }
    return 0;
}
