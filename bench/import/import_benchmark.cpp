// Writes a new bank of generated questions and reports questions per second and the file's size.
// Usage: bench-import [count=1000000] [file=bench-import.mdb] [seed=1]
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <string>

#include "jet/create/bank_builder.h"
#include "question_generator.h"

int main(int argc, char** argv) {
    const std::size_t count = argc > 1 ? std::stoul(argv[1]) : 1000000;
    const std::filesystem::path file = argc > 2 ? argv[2] : "bench-import.mdb";
    const std::uint64_t seed = argc > 3 ? std::stoull(argv[3]) : 1;

    // The texts are made first, so that only the writing is timed.
    const std::vector<std::string> questions = bench::QuestionGenerator::make(seed, count);
    std::size_t textBytes = 0;
    for (const std::string& q : questions) textBytes += q.size();

    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    jet::BankBuilder builder = jet::BankBuilder::create(file);
    for (const std::string& q : questions) builder.append(q);
    const auto appended = std::chrono::steady_clock::now();
    builder.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double finishSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - appended).count();
    // CPU time of this process: on a busy shared machine it shows what the wall clock hides.
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;

    const auto size = std::filesystem::file_size(file);
    std::printf("questions: %zu (%.1f MB of UTF-8 text)\n", count, double(textBytes) / 1e6);
    std::printf("time: %.3f s (finish %.3f s), CPU %.3f s\n", seconds, finishSeconds, cpuSeconds);
    std::printf("questions/second: %.0f (per CPU second: %.0f)\n", double(count) / seconds, double(count) / cpuSeconds);
    std::printf("file: %s, %.1f MB (%ju bytes)\n", file.c_str(), double(size) / 1e6, std::uintmax_t(size));
    return 0;
}
