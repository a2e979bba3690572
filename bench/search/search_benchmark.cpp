// bench-search [--dir FOLDER] [--repeat N] [--each-key] [--without-sqlite] SIZE...
// For each bank size: the first open of the bank (reading it and building what the search keeps), then
// typing sequences one character at a time, each keystroke one close and open of the search statement
// through ado::Command and ado::Recordset as the window does it, timed side by side with SQLite running
// instr(lower(题目), lower(?)) on the same questions. The last line sums up the largest bank.
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ado/command.h"
#include "ado/engine_error.h"
#include "bench_banks.h"
#include "sqlite_search.h"
#include "timing.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Sequence {
    std::string name;
    std::vector<std::string> typed;  // the box's text after each keystroke
};

Sequence typing(std::string name, const std::string& word) {
    Sequence sequence{std::move(name), {}};
    for (std::size_t at = 0; at < word.size();) {
        const auto lead = static_cast<unsigned char>(word[at]);
        at += lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        sequence.typed.push_back(word.substr(0, at));
    }
    return sequence;
}

const std::vector<Sequence> kSequences = {
    typing("common Chinese, 1-4 chars", "中华人民"),
    typing("Latin word in capitals", "WINDOWS"),
    typing("found nowhere", "犇鑫淼焱"),
    typing("common chars, rare run", "的是的是"),
};

// The statement the window composes for a text, as the query hands it over (with its line break).
std::string statementFor(const std::string& text) {
    if (text.empty()) return "select 题目 from tiku\r\n";
    return "select 题目 from tiku where InStr(1,LCase(题目),LCase(\"" + text + "\"),0)<>0\r\n";
}

// What the list draws after an open: the rows on screen.
std::size_t drawScreen(const ado::Recordset& result) {
    std::size_t bytes = 0;
    for (std::size_t row = 0; row < std::min<std::size_t>(30, result.recordCount()); ++row)
        bytes += result.text(row, 0).value_or("").size();
    return bytes;
}

class Keystrokes {
public:
    explicit Keystrokes(ado::Command& command) : command_(command) {}

    // One change of the box: close, new statement (prepared and described), open, draw.
    std::size_t type(const std::string& text) {
        result_.reset();
        command_.setText(statementFor(text));
        try {
            command_.describeParameters();
        } catch (const ado::EngineError&) {
        }
        result_ = command_.execute();
        drawn_ += drawScreen(*result_);
        return result_->recordCount();
    }

private:
    ado::Command& command_;
    std::unique_ptr<ado::Recordset> result_;
    std::size_t drawn_ = 0;
};

struct Summary {
    std::vector<double> ours, sqlite;
    double firstOpen = 0, rss = 0, peak = 0;
    std::uint64_t textBytes = 0;
};

