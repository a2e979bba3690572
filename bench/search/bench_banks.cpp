#include "bench_banks.h"

#include <sqlite3.h>

#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "jet/create/bank_builder.h"
#include "question_generator.h"

namespace bench {
namespace {

void check(int code, sqlite3* db, const char* what) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void writeSqlite(const std::filesystem::path& path, std::size_t count, std::uint64_t seed) {
    const auto partial = std::filesystem::path(path).concat(".partial");
    std::filesystem::remove(partial);
    sqlite3* db = nullptr;
    check(sqlite3_open(partial.c_str(), &db), db, "open");
    check(sqlite3_exec(db, "pragma journal_mode=off; create table tiku(ID integer primary key, 题目 text); begin;",
                       nullptr, nullptr, nullptr),
          db, "create");
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "insert into tiku(题目) values (?)", -1, &insert, nullptr), db, "prepare");
    QuestionGenerator generator(seed);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string question = generator.next();
        sqlite3_bind_text(insert, 1, question.data(), static_cast<int>(question.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "commit;", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
    std::filesystem::rename(partial, path);
}

}  // namespace

BankFiles bankFiles(const std::filesystem::path& folder, std::size_t count, std::uint64_t seed) {
    std::filesystem::create_directories(folder);
    const std::string stem = "bank-" + std::to_string(count) + "-" + std::to_string(seed);
    BankFiles files{folder / (stem + ".mdb"), folder / (stem + ".sqlite"), 0};
    const auto sizeFile = folder / (stem + ".textbytes");
    if (!std::filesystem::exists(files.access) || !std::filesystem::exists(sizeFile)) {
        std::cerr << "making " << files.access << " ..." << std::endl;
        jet::BankBuilder builder = jet::BankBuilder::create(files.access);
        QuestionGenerator generator(seed);
        std::uint64_t bytes = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string question = generator.next();
            bytes += question.size();
            builder.append(question);
        }
        builder.finish();
        std::ofstream(sizeFile) << bytes << "\n";
    }
    if (!std::filesystem::exists(files.sqlite)) {
        std::cerr << "making " << files.sqlite << " ..." << std::endl;
        writeSqlite(files.sqlite, count, seed);
    }
    std::ifstream(sizeFile) >> files.textBytes;
    return files;
}

}  // namespace bench
