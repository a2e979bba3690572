// bench-write [questions] [bank] [repeats]: makes (or reuses) a bank of generated questions, then times
// saves of a changed question and deletions of questions through the journaled writer, each one whole
// change as the window makes it (lock, journal, pages, flushes, journal removed), and one change of
// 1,000 rows spread over the bank as one statement makes it (one batch, one journal).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "question_generator.h"
#include "jet/create/bank_builder.h"
#include "jet/database.h"
#include "jet/write/table_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const std::size_t count = argc > 1 ? std::stoul(argv[1]) : 1000000;
    const std::filesystem::path bank = argc > 2 ? argv[2] : "bench-write.mdb";
    const int repeats = argc > 3 ? std::stoi(argv[3]) : 20;
    if (!std::filesystem::exists(bank)) {
        auto builder = jet::BankBuilder::create(bank);
        bench::QuestionGenerator generator(42);
        for (std::size_t i = 0; i < count; ++i)
            builder.append(generator.next());
        builder.finish();
    }
    // The places of rows spread over the bank, as a user would pick them.
    std::vector<std::pair<jet::RowId, std::vector<jet::Value>>> picked;
    {
        auto db = jet::Database::open(bank);
        auto reader = db->read("tiku");
        std::vector<jet::Value> row;
        jet::RowId where;
        std::size_t n = 0;
        const std::size_t step = std::max<std::size_t>(1, count / std::size_t(2 * repeats + 1));
        while (reader.next(row, &where))
            if (n++ % step == step / 2 && picked.size() < std::size_t(2 * repeats))
                picked.emplace_back(where, row);
    }
    jet::TableWriter writer(bank);
    std::vector<double> saves, deletions;
    for (int i = 0; i < repeats && std::size_t(2 * i + 1) < picked.size(); ++i) {
        auto& [where, row] = picked[std::size_t(2 * i)];
        auto changed = row;
        changed[1] = std::get<std::string>(row[1]) + "（已修改）";
        auto start = Clock::now();
        writer.update("tiku", where, row, changed);
        saves.push_back(millisecondsSince(start));

        auto& [gone, old] = picked[std::size_t(2 * i + 1)];
        start = Clock::now();
        writer.remove("tiku", gone, old);
        deletions.push_back(millisecondsSince(start));
    }
    // 1,000 rows spread over the bank, changed as one UPDATE statement changes them.
    constexpr std::size_t kBatchRows = 1000;
    std::vector<jet::RowChange> batch;
    {
        auto db = jet::Database::open(bank);
        auto reader = db->read("tiku");
        std::vector<jet::Value> row;
        jet::RowId where;
        std::size_t n = 0;
        const std::size_t step = std::max<std::size_t>(1, count / kBatchRows);
        while (reader.next(row, &where))
            if (n++ % step == step / 3 && batch.size() < kBatchRows) {
                auto changed = row;
                changed[1] = std::get<std::string>(row[1]) + "（批量修改）";
                batch.push_back({jet::RowChange::Kind::Update, where, row, changed});
            }
    }
    auto start = Clock::now();
    writer.apply("tiku", batch);
    const double batchMs = millisecondsSince(start);

    std::printf("bank: %zu questions, %s\n", count, bank.c_str());
    std::printf("save-median-ms=%.2f save-max-ms=%.2f delete-median-ms=%.2f delete-max-ms=%.2f runs=%zu\n",
                median(saves), *std::max_element(saves.begin(), saves.end()), median(deletions),
                *std::max_element(deletions.begin(), deletions.end()), saves.size());
    std::printf("update-rows=%zu update-batch-ms=%.2f\n", batch.size(), batchMs);
    return 0;
}
