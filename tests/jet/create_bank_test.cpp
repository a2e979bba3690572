// New banks written by BankBuilder, read back by our own reader: every kind of question text, values
// around the limits where a memo leaves the row, fills one long-value page or needs a chain of them,
// and the failures that must leave no half-written bank behind.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "jet/create/bank_builder.h"
#include "jet/database.h"
#include "jet/error.h"
#include "support/test_support.h"

namespace {

using Questions = std::vector<std::optional<std::string>>;
using testing_support::TempDir;

std::string repeat(std::string_view piece, std::size_t times) {
    std::string s;
    for (std::size_t i = 0; i < times; ++i) s += piece;
    return s;
}

struct BankCase {
    std::string name;
    Questions questions;
    friend void PrintTo(const BankCase& c, std::ostream* os) { *os << c.name; }
};

// Stored sizes: Chinese takes 2 bytes a character; Latin-1 text of 3..1024 characters is compressed
// to 1 byte a character plus a 2-byte mark. A memo stays in the row up to 64 stored bytes, takes one
// long-value row up to 4080 bytes, and beyond that a chain of pages carrying 4076 bytes each.
std::vector<BankCase> bankCases() {
    return {
        {"Empty", {}},
        {"OneRow", {"中国的首都是哪里？"}},
        {"Nulls", {std::nullopt, "有值", std::nullopt}},
        {"EmptyStrings", {"", "非空", ""}},
        {"LineBreaks", {"第一行\r\n第二行\n第三行\r", "\r\n"}},
        {"Scripts", {"Hello, world", "中文与English混排123", "emoji 😀 与 𠀀 扩展区", "Ünïcödé façade", "ab"}},
        {"ChineseAroundInlineLimit", {repeat("题", 32), repeat("题", 33)}},
        {"LatinAroundInlineLimit", {repeat("a", 62), repeat("a", 63)}},
        {"AroundSinglePageLimit", {repeat("长", 2040), repeat("长", 2041)}},
        {"ChainOfExactPages", {repeat("链", 4076), repeat("链", 4077)}},
        {"CompressionLimit", {repeat("x", 1024), repeat("x", 1025)}},
        {"LongQuestion", {repeat("这是一道很长的题目。", 3000)}},
        {"MixedSizes", {"短", repeat("中", 500), std::nullopt, repeat("长", 9000), "", "尾"}},
    };
}

class CreatedBankTest : public ::testing::TestWithParam<BankCase> {};

TEST_P(CreatedBankTest, OurReaderReadsBackEveryRow) {
    TempDir dir;
    const auto file = dir / "data.mdb";
    const Questions& questions = GetParam().questions;
    jet::writeBank(file, questions);

    auto db = jet::Database::open(file);
    EXPECT_EQ(db->header().version, 4);
    EXPECT_EQ(db->header().pageSize, 4096u);
    EXPECT_EQ(db->header().sortOrder, 0x0409);
    EXPECT_FALSE(db->header().hasPassword);
    EXPECT_EQ(db->header().databaseKey, 0u);
    ASSERT_EQ(db->tableNames(), std::vector<std::string>{"tiku"});

    const jet::TableDef& tiku = db->table("tiku");
    ASSERT_EQ(tiku.columns.size(), 2u);
    EXPECT_EQ(tiku.columns[0].name, "ID");
    EXPECT_EQ(tiku.columns[0].type, jet::ColumnType::Long);
    EXPECT_TRUE(tiku.columns[0].autoNumber);
    EXPECT_EQ(tiku.columns[1].name, "题目");
    EXPECT_EQ(tiku.columns[1].type, jet::ColumnType::Memo);
    EXPECT_TRUE(tiku.columns[1].compressedUnicode);
    EXPECT_EQ(tiku.rowCount, questions.size());
    ASSERT_EQ(tiku.indexes.size(), 1u);
    EXPECT_EQ(tiku.indexes[0].name, "PrimaryKey");
    EXPECT_TRUE(tiku.indexes[0].primary);
    ASSERT_EQ(tiku.indexes[0].columns.size(), 1u);
    EXPECT_EQ(tiku.indexes[0].columns[0].columnNumber, 0);

    jet::TableReader reader = db->read("tiku");
    std::vector<jet::Value> row;
    std::size_t n = 0;
    while (reader.next(row)) {
        ASSERT_LT(n, questions.size());
        EXPECT_EQ(row[0], jet::Value(std::int64_t(n + 1)));
        if (questions[n]) {
            const auto* text = std::get_if<std::string>(&row[1]);
            ASSERT_NE(text, nullptr) << "row " << n + 1 << " lost its text";
            EXPECT_EQ(*text, *questions[n]) << "row " << n + 1;
        } else {
            EXPECT_TRUE(jet::isNull(row[1])) << "row " << n + 1 << " should be Null";
        }
        ++n;
    }
    EXPECT_EQ(n, questions.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, CreatedBankTest, ::testing::ValuesIn(bankCases()),
                         [](const auto& info) { return info.param.name; });

TEST(CreatedBank, RowCountAndAutoNumberFollowTheRows) {
    TempDir dir;
    jet::BankBuilder builder = jet::BankBuilder::create(dir / "data.mdb");
    for (int i = 0; i < 5; ++i) builder.append("题" + std::to_string(i));
    EXPECT_EQ(builder.rowCount(), 5u);
    builder.finish();
    auto db = jet::Database::open(dir / "data.mdb");
    EXPECT_EQ(db->table("tiku").rowCount, 5u);
    // The definition keeps the last AutoNumber handed out; the engine gives the next row 6.
    EXPECT_EQ(db->table("tiku").nextAutoNumber, 5u);
}

TEST(CreatedBank, HeaderCarriesCodePageAndCreationDate) {
    TempDir dir;
    jet::writeBank(dir / "data.mdb", {"题"});
    const auto db = jet::Database::open(dir / "data.mdb");
    EXPECT_EQ(db->header().codePage, 1252);
    const double unixDays = double(std::chrono::duration_cast<std::chrono::seconds>(
                                       std::chrono::system_clock::now().time_since_epoch()).count()) / 86400.0;
    // Local time, so within a day of now in UTC; the empty password's mask is derived from it.
    EXPECT_NEAR(db->header().creationDate, 25569.0 + unixDays, 1.0);
    EXPECT_FALSE(db->header().hasPassword);
    EXPECT_EQ(db->header().pageCount * 4096, std::filesystem::file_size(dir / "data.mdb"));
}

TEST(CreatedBank, AppearsOnlyWhenFinished) {
    TempDir dir;
    const auto file = dir / "data.mdb";
    {
        jet::BankBuilder builder = jet::BankBuilder::create(file);
        builder.append("未完成");
        EXPECT_FALSE(std::filesystem::exists(file));
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "the unfinished file must be removed";
}

TEST(CreatedBank, AnUnfinishedBankLeavesTheOldFileAlone) {
    TempDir dir;
    const auto file = dir / "data.mdb";
    jet::writeBank(file, {"旧题库"});
    const auto before = std::filesystem::file_size(file);
    {
        jet::BankBuilder builder = jet::BankBuilder::create(file);
        builder.append("新题库");
    }
    ASSERT_EQ(std::filesystem::file_size(file), before);
    auto db = jet::Database::open(file);
    std::vector<jet::Value> row;
    auto reader = db->read("tiku");
    ASSERT_TRUE(reader.next(row));
    EXPECT_EQ(row[1], jet::Value(std::string("旧题库")));
}

TEST(CreatedBank, FinishReplacesAnExistingFile) {
    TempDir dir;
    const auto file = dir / "data.mdb";
    jet::writeBank(file, {"旧", "旧"});
    jet::writeBank(file, {"新"});
    EXPECT_EQ(jet::Database::open(file)->table("tiku").rowCount, 1u);
}

TEST(CreatedBank, InvalidUtf8IsRefusedAndNothingIsLeft) {
    TempDir dir;
    const auto file = dir / "data.mdb";
    {
        jet::BankBuilder builder = jet::BankBuilder::create(file);
        builder.append("好");
        EXPECT_THROW(builder.append(std::string_view("\xff\xfe bad", 6)), jet::Error);
        // A failed append leaves the bank unusable rather than half right.
        EXPECT_THROW(builder.finish(), jet::Error);
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(CreatedBank, NoRowsAfterFinish) {
    TempDir dir;
    jet::BankBuilder builder = jet::BankBuilder::create(dir / "data.mdb");
    builder.finish();
    EXPECT_THROW(builder.append("迟到"), jet::Error);
    EXPECT_THROW(builder.finish(), jet::Error);
}

TEST(CreatedBank, AMissingFolderIsAnError) {
    TempDir dir;
    EXPECT_THROW(jet::BankBuilder::create(dir / "no" / "such" / "data.mdb"), jet::Error);
}

TEST(CreatedBank, MovedFromBuilderRefusesWork) {
    TempDir dir;
    jet::BankBuilder a = jet::BankBuilder::create(dir / "data.mdb");
    jet::BankBuilder b = std::move(a);
    EXPECT_THROW(a.append("x"), jet::Error);  // NOLINT(bugprone-use-after-move): the point of the test
    b.append("x");
    b.finish();
    EXPECT_EQ(jet::Database::open(dir / "data.mdb")->table("tiku").rowCount, 1u);
}

}  // namespace
