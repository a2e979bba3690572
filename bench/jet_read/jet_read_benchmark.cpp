// Times a full read of table tiku, row by row as the engine takes it, on a bank of generated questions:
//   bench-jet-read [--rows N] [--runs R] [--dir FOLDER]
// Prints the bank's size, the best and median read time, rows per second, and the growth of the peak
// resident memory during the reads (the reader streams: it should stay far below the file's size).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/create/bank_builder.h"
#include "jet/database.h"
#include "question_generator.h"

namespace {

long peakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t rows = 1000000;
    int runs = 3;
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tessarin-bench-jet-read";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--rows") rows = std::stoul(argv[i + 1]);
        else if (option == "--runs") runs = std::max(1, std::stoi(argv[i + 1]));
        else if (option == "--dir") dir = argv[i + 1];
        else {
            std::fprintf(stderr, "usage: bench-jet-read [--rows N] [--runs R] [--dir FOLDER]\n");
            return 2;
        }
    }
    std::filesystem::create_directories(dir);
    const auto bank = dir / ("bank-" + std::to_string(rows) + ".mdb");
    try {
        if (!std::filesystem::exists(bank)) {
            // Written by a child process, so that the peak memory measured below is the reads' alone.
            const pid_t child = ::fork();
            if (child == 0) {
                try {
                    auto builder = jet::BankBuilder::create(bank);
                    bench::QuestionGenerator generator(20261211);
                    for (std::size_t i = 0; i < rows; ++i) builder.append(generator.next());
                    builder.finish();
                    std::_Exit(0);
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "%s\n", e.what());
                    std::_Exit(1);
                }
            }
            int status = 0;
            if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
                std::fprintf(stderr, "could not write the bank %s\n", bank.c_str());
                return 1;
            }
        }
        // Memory before any read: the program itself.
        const long residentBefore = peakResidentKb();
        std::vector<double> seconds;
        std::size_t read = 0;
        std::size_t textBytes = 0;
        for (int run = 0; run < runs; ++run) {
            const auto start = std::chrono::steady_clock::now();
            auto db = jet::Database::open(bank);
            auto reader = db->read("tiku");
            const int column = reader.table().columnIndex("题目");
            std::vector<jet::Value> row;
            read = 0;
            textBytes = 0;
            while (reader.next(row)) {
                ++read;
                if (const auto* text = std::get_if<std::string>(&row[std::size_t(column)])) textBytes += text->size();
            }
            seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        if (read != rows) {
            std::fprintf(stderr, "read %zu rows of %zu\n", read, rows);
            return 1;
        }
        std::sort(seconds.begin(), seconds.end());
        std::printf("bank: %zu rows, %.1f MB file, %.1f MB of question text\n", rows,
                    double(std::filesystem::file_size(bank)) / 1e6, double(textBytes) / 1e6);
        std::printf("read: best %.3f s, median %.3f s, %.0f rows/s\n", seconds.front(), seconds[seconds.size() / 2],
                    double(rows) / seconds.front());
        std::printf("peak resident memory grew by %.1f MB during the reads\n",
                    double(peakResidentKb() - residentBefore) / 1024.0);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
