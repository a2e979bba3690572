#pragma once
// Realistic quiz questions for benchmarks: Chinese sentences of 20 to 200 characters with some Latin
// words, digits and full-width punctuation. The same seed gives the same questions on every machine.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

class QuestionGenerator {
public:
    explicit QuestionGenerator(std::uint64_t seed);

    // The next question, UTF-8, between minChars and maxChars characters (code points).
    std::string next();

    // count questions from a fresh generator with this seed.
    static std::vector<std::string> make(std::uint64_t seed, std::size_t count);

    static constexpr std::size_t minChars = 20;
    static constexpr std::size_t maxChars = 200;

private:
    std::uint64_t random();                      // splitmix64: fixed, portable sequence
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(random() % n); }
    std::uint64_t state_;
};

}  // namespace bench