Summary runSize(const std::filesystem::path& folder, std::size_t size, int repeat, bool eachKey, bool withSqlite) {
    const bench::BankFiles files = bench::bankFiles(folder, size, 20261211);
    bench::SqliteSearch sqlite(files.sqlite);
    Summary summary;
    summary.textBytes = files.textBytes;

    ado::Command command;
    auto start = Clock::now();
    command.setConnection(ado::Connection::open(
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + files.access.string() + ";Persist Security Info=False"));
    command.setText("select * from tiku\r\n");
    auto initial = command.execute();
    summary.firstOpen = bench::millisecondsSince(start);
    if (initial->recordCount() != size) throw std::runtime_error("the bank holds a different number of questions");
    initial.reset();

    std::printf("\n%zu questions, %.1f MB of text; first open %.0f ms\n", size, files.textBytes / 1048576.0,
                summary.firstOpen);
    std::printf("%-28s %6s %10s %10s %12s %8s %9s\n", "sequence", "keys", "median-ms", "p95-ms", "sqlite-ms", "ratio",
                "matches");
    Keystrokes keys(command);
    bool first = true;
    for (const auto& sequence : kSequences) {
        std::vector<double> ours, theirs;
        std::vector<std::vector<double>> perKey(sequence.typed.size());
        std::vector<std::size_t> perKeyMatches(sequence.typed.size());
        std::size_t matches = 0;
        for (int round = 0; round < repeat; ++round) {
            for (std::size_t k = 0; k < sequence.typed.size(); ++k) {
                const std::string& text = sequence.typed[k];
                start = Clock::now();
                matches = keys.type(text);
                ours.push_back(bench::millisecondsSince(start));
                perKey[k].push_back(ours.back());
                perKeyMatches[k] = matches;
                if (first) {
                    std::printf("  first keystroke after the first open: %.2f ms\n", ours.back());
                    first = false;
                }
                if (!withSqlite) continue;
                start = Clock::now();
                const std::size_t expected = sqlite.search(text);
                theirs.push_back(bench::millisecondsSince(start));
                if (expected != matches)
                    throw std::runtime_error("different matches for " + text + ": " + std::to_string(matches) +
                                             " against SQLite's " + std::to_string(expected));
            }
            keys.type("");  // the box emptied again before the next round
        }
        const double median = bench::quantile(ours, 0.5), sqliteMedian = bench::quantile(theirs, 0.5);
        std::printf("%-28s %6zu %10.2f %10.2f %12.2f %7.0fx %9zu\n", sequence.name.c_str(), ours.size(), median,
                    bench::quantile(ours, 0.95), sqliteMedian, sqliteMedian / median, matches);
        if (eachKey)
            for (std::size_t k = 0; k < sequence.typed.size(); ++k)
                std::printf("    %-24s %10.2f %10.2f %22zu\n", sequence.typed[k].c_str(), bench::quantile(perKey[k], 0.5),
                            bench::quantile(perKey[k], 0.95), perKeyMatches[k]);
        summary.ours.insert(summary.ours.end(), ours.begin(), ours.end());
        summary.sqlite.insert(summary.sqlite.end(), theirs.begin(), theirs.end());
    }
    {
        start = Clock::now();
        const std::size_t all = keys.type("");
        const double ms = bench::millisecondsSince(start);
        start = Clock::now();
        sqlite.search("");
        std::printf("%-28s %6d %10.2f %10s %12.2f %8s %9zu\n", "emptied box (whole bank)", 1, ms, "",
                    bench::millisecondsSince(start), "", all);
    }
    // Memory with the bank open and searched: freed heap handed back first, so that what stays is what
    // the engine keeps.
    keys.type(kSequences.front().typed.front());
    malloc_trim(0);
    summary.rss = bench::residentMegabytes();
    summary.peak = bench::peakResidentMegabytes();
    std::printf("resident %.0f MB (%.2fx the text), peak %.0f MB\n", summary.rss,
                summary.rss * 1048576.0 / static_cast<double>(files.textBytes), summary.peak);
    return summary;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path folder = TESSARIN_BENCH_BANKS;
    int repeat = 5;
    bool eachKey = false, withSqlite = true;
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dir" && i + 1 < argc)
            folder = argv[++i];
        else if (arg == "--without-sqlite")  // for profiling the engine alone
            withSqlite = false;
        else if (arg == "--each-key")
            eachKey = true;
        else if (arg == "--repeat" && i + 1 < argc)
            repeat = std::max(1, std::atoi(argv[++i]));
        else
            sizes.push_back(static_cast<std::size_t>(std::stoull(arg)));
    }
    if (sizes.empty()) sizes = {10000, 100000, 1000000};
    std::printf("banks in %s\n", folder.c_str());
    try {
        Summary last;
        for (const std::size_t size : sizes) last = runSize(folder, size, repeat, eachKey, withSqlite);
        const double median = bench::quantile(last.ours, 0.5);
        const double sqliteMedian = bench::quantile(last.sqlite, 0.5);
        std::printf("keystroke-median-ms=%.2f keystroke-p95-ms=%.2f sqlite-median-ms=%.2f ratio=%.1f first-open-ms=%.0f "
                    "rss-mb=%.0f\n",
                    median, bench::quantile(last.ours, 0.95), sqliteMedian, sqliteMedian / median, last.firstOpen,
                    last.rss);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench-search: %s\n", e.what());
        return 1;
    }
    return 0;
}
