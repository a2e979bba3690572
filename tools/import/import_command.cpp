// import FILE TEXTFILE: fills the empty bank FILE with one question per line of TEXTFILE.
//
// The bank is rewritten as a whole (the builder makes complete files), so import only accepts a bank
// that 'new' made and that holds no rows yet: there is nothing in it to lose. The complete new file
// replaces FILE only at the end, so a bad line leaves FILE as it was.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "cli/failure.h"
#include "commands/bank_file.h"
#include "commands/commands.h"
#include "import/progress_bar.h"
#include "import/question_line.h"
#include "jet/create/bank_builder.h"

namespace tool {
namespace {

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Refuses anything but an empty bank of the shape 'new' makes: rebuilding any other file would drop data.
void requireEmptyBank(const std::filesystem::path& file)
{
    auto database = openForReading(file);
    auto tables = database->tableNames();
    if (tables.size() != 1 || !sameName(tables[0], "tiku"))
        throw Failure(file, "is not a bank made by 'tessarin-bank new' (it must hold the table tiku alone)");
    const jet::TableDef& tiku = database->table("tiku");
    if (tiku.columns.size() != 2 || tiku.columns[0].name != "ID" || tiku.columns[1].name != "题目")
        throw Failure(file, "its table tiku does not have exactly the columns ID and 题目");
    jet::TableReader reader = database->read(tiku);
    std::vector<jet::Value> row;
    if (reader.next(row))
        throw Failure(file, "tiku already holds questions; import fills only an empty bank made by 'new'");
}

// Lines of a file as they come, line break included; getline(3) keeps one growing buffer.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : file_(file) {}
    ~LineReader()
    {
        std::free(buffer_);
        std::fclose(file_);
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool next(std::string_view& line)
    {
        ssize_t length = getline(&buffer_, &capacity_, file_);
        if (length < 0)
            return false;
        line = std::string_view(buffer_, static_cast<std::size_t>(length));
        return true;
    }
    bool failed() const { return std::ferror(file_) != 0; }
    std::uintmax_t size() const
    {
        struct stat info {};
        return fstat(fileno(file_), &info) == 0 && S_ISREG(info.st_mode) ? static_cast<std::uintmax_t>(info.st_size) : 0;
    }

private:
    std::FILE* file_;
    char* buffer_ = nullptr;
    std::size_t capacity_ = 0;
};

}  // namespace

void runImport(const Arguments& arguments, OutputBuffer& out)
{
    const std::filesystem::path bank = arguments[0];
    const std::filesystem::path textFile = arguments[1];
    requireEmptyBank(bank);

    std::FILE* opened = std::fopen(textFile.c_str(), "rb");
    if (!opened)
        throw Failure(textFile, std::string("cannot be opened for reading: ") + std::strerror(errno));
    LineReader input(opened);

    jet::BankBuilder builder = jet::BankBuilder::create(bank);
    ProgressBar progress(input.size());
    std::uintmax_t bytesRead = 0;
    std::uint64_t lineNumber = 0;
    std::string_view line;
    while (input.next(line)) {
        ++lineNumber;
        bytesRead += line.size();
        if (!line.empty() && line.back() == '\n')
            line.remove_suffix(1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF"))
            line.remove_prefix(3);
        if (line.empty())
            continue;
        try {
            builder.append(decodeQuestionLine(line));
        } catch (const LineError& e) {
            progress.finish();
            throw Failure(textFile, "line " + std::to_string(lineNumber) + ": " + e.what());
        }
        progress.update(bytesRead, builder.rowCount());
    }
    if (input.failed())
        throw Failure(textFile, "read error after line " + std::to_string(lineNumber));
    progress.note("writing the index and catalog...");
    builder.finish();
    progress.finish();
    out.put(bank.string() + ": " + std::to_string(builder.rowCount()) + " questions imported\n");
}

}  // namespace tool
