// bench-export: the time to import N generated questions with tessarin-bank, to read them back from a
// cold page cache, and to export them, side by side with mdb-export of the same table.
//
//   bench-export [--rows N] [--runs K] [--dir FOLDER] [--keep]
//
// Defaults: 1,000,000 rows, best of 3 runs per exporter, a fresh folder under the system's temporary folder.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "question_generator.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    std::size_t rows = 1'000'000;
    int runs = 3;
    fs::path dir;
    bool keep = false;
};

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::invalid_argument(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--rows")
            options.rows = std::stoul(value());
        else if (arg == "--runs")
            options.runs = std::max(1, std::stoi(value()));
        else if (arg == "--dir")
            options.dir = value();
        else if (arg == "--keep")
            options.keep = true;
        else
            throw std::invalid_argument("unknown option " + arg +
                                        "; usage: bench-export [--rows N] [--runs K] [--dir FOLDER] [--keep]");
    }
    if (options.dir.empty())
        options.dir = fs::temp_directory_path() / ("tessarin-bench-export-" + std::to_string(getpid()));
    return options;
}

std::string quoted(const std::string& text)
{
    std::string result = "'";
    for (char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

// Runs a shell command and returns its wall-clock time in seconds; throws when it fails.
double timed(const std::string& command)
{
    auto start = std::chrono::steady_clock::now();
    int status = std::system(command.c_str());
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("failed: " + command);
    return seconds;
}

std::string outputOf(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
            out.append(chunk, n);
        pclose(pipe);
    }
    return out;
}

// One question a line, with the import escapes for backslashes and line breaks.
void writeQuestions(const fs::path& file, std::size_t rows)
{
    std::ofstream out(file, std::ios::binary);
    bench::QuestionGenerator generator(20261211);
    std::string line;
    for (std::size_t i = 0; i < rows; ++i) {
        line.clear();
        for (char c : generator.next()) {
            if (c == '\\')
                line += "\\\\";
            else if (c == '\n')
                line += "\\n";
            else
                line += c;
        }
        line += '\n';
        out << line;
    }
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

// Writes the file's pages out and asks the kernel to drop them, so the next read comes from the disk.
void dropFromPageCache(const fs::path& file)
{
    int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0)
        throw std::runtime_error("cannot open " + file.string());
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

double bestOf(int runs, const std::string& command)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, timed(command));
    return best;
}

}  // namespace

int main(int argc, char** argv)
try {
    Options options = parseOptions(argc, argv);
    fs::create_directories(options.dir);
    const std::string tool = quoted(TESSARIN_BANK_TOOL);
    const fs::path text = options.dir / "questions.txt";
    const fs::path bank = options.dir / "bank.mdb";
    fs::remove(bank);

    std::printf("bench-export: %zu generated questions in %s\n", options.rows, options.dir.c_str());
    writeQuestions(text, options.rows);
    timed(tool + " new " + quoted(bank.string()));
    double importSeconds = timed(tool + " import " + quoted(bank.string()) + " " + quoted(text.string()) + " >/dev/null");
    std::printf("import            %8.3f s  %10.0f questions/s  (%.1f MB text -> %.1f MB bank)\n", importSeconds,
                options.rows / importSeconds, fs::file_size(text) / 1e6, fs::file_size(bank) / 1e6);

    dropFromPageCache(bank);
    double coldSeconds = timed(tool + " count " + quoted(bank.string()) + " tiku >/dev/null");
    std::string counted = outputOf(tool + " count " + quoted(bank.string()) + " tiku");
    if (std::stoul(counted) != options.rows)
        throw std::runtime_error("count says " + counted + " rows, expected " + std::to_string(options.rows));
    std::printf("cold read (count) %8.3f s  %10.0f rows/s\n", coldSeconds, options.rows / coldSeconds);

    std::string exported = outputOf(tool + " export " + quoted(bank.string()) + " tiku | wc -l");
    if (std::stoul(exported) != options.rows)
        throw std::runtime_error("export printed " + exported + " lines, expected " + std::to_string(options.rows));

    const std::string ours = tool + " export " + quoted(bank.string()) + " tiku >/dev/null";
    const std::string theirs = "mdb-export " + quoted(bank.string()) + " tiku >/dev/null";
    bool haveMdbExport = std::system("command -v mdb-export >/dev/null 2>&1") == 0;
    double oursSeconds = bestOf(options.runs, ours);
    std::printf("export            %8.3f s  %10.0f rows/s  tessarin-bank export (best of %d)\n", oursSeconds,
                options.rows / oursSeconds, options.runs);
    if (haveMdbExport) {
        double theirsSeconds = bestOf(options.runs, theirs);
        std::printf("export            %8.3f s  %10.0f rows/s  mdb-export (best of %d)\n", theirsSeconds,
                    options.rows / theirsSeconds, options.runs);
        double ratio = theirsSeconds / oursSeconds;
        std::printf("ratio mdb-export / tessarin-bank export: %.2fx (goal >= 3x: %s)\n", ratio,
                    ratio >= 3 ? "met" : "not met");
    } else {
        std::printf("mdb-export is not installed: no comparison\n");
    }
    if (!options.keep)
        fs::remove_all(options.dir);
    return 0;
} catch (const std::exception& e) {
    std::fprintf(stderr, "bench-export: %s\n", e.what());
    return 1;
}
