// Failure classes, names in front of messages and the trimming of the engine's words.
#include <gtest/gtest.h>

#include "vcl/data/component.h"
#include "vcl/data/exceptions.h"

namespace {

struct TrimCase {
    std::string message;
    std::string trimmed;
};

class EngineMessageTrim : public testing::TestWithParam<TrimCase> {};

TEST_P(EngineMessageTrim, DropsTrailingBlanksControlsAndFullStops)
{
    EXPECT_EQ(vcl::trimEngineMessage(GetParam().message), GetParam().trimmed);
}

INSTANTIATE_TEST_SUITE_P(Cases, EngineMessageTrim,
                         testing::Values(TrimCase{"找不到文件 data.mdb", "找不到文件 data.mdb"},
                                         TrimCase{"Could not find file.\r\n", "Could not find file"},
                                         TrimCase{"a . .\t \x01", "a"},
                                         TrimCase{"语法错误。", "语法错误。"},  // the ideographic full stop stays
                                         TrimCase{"...", ""},
                                         TrimCase{"x.y", "x.y"}));

TEST(EngineFailure, CarriesTheTrimmedMessageWithoutAName)
{
    try {
        vcl::EngineFailure("找不到表 tiku. \r\n");
        FAIL() << "no failure";
    } catch (const vcl::EOleException& e) {
        EXPECT_EQ(e.Message(), "找不到表 tiku");
        EXPECT_STREQ(e.ClassName(), "EOleException");
    }
    try {
        vcl::EngineFailure(" . ");
        FAIL() << "no failure";
    } catch (const vcl::EOleException& e) {
        EXPECT_EQ(e.Message(), "OLE error 80004005");
    }
}

TEST(DatabaseError, PutsTheComponentsNameInFront)
{
    vcl::TComponent named;
    named.SetName("qry1");
    vcl::TComponent unnamed;
    try {
        vcl::DatabaseError("Missing SQL property", &named);
    } catch (const vcl::EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "qry1: Missing SQL property");
        EXPECT_STREQ(e.what(), "qry1: Missing SQL property");
    }
    EXPECT_EQ(vcl::componentMessage("text", &unnamed), "text");
    EXPECT_EQ(vcl::componentMessage("text", nullptr), "text");
}

TEST(FailureClassName, NamesEveryClass)
{
    EXPECT_STREQ(vcl::failureClassName(vcl::Exception("x")), "Exception");
    EXPECT_STREQ(vcl::failureClassName(vcl::EAbort("")), "EAbort");
    EXPECT_STREQ(vcl::failureClassName(vcl::EDatabaseError("x")), "EDatabaseError");
    EXPECT_STREQ(vcl::failureClassName(vcl::EOleException("x")), "EOleException");
    EXPECT_STREQ(vcl::failureClassName(std::runtime_error("x")), "Exception");
}

}  // namespace
