#pragma once
// Small question banks written to disk for the engine's tests, and a guard that changes the current
// directory for one test.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "jet/create/bank_builder.h"

namespace engine_test {

using Questions = std::vector<std::optional<std::string>>;

inline void writeBank(const std::filesystem::path& path, const Questions& questions) { jet::writeBank(path, questions); }

inline std::string jetConnection(const std::string& dataSource) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dataSource + ";Persist Security Info=False";
}

class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::filesystem::path& path) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~CurrentDirectory() { std::filesystem::current_path(saved_); }
    void change(const std::filesystem::path& path) { std::filesystem::current_path(path); }

private:
    std::filesystem::path saved_;
};

// Whether a message ends like a sentence, which the engine's messages must not.
inline bool endsWithFullStop(const std::string& message) {
    return !message.empty() && (message.back() == '.' || message.ends_with("。"));
}

}  // namespace engine_test
