#pragma once
// Splits work over the machine's cores: the calling thread takes the last part itself.
#include <algorithm>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

namespace ado {

// How many parts to split work of this size into: one when it is too small to be worth a thread.
inline std::size_t partsFor(std::size_t work, std::size_t minimumPerPart) {
    const std::size_t cores = std::max<std::size_t>(1, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(work / std::max<std::size_t>(1, minimumPerPart), 1, cores);
}

// Runs job(part) for every part in [0, parts) at once and waits; rethrows the first failure.
template <typename Job>
void runParts(std::size_t parts, Job&& job) {
    if (parts <= 1) {
        job(std::size_t{0});
        return;
    }
    std::vector<std::exception_ptr> failures(parts);
    std::vector<std::thread> threads;
    threads.reserve(parts - 1);
    for (std::size_t part = 0; part + 1 < parts; ++part)
        threads.emplace_back([&, part] {
            try {
                job(part);
            } catch (...) {
                failures[part] = std::current_exception();
            }
        });
    try {
        job(parts - 1);
    } catch (...) {
        failures[parts - 1] = std::current_exception();
    }
    for (auto& thread : threads) thread.join();
    for (auto& failure : failures)
        if (failure) std::rethrow_exception(failure);
}

}  // namespace ado
