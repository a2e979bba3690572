// Reading connection strings: pairs, case of keys, blanks, quotes and malformed strings.
#include "ado/connection_string.h"

#include <gtest/gtest.h>

#include "ado/engine_error.h"

namespace {

struct Case {
    const char* text;
    const char* provider;
    const char* dataSource;
};

class ConnectionStringParses : public ::testing::TestWithParam<Case> {};

TEST_P(ConnectionStringParses, ProviderAndDataSource) {
    const auto parsed = ado::ConnectionString::parse(GetParam().text);
    EXPECT_EQ(parsed.provider, GetParam().provider);
    EXPECT_EQ(parsed.dataSource, GetParam().dataSource);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, ConnectionStringParses,
    ::testing::Values(
        Case{"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb;Persist Security Info=False", "Microsoft.Jet.OLEDB.4.0",
             "data.mdb"},
        Case{"provider = Microsoft.Jet.OLEDB.4.0 ; DATA SOURCE =  data.mdb  ;", "Microsoft.Jet.OLEDB.4.0", "data.mdb"},
        Case{"Data Source=\"C:\\题库 目录\\data.mdb\";Provider=Microsoft.Jet.OLEDB.4.0", "Microsoft.Jet.OLEDB.4.0",
             "C:\\题库 目录\\data.mdb"},
        Case{"Data Source='a;b.mdb'", "", "a;b.mdb"}, Case{"Data Source=\"say \"\"hi\"\".mdb\"", "", "say \"hi\".mdb"},
        Case{";;Provider=X;;", "X", ""}, Case{"", "", ""},
        Case{"Data Source=first.mdb;Data Source=second.mdb", "", "second.mdb"}));

TEST(ConnectionString, KeepsEveryPairInOrder) {
    const auto parsed = ado::ConnectionString::parse("Provider=P;Persist Security Info=False;Jet OLEDB:Engine Type=5");
    ASSERT_EQ(parsed.properties.size(), 3u);
    EXPECT_EQ(parsed.properties[1].first, "Persist Security Info");
    EXPECT_EQ(parsed.get("persist security info"), "False");
    EXPECT_EQ(parsed.get("jet oledb:engine type"), "5");
    EXPECT_FALSE(parsed.get("User ID").has_value());
}

TEST(ConnectionString, RejectsMalformedStrings) {
    for (const char* text : {"Provider", "=x", "Data Source=\"open", "Data Source=\"a\" b"}) {
        try {
            ado::ConnectionString::parse(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const ado::EngineError& e) {
            EXPECT_NE(std::string(e.what()).find("连接字符串"), std::string::npos) << e.what();
        }
    }
}

TEST(ConnectionString, RecognisesTheJetProvider) {
    EXPECT_TRUE(ado::isJetProvider("Microsoft.Jet.OLEDB.4.0"));
    EXPECT_TRUE(ado::isJetProvider("microsoft.jet.oledb.4.0"));
    EXPECT_FALSE(ado::isJetProvider("SQLOLEDB"));
    EXPECT_FALSE(ado::isJetProvider("Microsoft.ACE.OLEDB.12.0"));
    EXPECT_FALSE(ado::isJetProvider(""));
}

}  // namespace
