// New banks written by BankBuilder, read by independent readers: mdbtools' command-line tools
// (mdb-ver, mdb-tables, mdb-schema, mdb-count, mdb-json, mdb-export) and the mdb-reader package.
//
// Allowed for in mdbtools' output: it prints an empty text like a Null (mdb-json leaves the key out,
// mdb-export prints the Null mark), and it converts UTF-16 one unit at a time, so a character beyond
// U+FFFF comes out as "??". mdb-reader shows every value exactly.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "interop/json_rows.h"
#include "jet/create/bank_builder.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;
using Questions = std::vector<std::optional<std::string>>;

bool haveMdbTools() { return runCommand("command -v mdb-json >/dev/null 2>&1").exitCode == 0; }

std::filesystem::path readerScript() { return sourceDir() / "tests" / "interop" / "read_with_mdb_reader.mjs"; }
#define REQUIRE_MDBTOOLS() \
    if (!haveMdbTools()) GTEST_SKIP() << "mdbtools (mdb-json) is not installed"
#define REQUIRE_MDB_READER() \
    if (!haveMdbReader()) GTEST_SKIP() << "node or tests/interop/node_modules/mdb-reader is missing (npm ci in tests/interop)"

CommandResult mdb(const std::string& tool, const std::filesystem::path& file, const std::string& rest = "") {
    return runCommand(tool + " " + shellQuote(file.string()) + (rest.empty() ? "" : " " + rest) + " 2>/dev/null");
}

CommandResult mdbReader(const std::filesystem::path& file, const std::string& table = "") {
    std::string command = "node " + shellQuote(readerScript().string()) + " " + shellQuote(file.string());
    if (!table.empty()) command += " " + shellQuote(table);
    return runCommand(command);
}

std::string repeat(std::string_view piece, std::size_t times) {
    std::string s;
    for (std::size_t i = 0; i < times; ++i) s += piece;
    return s;
}

// What mdbtools makes of a text: each UTF-16 unit beyond the Basic Multilingual Plane becomes '?'.
std::string asMdbToolsShowsIt(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = c < 0x80 ? 1 : c < 0xe0 ? 2 : c < 0xf0 ? 3 : 4;
        out += n == 4 ? std::string("??") : utf8.substr(i, n);
        i += n;
    }
    return out;
}

struct BankCase {
    std::string name;
    Questions questions;
    friend void PrintTo(const BankCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<BankCase> bankCases() {
    return {
        {"Empty", {}},
        {"OneRow", {"中国的首都是哪里？"}},
        {"NullsAndEmptyStrings", {std::nullopt, "", "有值", std::nullopt, ""}},
        {"LineBreaks", {"第一行\r\n第二行\n第三行\r", "\r\n", "a\tb"}},
        {"Scripts", {"Hello, world", "中文与English混排123", "emoji 😀 与 𠀀 扩展区", "Ünïcödé façade", "ab", "\"引号\"和'单引号'"}},
        // A memo stays in the row up to 64 stored bytes, fills one long-value row up to 4080, and
        // beyond that a chain of pages; Latin-1 text of up to 1024 characters is stored one byte each.
        {"AroundInlineLimit", {repeat("题", 32), repeat("题", 33), repeat("a", 62), repeat("a", 63)}},
        {"AroundSinglePageLimit", {repeat("长", 2040), repeat("长", 2041), repeat("x", 1024), repeat("x", 1025)}},
        {"LongChains", {repeat("链", 4076), repeat("这是一道很长的题目，有好几页。", 2500)}},
    };
}

class CreatedBankInteropTest : public ::testing::TestWithParam<BankCase> {
protected:
    void SetUp() override {
        file_ = dir_ / "data.mdb";
        jet::writeBank(file_, GetParam().questions);
    }
    TempDir dir_;
    std::filesystem::path file_;
};

TEST_P(CreatedBankInteropTest, MdbToolsSeeAJet4BankWithTableTiku) {
    REQUIRE_MDBTOOLS();
    const Questions& questions = GetParam().questions;
    EXPECT_EQ(mdb("mdb-ver", file_).out, "JET4\n");
    EXPECT_EQ(mdb("mdb-tables", file_, "-1").out, "tiku\n");
    EXPECT_EQ(mdb("mdb-tables", file_, "-S -1").out, "MSysObjects\nMSysACEs\nMSysQueries\nMSysRelationships\ntiku\n");
    EXPECT_EQ(mdb("mdb-count", file_, "tiku").out, std::to_string(questions.size()) + "\n");
    const CommandResult schema = mdb("mdb-schema", file_, "-T tiku");
    EXPECT_EQ(schema.exitCode, 0);
    EXPECT_NE(schema.out.find("[ID]\t\t\tLong Integer"), std::string::npos) << schema.out;
    EXPECT_NE(schema.out.find("[题目]\t\t\tMemo/Hyperlink"), std::string::npos) << schema.out;
}

TEST_P(CreatedBankInteropTest, MdbJsonReadsEveryRow) {
    REQUIRE_MDBTOOLS();
    const Questions& questions = GetParam().questions;
    const CommandResult json = mdb("mdb-json", file_, "tiku");
    ASSERT_EQ(json.exitCode, 0);
    const auto rows = interop::parseJsonLines(json.out);
    ASSERT_EQ(rows.size(), questions.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].at("ID").text, std::to_string(i + 1));
        const auto text = rows[i].find("题目");
        if (!questions[i] || questions[i]->empty()) {
            EXPECT_EQ(text, rows[i].end()) << "row " << i + 1;
        } else {
            ASSERT_NE(text, rows[i].end()) << "row " << i + 1;
            EXPECT_EQ(text->second.text, asMdbToolsShowsIt(*questions[i])) << "row " << i + 1;
        }
    }
}

