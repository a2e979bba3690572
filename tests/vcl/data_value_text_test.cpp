// How the engine's values read as field text, and how a field's text is read back for its column.
#include <gtest/gtest.h>

#include "vcl/data/exceptions.h"
#include "vcl/data/value_text.h"

namespace {

struct TextCase {
    jet::Value value;
    std::string text;
};

class ValueText : public testing::TestWithParam<TextCase> {};

TEST_P(ValueText, ReadsAsFieldText)
{
    EXPECT_EQ(vcl::valueText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ValueText,
                         testing::Values(TextCase{jet::Null{}, ""}, TextCase{true, "True"}, TextCase{false, "False"},
                                         TextCase{std::int64_t{-42}, "-42"}, TextCase{0.1, "0.1"},
                                         TextCase{1e20, "1E20"}, TextCase{2.5e-7, "2.5E-7"},
                                         TextCase{std::string("题目"), "题目"},
                                         TextCase{jet::Currency{123400}, "12.34"}, TextCase{jet::Currency{50000}, "5"},
                                         TextCase{jet::DateTime{2.0}, "1900-01-01"},
                                         TextCase{jet::DateTime{2.5}, "1900-01-01 12:00:00"}));

struct FromTextCase {
    std::string text;
    jet::ColumnType type;
    jet::Value value;
};

class ValueFromText : public testing::TestWithParam<FromTextCase> {};

TEST_P(ValueFromText, ReadsTheTextForTheColumnsType)
{
    EXPECT_EQ(vcl::valueFromText(GetParam().text, GetParam().type), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, ValueFromText,
                         testing::Values(FromTextCase{"新题", jet::ColumnType::Memo, std::string("新题")},
                                         FromTextCase{" 12 ", jet::ColumnType::Long, std::int64_t{12}},
                                         FromTextCase{"-3", jet::ColumnType::Integer, std::int64_t{-3}},
                                         FromTextCase{"2.5", jet::ColumnType::Double, 2.5},
                                         FromTextCase{"TRUE", jet::ColumnType::Boolean, true},
                                         FromTextCase{"", jet::ColumnType::Text, std::string()}));

TEST(ValueFromText, RefusesTextThatIsNoNumber)
{
    try {
        vcl::valueFromText("12a", jet::ColumnType::Long);
        FAIL() << "no failure";
    } catch (const vcl::EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "'12a' is not a valid integer value");
    }
    EXPECT_THROW(vcl::valueFromText("", jet::ColumnType::Double), vcl::EDatabaseError);
    EXPECT_THROW(vcl::valueFromText("yes", jet::ColumnType::Boolean), vcl::EDatabaseError);
}

}  // namespace
