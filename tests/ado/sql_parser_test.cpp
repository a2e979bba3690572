// Reading statements: tokens, the four statement kinds, syntax errors with their positions, limits.
#include <gtest/gtest.h>

#include <string>

#include "ado/engine_error.h"
#include "ado/sql/lexer.h"
#include "ado/sql/parser.h"

namespace {

using namespace ado::sql;

TEST(Lexer, SplitsNamesKeywordsLiteralsAndSymbolsWithCharacterPositions) {
    const auto tokens = tokenize("select 题目,[my col] FROM tiku where x<>'it''s' and y>=1.5e3 & \"a\"\"b\" ?");
    ASSERT_EQ(tokens.size(), 18u);
    EXPECT_EQ(tokens[0].kind, TokenKind::Keyword);
    EXPECT_EQ(tokens[0].text, "SELECT");
    EXPECT_EQ(tokens[1].kind, TokenKind::Name);
    EXPECT_EQ(tokens[1].text, "题目");
    EXPECT_EQ(tokens[1].position, 8u);
    EXPECT_EQ(tokens[2].text, ",");
    EXPECT_EQ(tokens[2].position, 10u);
    EXPECT_EQ(tokens[3].text, "my col");
    EXPECT_TRUE(tokens[3].bracketed);
    EXPECT_EQ(tokens[4].text, "FROM");
    EXPECT_EQ(tokens[8].text, "<>");
    EXPECT_EQ(tokens[9].kind, TokenKind::Text);
    EXPECT_EQ(tokens[9].text, "it's");
    EXPECT_EQ(tokens[12].text, ">=");
    EXPECT_EQ(tokens[13].kind, TokenKind::Real);
    EXPECT_EQ(tokens[15].text, "a\"b");
    EXPECT_EQ(tokens[16].kind, TokenKind::Parameter);
    EXPECT_EQ(tokens[17].kind, TokenKind::End);
}

TEST(Lexer, ABracketedKeywordIsAName) {
    const auto tokens = tokenize("[select] Select");
    EXPECT_EQ(tokens[0].kind, TokenKind::Name);
    EXPECT_EQ(tokens[1].kind, TokenKind::Keyword);
}

struct RejectCase {
    std::string statement;
    std::string message;
};

class Rejected : public ::testing::TestWithParam<RejectCase> {};

TEST_P(Rejected, WithTheMessageAndPosition) {
    const RejectCase& c = GetParam();
    try {
        parseStatement(c.statement);
        FAIL() << "accepted: " << c.statement;
    } catch (const ado::EngineError& e) {
        EXPECT_EQ(std::string(e.what()), c.message) << c.statement;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Statements, Rejected,
    ::testing::Values(
        RejectCase{"", "语法错误：语句应以 SELECT、UPDATE、DELETE 或 INSERT 开头，却是语句结尾，位于第 1 个字符"},
        RejectCase{"selec * from t", "语法错误：语句应以 SELECT、UPDATE、DELETE 或 INSERT 开头，却是“selec”，位于第 1 个字符"},
        RejectCase{"select from t", "语法错误：此处应为表达式，却是“FROM”，位于第 8 个字符"},
        RejectCase{"select * t", "语法错误：此处应为FROM，却是“t”，位于第 10 个字符"},
        RejectCase{"select * from", "语法错误：此处应为表名，却是语句结尾，位于第 14 个字符"},
        RejectCase{"select * from t where", "语法错误：此处应为表达式，却是语句结尾，位于第 22 个字符"},
        RejectCase{"select * from t where (a = 1", "语法错误：此处应为“)”，却是语句结尾，位于第 29 个字符"},
        RejectCase{"select * from t where a = 1)", "语法错误：语句结尾处多出“)”，位于第 28 个字符"},
        RejectCase{"select * from t order a", "语法错误：此处应为BY，却是“a”，位于第 23 个字符"},
        RejectCase{"select 'abc from t", "文本常量缺少结束的引号，位于第 8 个字符"},
        RejectCase{"select [abc from t", "方括号中的名称缺少“]”，位于第 8 个字符"},
        RejectCase{"select [] from t", "方括号中的名称为空，位于第 8 个字符"},
        RejectCase{"select a，b from t", "无法识别的字符“，”，位于第 9 个字符"},
        RejectCase{"select a from t where a == 1", "语法错误：此处应为表达式，却是“=”，位于第 26 个字符"},
        RejectCase{"select 12abc from t", "数字后面紧跟着名称字符，位于第 10 个字符"},
        RejectCase{"select top 0 * from t", "TOP 后的行数必须是正整数，位于第 12 个字符"},
        RejectCase{"select top 101 percent * from t", "TOP 的百分比不能超过 100，位于第 12 个字符"},
        RejectCase{"select a from t where a is 1", "语法错误：此处应为NULL，却是“1”，位于第 28 个字符"},
        RejectCase{"select a from t where a between 1", "语法错误：此处应为AND，却是语句结尾，位于第 34 个字符"},
        RejectCase{"select a from t; select b from t", "语法错误：语句结尾处多出“SELECT”，位于第 18 个字符"},
        RejectCase{"select a from t where \xff", "语句不是有效的 UTF-8 文本，位于第 23 个字符"},
        RejectCase{"insert into t (a, b) values (1)", "INSERT 的列数（2）与值的个数（1）不一致，位于第 22 个字符"},
        RejectCase{"update t a = 1", "语法错误：此处应为SET，却是“a”，位于第 10 个字符"},
        RejectCase{"delete t", "语法错误：此处应为FROM，却是“t”，位于第 8 个字符"}));

TEST(ParseSelect, RefusesOtherStatements) {
    EXPECT_THROW(parseSelect("delete from t"), ado::EngineError);
}

TEST(ParseSelect, ReadsEveryClause) {
    const SelectStatement s =
        parseSelect("SELECT DISTINCT TOP 5 PERCENT a AS x, t.*, * FROM t AS u WHERE a = ? ORDER BY a DESC, b;");
    EXPECT_TRUE(s.distinct);
    ASSERT_TRUE(s.top);
    EXPECT_EQ(s.top->count, 5u);
    EXPECT_TRUE(s.top->percent);
    ASSERT_EQ(s.items.size(), 3u);
    EXPECT_EQ(s.items[0].alias, "x");
    EXPECT_TRUE(s.items[1].star);
    EXPECT_EQ(s.items[1].starTable, "t");
    EXPECT_TRUE(s.items[2].star);
    EXPECT_EQ(s.from.name, "t");
    EXPECT_EQ(s.from.alias, "u");
    ASSERT_TRUE(s.where);
    ASSERT_EQ(s.orderBy.size(), 2u);
    EXPECT_TRUE(s.orderBy[0].descending);
    EXPECT_FALSE(s.orderBy[1].descending);
    EXPECT_EQ(s.parameters.count(), 1u);
    EXPECT_EQ(s.parameters.positions[0], 68u);
}

TEST(ParseSelect, BindsOperatorsAsJetDoes) {
    // a Or b And Not c = 1 + 2 * 3 & "x"  reads  a Or (b And (Not (c = ((1 + (2 * 3)) & "x"))))
    const SelectStatement s = parseSelect("select * from t where a Or b And Not c = 1 + 2 * 3 & \"x\"");
    const auto& top = std::get<Binary>(s.where->node);
    EXPECT_EQ(top.op, BinaryOp::Or);
    const auto& conj = std::get<Binary>(top.right->node);
    EXPECT_EQ(conj.op, BinaryOp::And);
    const auto& negation = std::get<Unary>(conj.right->node);
    EXPECT_EQ(negation.op, UnaryOp::Not);
    const auto& equal = std::get<Binary>(negation.operand->node);
    EXPECT_EQ(equal.op, BinaryOp::Equal);
    const auto& concat = std::get<Binary>(equal.right->node);
    EXPECT_EQ(concat.op, BinaryOp::Concat);
    const auto& sum = std::get<Binary>(concat.left->node);
    EXPECT_EQ(sum.op, BinaryOp::Add);
    EXPECT_EQ(std::get<Binary>(sum.right->node).op, BinaryOp::Multiply);
}

TEST(ParseWrites, UpdateDeleteInsert) {
    const Statement update = parseStatement("UPDATE tiku SET 题目 = ?, [ID] = ID + 1 WHERE ID = ?");
    const auto& u = std::get<UpdateStatement>(update);
    EXPECT_EQ(u.table.name, "tiku");
    ASSERT_EQ(u.assignments.size(), 2u);
    EXPECT_EQ(u.assignments[0].column, "题目");
    EXPECT_EQ(u.assignments[1].column, "ID");
    ASSERT_TRUE(u.where);
    EXPECT_EQ(parametersOf(update).count(), 2u);

    const Statement remove = parseStatement("delete * from tiku where ID = 3");
    const auto& d = std::get<DeleteStatement>(remove);
    EXPECT_EQ(d.table.name, "tiku");
    EXPECT_TRUE(d.where);
    EXPECT_FALSE(std::get<DeleteStatement>(parseStatement("DELETE FROM tiku")).where);

    const Statement insert = parseStatement("insert into tiku (题目) values ('新的题目')");
    const auto& i = std::get<InsertStatement>(insert);
    EXPECT_EQ(i.table.name, "tiku");
    ASSERT_EQ(i.columns.size(), 1u);
    EXPECT_EQ(i.columns[0].name, "题目");
    ASSERT_EQ(i.values.size(), 1u);
    EXPECT_EQ(std::get<std::string>(std::get<Literal>(i.values[0]->node).value), "新的题目");
    EXPECT_TRUE(std::get<InsertStatement>(parseStatement("INSERT INTO tiku VALUES (1, Null)")).columns.empty());
}

TEST(ParseLimits, DeepNestingIsAnErrorNotACrash) {
    for (const std::string& opener : {std::string("("), std::string("-"), std::string("Not "), std::string("Len(")}) {
        std::string deep = "select ";
        for (int i = 0; i < 5000; ++i) deep += opener;
        deep += "1 from t";
        try {
            parseStatement(deep);
            FAIL() << opener;
        } catch (const ado::EngineError& e) {
            EXPECT_NE(std::string(e.what()).find("嵌套太深"), std::string::npos) << e.what();
        }
    }
}

TEST(ParseLimits, LongChainsAreAnErrorNotACrash) {
    std::string chain = "select 1";
    for (int i = 0; i < 20000; ++i) chain += "+1";
    chain += " from t";
    try {
        parseStatement(chain);
        FAIL();
    } catch (const ado::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("表达式太复杂"), std::string::npos) << e.what();
    }
}

TEST(ParseLimits, ModerateNestingAndLongSearchTextsAreFine) {
    std::string nested = "select ";
    for (int i = 0; i < 50; ++i) nested += "(";
    nested += "1";
    for (int i = 0; i < 50; ++i) nested += ")";
    EXPECT_NO_THROW(parseStatement(nested + " from t"));
    const std::string longText(100000, 'x');
    EXPECT_NO_THROW(parseStatement("select 题目 from tiku where InStr(1,LCase(题目),LCase(\"" + longText + "\"),0)<>0"));
}

TEST(ParseLimits, AnOverlongStatementIsRefused) {
    const std::string huge = "select '" + std::string(kMaxStatementBytes, 'x') + "' from t";
    EXPECT_THROW(parseStatement(huge), ado::EngineError);
}

}  // namespace
