#pragma once
// A test of the main window runs in a fresh temporary folder made the current directory (the bank is
// looked up there), with its own application object; the boxes it raises are answered and noted.
#include "main/main.h"
#include "modal_box_watcher.h"
#include "support/test_support.h"
#include "vcl/widgets/application.h"

#include "jet/create/bank_builder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// The question texts "question 1", "question 2", ...
inline std::vector<std::optional<std::string>> numberedQuestions(int count)
{
    std::vector<std::optional<std::string>> questions;
    for (int i = 1; i <= count; ++i)
        questions.push_back("question " + std::to_string(i));
    return questions;
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        previousFolder_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.path());
    }

    void TearDown() override
    {
        application_.reset();
        Form1 = nullptr;
        std::filesystem::current_path(previousFolder_);
    }

    void writeBank(const std::vector<std::optional<std::string>>& questions)
    {
        jet::writeBank(folder_ / "data.mdb", questions);
    }

    // Initialize and CreateForm, as the entry does; the boxes raised meanwhile are answered.
    void buildMainWindow()
    {
        application_ = std::make_unique<vcl::TApplication>();
        vcl::Application->Initialize();
        vcl::Application->CreateForm(Form1);
        ASSERT_NE(Form1, nullptr);
    }

    // Shows the main window as Run does, and makes it the active window.
    void showMainWindow()
    {
        Form1->Show();
        QApplication::setActiveWindow(Form1->Handle());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form1->Handle()));
    }

    TempDir folder_;
    ModalBoxWatcher boxes_;
    std::unique_ptr<vcl::TApplication> application_;

private:
    std::filesystem::path previousFolder_;
};

}  // namespace testing_support
