// Values of expressions: operators, functions and Jet's Null rules, one row at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <variant>

#include "ado/engine_error.h"
#include "ado/sql/executor.h"
#include "ado/sql/parser.h"
#include "sql_test_table.h"

namespace {

using jet::Value;
using Null = std::monostate;

std::string describe(const Value& v) {
    std::ostringstream out;
    std::visit(
        [&](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, Null>) out << "Null";
            else if constexpr (std::is_same_v<T, bool>) out << "bool " << (x ? "True" : "False");
            else if constexpr (std::is_same_v<T, std::int64_t>) out << "integer " << x;
            else if constexpr (std::is_same_v<T, double>) out << "double " << x;
            else if constexpr (std::is_same_v<T, std::string>) out << "text \"" << x << "\"";
            else out << "other value";
        },
        v);
    return out.str();
}

// One row: n Null, s "Hello", e "", i 7, d 2.5, z Null text.
std::shared_ptr<sql_test::MemoryTable> oneRow(bool textViews) {
    using jet::ColumnType;
    return std::make_shared<sql_test::MemoryTable>(
        "t",
        std::vector<ado::sql::ColumnInfo>{{"n", ColumnType::Long}, {"s", ColumnType::Text}, {"e", ColumnType::Text},
                                          {"i", ColumnType::Long}, {"d", ColumnType::Double}, {"z", ColumnType::Memo}},
        std::vector<std::vector<Value>>{{Value(), Value(std::string("Hello")), Value(std::string()), Value(std::int64_t{7}),
                                         Value(2.5), Value()}},
        textViews);
}

Value evaluate(const std::string& expression, bool textViews) {
    sql_test::MemoryCatalog catalog;
    catalog.add(oneRow(textViews));
    const auto result = ado::sql::execute(ado::sql::parseSelect("select " + expression + " from t"), catalog, {});
    return result.value(0, 0);
}

struct ValueCase {
    std::string expression;
    Value expected;
};

class ExpressionValue : public ::testing::TestWithParam<std::tuple<ValueCase, bool>> {};

TEST_P(ExpressionValue, IsAsJetComputesIt) {
    const auto& [c, textViews] = GetParam();
    const Value actual = evaluate(c.expression, textViews);
    EXPECT_TRUE(actual == c.expected) << c.expression << " gave " << describe(actual) << ", expected " << describe(c.expected);
}

Value text(const char* s) { return Value(std::string(s)); }
Value integer(std::int64_t i) { return Value(i); }

