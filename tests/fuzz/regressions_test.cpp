// Replays every input that once made the file reader's fuzzer fail (regressions/jet_reader/): each must
// now read, or fail with jet::Error, as any damaged file does.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "jet/database.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputs(const char* folder) {
    std::vector<fs::path> files;
    const fs::path dir = fs::path(TESSARIN_FUZZ_REGRESSIONS) / folder;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path());
    return files;
}

TEST(FuzzRegressions, FileReaderInputsReadOrFailCleanly) {
    const auto files = inputs("jet_reader");
    if (files.empty()) GTEST_SKIP() << "no kept inputs in regressions/jet_reader";
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        try {
            auto db = jet::Database::open(file);
            std::vector<jet::Value> row;
            for (const auto& entry : db->catalog()) {
                if (entry.type != 1) continue;
                auto reader = db->read(entry.name);
                while (reader.next(row)) {
                }
            }
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
        }
    }
}

}  // namespace
