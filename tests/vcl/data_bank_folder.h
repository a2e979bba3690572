#pragma once
// A data-access test in a fresh temporary folder made the current directory, where the query looks
// its bank up (data.mdb), with the query set up as the main window sets up qry1.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "jet/create/bank_builder.h"
#include "support/test_support.h"
#include "vcl/data/ado_query.h"

namespace testing_support {

inline constexpr const char* kBankConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb;Persist Security Info=False";

class BankFolderTest : public ::testing::Test {
protected:
    using Questions = std::vector<std::optional<std::string>>;

    void SetUp() override
    {
        std::filesystem::current_path(folder.path());
        query.SetName("qry1");
        query.SetConnectionString(kBankConnectionString);
        query.SetCursorType(vcl::TCursorType::ctStatic);
    }
    void TearDown() override
    {
        query.Close();
        std::filesystem::current_path(previous);
    }
    void makeBank(const Questions& questions) { jet::writeBank(bank, questions); }

    TempDir folder;
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path bank = folder / "data.mdb";
    vcl::TADOQuery query;
};

}  // namespace testing_support