const ValueCase kValueCases[] = {
    // arithmetic
    {"1+2", integer(3)}, {"7 - 10", integer(-3)}, {"6*7", integer(42)}, {"7/2", Value(3.5)},
    {"7 \\ 2", integer(3)}, {"2.5 \\ 1", integer(2)}, {"3.5 \\ 1", integer(4)}, {"7 Mod 3", integer(1)},
    {"-7 Mod 3", integer(-1)}, {"2^10", Value(1024.0)}, {"-2^2", Value(-4.0)}, {"2^-1", Value(0.5)},
    {"1 + 2 * 3", integer(7)}, {"(1 + 2) * 3", integer(9)}, {"10 - 2 - 3", integer(5)},
    {"9223372036854775807 + 1", Value(9223372036854775808.0)}, {"'a' + 'b'", text("ab")}, {"'1' + 2", integer(3)},
    {"True + 0", integer(-1)}, {"Null + 1", Value()}, {"-Null", Value()}, {"Null * 0", Value()}, {"n + 1", Value()},
    {"i * d", Value(17.5)}, {".5 + 1e1", Value(10.5)},
    // concatenation
    {"'a' & Null", text("a")}, {"Null & Null", Value()}, {"1 & 2", text("12")}, {"True & ''", text("-1")},
    {"2.5 & ''", text("2.5")}, {"0.1 + 0.2 & ''", text("0.3")}, {"s & '!'", text("Hello!")}, {"z & 'x'", text("x")},
    {"'it''s' & \"a \"\"q\"\"\"", text("it'sa \"q\"")},
    // comparisons: text ignores letter case
    {"'abc' = 'ABC'", Value(true)}, {"'a' < 'B'", Value(true)}, {"'ｂ' > 'Ａ'", Value(true)}, {"'ä' = 'Ä'", Value(true)},
    {"'a' <> 'a '", Value(true)}, {"1 = Null", Value()}, {"Null = Null", Value()}, {"2 > 1.5", Value(true)},
    {"True = -1", Value(true)}, {"2 <= 2", Value(true)}, {"3 >= 4", Value(false)}, {"s = 'HELLO'", Value(true)},
    // three-valued logic
    {"Null And False", Value(false)}, {"Null And True", Value()}, {"Null Or True", Value(true)},
    {"Null Or False", Value()}, {"Not Null", Value()}, {"Not (1=2)", Value(true)}, {"Not 1=2", Value(true)},
    {"1=1 And 2=2", Value(true)}, {"1=2 Or 2=2", Value(true)},
    {"Null Is Null", Value(true)}, {"1 Is Not Null", Value(true)}, {"z Is Null", Value(true)}, {"e Is Null", Value(false)},
    // Like
    {"'Hello' Like 'h*'", Value(true)}, {"'Hello' Like 'H?llo'", Value(true)}, {"'a1' Like 'a#'", Value(true)},
    {"'ab' Like 'a#'", Value(false)}, {"'b' Like '[a-c]'", Value(true)}, {"'d' Like '[!a-c]'", Value(true)},
    {"'b' Like '[!a-c]'", Value(false)}, {"'*' Like '[*]'", Value(true)}, {"'x' Like '[*]'", Value(false)},
    {"'abc' Like 'ABC'", Value(true)}, {"'ΑΒΓ' Like 'αβγ'", Value(true)}, {"'' Like '*'", Value(true)},
    {"'abc' Like '*b*'", Value(true)}, {"'abc' Like '*d*'", Value(false)}, {"'aXbXc' Like 'a*b*c'", Value(true)},
    {"'题目' Like '题?'", Value(true)}, {"Null Like 'a'", Value()}, {"'x' Like Null", Value()},
    {"'ab' Not Like 'a*'", Value(false)}, {"s Like '*ll*'", Value(true)},
    // In, Between
    {"2 In (1, 2)", Value(true)}, {"3 In (1, Null)", Value()}, {"1 In (1, Null)", Value(true)}, {"Null In (1)", Value()},
    {"3 Not In (1,2)", Value(true)}, {"'A' In ('a')", Value(true)}, {"2 Between 1 And 3", Value(true)},
    {"5 Between 1 And 3", Value(false)}, {"Null Between 1 And 2", Value()}, {"5 Between Null And 3", Value(false)},
    {"2 Between Null And 3", Value()}, {"2 Not Between 1 And 3", Value(false)}, {"'b' Between 'A' And 'C'", Value(true)},
    // InStr: positions in UTF-16 code units; without a comparison argument letter case is ignored
    {"InStr('abcabc', 'c')", integer(3)}, {"InStr('ABC','b')", integer(2)}, {"InStr(1,'ABC','b',0)", integer(0)},
    {"InStr(1,'ABC','b',1)", integer(2)}, {"InStr(4,'abcabc','c')", integer(6)}, {"InStr(7,'abc','c')", integer(0)},
    {"InStr(1,'abc','')", integer(1)}, {"InStr(4,'abc','')", integer(4)}, {"InStr(5,'abc','')", integer(0)},
    {"InStr(Null,'a')", Value()}, {"InStr(1, Null, 'a', 0)", Value()}, {"InStr(1, 'a', Null, 0)", Value()},
    {"InStr(Null, 'a', 'a', 0)", Value()}, {"InStr(1,'😀x','x',0)", integer(3)}, {"InStr(1,'a😀x','x',1)", integer(4)},
    {"InStr(2,'😀x😀','😀',0)", integer(4)}, {"InStr(1,'ａｂ','Ｂ',1)", integer(2)}, {"InStr(1,'ａｂ','Ｂ',0)", integer(0)},
    {"InStr(s, 'L')", integer(3)}, {"InStr(1, z, 'a', 0)", Value()}, {"InStr(1, e, 'a', 0)", integer(0)},
    {"InStr('1234', 3)", integer(3)},
    // case mapping
    {"LCase('ÀÉÎ ΑΒΓ АБВ ＡＢＣ ΣΑΣ')", text("àéî αβγ абв ａｂｃ σασ")}, {"LCase(Null)", Value()},
    {"UCase('straße ａｂｃ')", text("STRAßE ＡＢＣ")}, {"UCase(Null)", Value()}, {"LCase(12)", text("12")},
    {"lcase('A')", text("a")}, {"INSTR('ab','b')", integer(2)}, {"UCase(s)", text("HELLO")},
    // Len, Left, Right, Mid
    {"Len('abc')", integer(3)}, {"Len('😀')", integer(2)}, {"Len('')", integer(0)}, {"Len(Null)", Value()},
    {"Len('题目')", integer(2)}, {"Len(12.5)", integer(4)}, {"Len(e)", integer(0)}, {"Len(z)", Value()},
    {"Left('abcdef', 3)", text("abc")}, {"Left('ab', 5)", text("ab")}, {"Left(Null, 1)", Value()},
    {"Left('a', Null)", Value()}, {"Left('😀a', 1)", text("")}, {"Left('😀a', 2)", text("😀")},
    {"Left('abc', 1.5)", text("ab")}, {"Right('abcdef', 2)", text("ef")}, {"Right('ab', 0)", text("")},
    {"Right(Null, 1)", Value()}, {"Right('a😀', 2)", text("😀")}, {"Mid('abcdef', 2, 3)", text("bcd")},
    {"Mid('abcdef', 3)", text("cdef")}, {"Mid('abc', 5)", text("")}, {"Mid(Null, 1)", Value()},
    {"Mid('abc', Null)", Value()}, {"Mid('a😀b', 2, 2)", text("😀")}, {"Mid('题目文本', 2, 2)", text("目文")},
    // trimming: blanks only
    {"Trim('  a b  ')", text("a b")}, {"LTrim('  a ')", text("a ")}, {"RTrim(' a  ')", text(" a")},
    {"Trim(Null)", Value()}, {"Trim('　a')", text("　a")}, {"Trim('   ')", text("")},
    // Nz, IIf
    {"Nz(Null, 5)", integer(5)}, {"Nz(Null)", text("")}, {"Nz(3, 5)", integer(3)}, {"Nz(z, 'none')", text("none")},
    {"IIf(1=1, 'y', 'n')", text("y")}, {"IIf(Null, 'y', 'n')", text("n")}, {"IIf(1=1, 1, 1/0)", integer(1)},
    {"IIf(Null, 1, Null)", Value()}, {"IIf(i > 5, s, e)", text("Hello")},
    // names in brackets, qualified names
    {"[s]", text("Hello")}, {"t.s", text("Hello")}, {"[t].[i] + 1", integer(8)},
};

