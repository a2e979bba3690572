// The rules behind the application's texts: the title from the executable's name, the full stop of the
// error box, the text of the start-up failure box.
#include "vcl/data/exceptions.h"
#include "vcl/widgets/application_title.h"
#include "vcl/widgets/error_text.h"
#include "vcl/widgets/program.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

struct TitleCase {
    const char* label;
    std::string path;
    std::string title;
};

class ApplicationTitle : public testing::TestWithParam<TitleCase> {};

TEST_P(ApplicationTitle, ComesFromTheFileName)
{
    EXPECT_EQ(vcl::titleFromExecutablePath(GetParam().path), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    FileNames, ApplicationTitle,
    testing::Values(TitleCase{"upper_case_with_extension", "LOOKUP.EXE", "Lookup"},
                    TitleCase{"in_a_folder", "/opt/tools/LOOKUP.EXE", "Lookup"},
                    TitleCase{"in_a_windows_folder", "C:\\Program Files\\Quiz\\LOOKUP.EXE", "Lookup"},
                    TitleCase{"cut_at_the_first_full_stop", "Quiz.Tool.exe", "Quiz"},
                    TitleCase{"folder_with_a_full_stop", "/home/a.b/quiz", "quiz"},
                    TitleCase{"chinese", "/usr/bin/题库查询.exe", "题库查询"},
                    TitleCase{"first_character_chinese_then_latin", "题ABC.exe", "题abc"},
                    TitleCase{"without_extension", "lookup", "lookup"},
                    TitleCase{"mixed_case", "/bin/TeSSaRin", "Tessarin"},
                    TitleCase{"this_program", "/usr/local/bin/tessarin", "tessarin"},
                    TitleCase{"first_character_outside_the_basic_plane", "𠀀ABC", "𠀀abc"},
                    TitleCase{"non_latin_letters_lowered", "ΑΒΓ.exe", "Αβγ"},
                    TitleCase{"only_an_extension", ".exe", ""},
                    TitleCase{"empty", "", ""}),
    [](const testing::TestParamInfo<TitleCase>& info) { return std::string(info.param.label); });

TEST(ApplicationTitleLength, IsAtMost255BytesAndNeverCutsACharacter)
{
    std::string name;
    for (int i = 0; i < 100; ++i)
        name += "题";
    const std::string title = vcl::titleFromExecutablePath("/very/long/folder/" + name + ".exe");
    EXPECT_EQ(title.size(), 255u);  // 85 whole characters of three bytes each
    EXPECT_EQ(title, name.substr(0, 255));
}

TEST(ApplicationTitleLength, ALongFolderDoesNotCutTheName)
{
    const std::string folder = "/" + std::string(400, 'f');
    EXPECT_EQ(vcl::titleFromExecutablePath(folder + "/LOOKUP.EXE"), "Lookup");
}

struct FullStopCase {
    const char* label;
    std::string message;
    std::string text;
};

class ErrorBoxText : public testing::TestWithParam<FullStopCase> {};

TEST_P(ErrorBoxText, GetsAFullStopAfterCharactersAboveIt)
{
    EXPECT_EQ(vcl::errorBoxText(GetParam().message), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxText,
    testing::Values(FullStopCase{"letter", "abc", "abc."}, FullStopCase{"digit", "error 42", "error 42."},
                    FullStopCase{"full_stop", "abc.", "abc."}, FullStopCase{"blank", "abc ", "abc "},
                    FullStopCase{"closing_parenthesis", "abc)", "abc)"},
                    FullStopCase{"exclamation_mark", "abc!", "abc!"}, FullStopCase{"comma", "abc,", "abc,"},
                    FullStopCase{"hyphen", "abc-", "abc-"}, FullStopCase{"quotation_mark", "abc\"", "abc\""},
                    FullStopCase{"line_break", "abc\n", "abc\n"}, FullStopCase{"slash", "a/b/", "a/b/."},
                    FullStopCase{"colon", "abc:", "abc:."}, FullStopCase{"question_mark", "abc?", "abc?."},
                    FullStopCase{"chinese", "找不到文件", "找不到文件."},
                    FullStopCase{"ideographic_full_stop", "找不到文件。", "找不到文件。."},
                    FullStopCase{"closed_dataset", "qry1: Cannot perform this operation on a closed dataset",
                                 "qry1: Cannot perform this operation on a closed dataset."},
                    FullStopCase{"empty", "", ""}),
    [](const testing::TestParamInfo<FullStopCase>& info) { return std::string(info.param.label); });

TEST(StartupFailureText, FollowsTheFormat)
{
    EXPECT_EQ(vcl::startupFailureText("Exception", "tessarin", 0x4A3F10, "Error creating object"),
              "Exception Exception in module tessarin at 004A3F10.\r\nError creating object.\r\n");
    EXPECT_EQ(vcl::startupFailureText("EOleException", "LOOKUP.EXE", 0xDEADBEEF, "ends in a stop."),
              "Exception EOleException in module LOOKUP.EXE at DEADBEEF.\r\nends in a stop.\r\n");
    EXPECT_EQ(vcl::startupFailureText("EDatabaseError", "tessarin", 0, ""),
              "Exception EDatabaseError in module tessarin at 00000000.\r\n\r\n");
    // Unlike the error box, any last character other than a full stop gets one.
    EXPECT_EQ(vcl::startupFailureText("Exception", "m", 1, "abc)"), "Exception Exception in module m at 00000001.\r\nabc).\r\n");
}

TEST(StartupFailureText, IsLimitedTo1023Bytes)
{
    std::string message;
    for (int i = 0; i < 500; ++i)
        message += "题";
    const std::string text = vcl::startupFailureText("Exception", "tessarin", 0, message);
    EXPECT_LE(text.size(), 1023u);
    EXPECT_GT(text.size(), 1020u);
    // Cut at a character boundary: the text is still valid UTF-8 ending in a whole 题.
    EXPECT_EQ(text.substr(text.size() - 3), "题");
}

TEST(StartupFailureText, NamesTheFailureClass)
{
    const auto text = vcl::startupFailureTextFor(
        std::make_exception_ptr(vcl::Exception("Error creating object.  Please verify that the Microsoft Data Access "
                                               "Components 2.1 (or later) have been properly installed")),
        "tessarin");
    EXPECT_TRUE(std::regex_match(
        text, std::regex("Exception Exception in module tessarin at [0-9A-F]{8}\\.\r\nError creating object\\.  "
                         "Please verify that the Microsoft Data Access Components 2\\.1 \\(or later\\) have been "
                         "properly installed\\.\r\n")))
        << text;
    EXPECT_EQ(vcl::startupFailureTextFor(std::make_exception_ptr(vcl::EOleException("x")), "m").substr(0, 24),
              "Exception EOleException ");
    EXPECT_EQ(vcl::startupFailureTextFor(std::make_exception_ptr(std::runtime_error("x")), "m").substr(0, 20),
              "Exception Exception ");
}

}  // namespace