TEST_P(CreatedBankInteropTest, MdbExportWritesEveryRow) {
    REQUIRE_MDBTOOLS();
    const Questions& questions = GetParam().questions;
    // Unit separator between fields, record separator after rows, group separator for Null.
    const CommandResult csv = mdb("mdb-export", file_,
                                 "-H -Q -d \"$(printf '\\037')\" -R \"$(printf '\\036')\" -0 \"$(printf '\\035')\" tiku");
    ASSERT_EQ(csv.exitCode, 0);
    std::vector<std::string> records;
    for (std::size_t start = 0; start < csv.out.size();) {
        const std::size_t end = csv.out.find('\x1e', start);
        ASSERT_NE(end, std::string::npos);
        records.push_back(csv.out.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(records.size(), questions.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string text = questions[i] && !questions[i]->empty() ? asMdbToolsShowsIt(*questions[i]) : "\x1d";
        EXPECT_EQ(records[i], std::to_string(i + 1) + "\x1f" + text) << "row " << i + 1;
    }
}

TEST_P(CreatedBankInteropTest, MdbReaderReadsEveryRowExactly) {
    REQUIRE_MDB_READER();
    const Questions& questions = GetParam().questions;
    EXPECT_EQ(mdbReader(file_).out, "tiku\n");
    const CommandResult result = mdbReader(file_, "tiku");
    ASSERT_EQ(result.exitCode, 0);
    const auto rows = interop::parseJsonLines(result.out);
    ASSERT_EQ(rows.size(), questions.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].at("ID").text, std::to_string(i + 1));
        const interop::JsonValue& text = rows[i].at("题目");
        if (questions[i]) {
            ASSERT_EQ(text.kind, interop::JsonValue::Kind::String) << "row " << i + 1;
            EXPECT_EQ(text.text, *questions[i]) << "row " << i + 1;
        } else {
            EXPECT_EQ(text.kind, interop::JsonValue::Kind::Null) << "row " << i + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CreatedBankInteropTest, ::testing::ValuesIn(bankCases()),
                         [](const auto& info) { return info.param.name; });

// A bank over many data, long-value and index pages, with usage maps kept by reference.
class ManyRowsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        for (std::size_t i = 1; i <= kRows; ++i) {
            std::string q = "第" + std::to_string(i) + "题：";
            q += repeat("长江黄河", 1 + i % 40);  // 8..160 bytes: in the row or on a long-value page
            if (i % 1000 == 0) q = repeat("长篇", 3000);
            questions_.push_back(q);
        }
        jet::writeBank(*dir_ / "data.mdb", questions_);
    }
    static void TearDownTestSuite() { delete dir_; }
    static void expectRows(const std::vector<interop::JsonRow>& rows) {
        ASSERT_EQ(rows.size(), kRows);
        for (std::size_t i = 0; i < kRows; ++i) {
            ASSERT_EQ(rows[i].at("ID").text, std::to_string(i + 1));
            ASSERT_EQ(rows[i].at("题目").text, *questions_[i]) << "row " << i + 1;
        }
    }
    static constexpr std::size_t kRows = 100000;
    static inline TempDir* dir_ = nullptr;
    static inline Questions questions_;
};

TEST_F(ManyRowsTest, MdbToolsCountAndReadThemAll) {
    REQUIRE_MDBTOOLS();
    EXPECT_EQ(mdb("mdb-count", *dir_ / "data.mdb", "tiku").out, std::to_string(kRows) + "\n");
    expectRows(interop::parseJsonLines(mdb("mdb-json", *dir_ / "data.mdb", "tiku").out));
}

TEST_F(ManyRowsTest, MdbReaderReadsThemAll) {
    REQUIRE_MDB_READER();
    expectRows(interop::parseJsonLines(mdbReader(*dir_ / "data.mdb", "tiku").out));
}

}  // namespace