INSTANTIATE_TEST_SUITE_P(Values, ExpressionValue, ::testing::Combine(::testing::ValuesIn(kValueCases), ::testing::Bool()));

struct ErrorCase {
    std::string expression;
    std::string message;  // the message must hold this
};

class ExpressionError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ExpressionError, FailsWithTheMessage) {
    const ErrorCase& c = GetParam();
    try {
        const Value v = evaluate(c.expression, true);
        FAIL() << c.expression << " gave " << describe(v);
    } catch (const ado::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.expression << ": " << e.what();
        EXPECT_NE(std::string(e.what()).find("位于第 "), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ExpressionError,
    ::testing::Values(ErrorCase{"1/0", "除数为零"}, ErrorCase{"1 \\ 0", "除数为零"}, ErrorCase{"1 Mod 0", "除数为零"},
                      ErrorCase{"i / (i - 7)", "除数为零"}, ErrorCase{"'x' + 2", "数据类型不匹配"},
                      ErrorCase{"s + 1", "数据类型不匹配"}, ErrorCase{"1 = '1'", "数据类型不匹配"},
                      ErrorCase{"s And True", "数据类型不匹配"}, ErrorCase{"'a' Like '[a'", "Like 的模式中"},
                      ErrorCase{"Foo(1)", "表达式中的函数“Foo”未定义"},
                      ErrorCase{"Len(1,2)", "函数 Len 的参数个数不对：应为 1 个，却有 2 个"},
                      ErrorCase{"InStr('a')", "函数 InStr 的参数个数不对：应为 2 到 4 个，却有 1 个"},
                      ErrorCase{"IIf(1, 2)", "应为 3 个"}, ErrorCase{"InStr(0,'a','a')", "InStr 的起始位置必须大于 0"},
                      ErrorCase{"InStr(1,'a','a',3)", "比较方式"}, ErrorCase{"Left('a', -1)", "长度不能为负数"},
                      ErrorCase{"Mid('abc', 0)", "起始位置必须大于 0"}, ErrorCase{"Mid('abc', 1, -1)", "长度不能为负数"},
                      ErrorCase{"(-8) ^ 0.5", "不是实数"}, ErrorCase{"10 ^ 400", "数值溢出"},
                      ErrorCase{"nosuch", "表“t”中没有列“nosuch”"}, ErrorCase{"x.s", "未知的表或别名“x”"}));

TEST(ExpressionErrorPosition, PointsAtTheOperator) {
    try {
        evaluate("i + i / 0", true);
        FAIL();
    } catch (const ado::EngineError& e) {
        // "select i + i / 0": the / is character 14.
        EXPECT_EQ(std::string(e.what()), "除数为零，位于第 14 个字符");
    }
}

TEST(ExpressionErrorPosition, AFailingConstantFailsOnlyWhenARowIsEvaluated) {
    sql_test::MemoryCatalog catalog;
    catalog.add(std::make_shared<sql_test::MemoryTable>(
        "empty", std::vector<ado::sql::ColumnInfo>{{"a", jet::ColumnType::Long}}, std::vector<std::vector<Value>>{}));
    const auto result = ado::sql::execute(ado::sql::parseSelect("select 1/0 from empty where 1/0 = 1"), catalog, {});
    EXPECT_EQ(result.rowCount(), 0u);
}

}  // namespace
