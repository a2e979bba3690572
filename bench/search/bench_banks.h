#pragma once
// The banks the benchmark searches: an Access file and an SQLite file holding the same generated
// questions, made once per size and reused by later runs.
#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace bench {

struct BankFiles {
    std::filesystem::path access;   // table tiku(ID, 题目)
    std::filesystem::path sqlite;   // table tiku(ID integer primary key, 题目 text)
    std::uint64_t textBytes = 0;    // the questions' UTF-8 bytes together
};

// Makes (or finds) the two files for count questions of the given seed in folder.
BankFiles bankFiles(const std::filesystem::path& folder, std::size_t count, std::uint64_t seed);

}  // namespace bench
