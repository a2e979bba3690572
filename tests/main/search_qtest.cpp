// The search box on the real main window: each change of its text runs one statement on the question-bank
// query at once, and the views follow; the status line never changes.
#include "main_window_fixture.h"

#include "search/search_statement.h"
#include "vcl/data/ado_query.h"
#include "vcl/data/data_link.h"
#include "vcl/data/data_source.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/db_memo.h"
#include "vcl/widgets/edit.h"
#include "vcl/widgets/status_bar.h"

#include <QLineEdit>

#include <algorithm>

namespace {

using testing_support::MainWindowTest;
using Questions = std::vector<std::optional<std::string>>;

const Questions kBank = {
    "Apple pie",       "apple tart",  "BANANA split",  "题库查询",      "他说\"你好\"", "a \"\"pair\"\"",
    "it':s here",      " leading",    "nospace",       std::nullopt,    "",             "100% sure",
    "全角，逗号",      "half,comma",  "題庫 traditional",
};

// Types the text into the search box, one key press per character, as the user does.
void typeInto(QLineEdit* edit, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(edit, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// The 题目 of every row of the open query, in order.
std::vector<std::string> listedQuestions(const vcl::TADOQuery& query)
{
    std::vector<std::string> rows;
    if (!query.Active())
        return rows;
    const vcl::TField* field = query.FindField("题目");
    if (!field)
        return rows;
    for (int row = 0; row < query.RecordCount(); ++row)
        rows.push_back(query.valueAt(row, *field).value_or("<null>"));
    return rows;
}

// Notes what happens to the query, in order: its closing and opening, and each change of its statement.
class QueryLog : public vcl::TDataLink {
public:
    explicit QueryLog(TForm1& form) : query_(*form.qry1), wasActive_(form.qry1->Active())
    {
        SetDataSource(form.ds1);
        previousStatementChange_ = query_.SQL().OnChange;
        query_.SQL().OnChange = [this] {
            entries.push_back(std::string(query_.Active() ? "open " : "closed ") + "sql=" +
                              (query_.SQL().Count() ? query_.SQL()[0] : std::string("<none>")));
            if (previousStatementChange_)
                previousStatementChange_();
        };
    }
    ~QueryLog() override { query_.SQL().OnChange = previousStatementChange_; }

    std::vector<std::string> entries;

protected:
    void ActiveChanged() override
    {
        if (Active() != wasActive_)
            entries.push_back(Active() ? "opened" : "closed");
        wasActive_ = Active();
    }

private:
    vcl::TADOQuery& query_;
    bool wasActive_;
    std::function<void()> previousStatementChange_;
};

class SearchTest : public MainWindowTest {
protected:
    void startWith(const Questions& questions)
    {
        writeBank(questions);
        buildMainWindow();
        showMainWindow();
        ASSERT_TRUE(boxes_.boxes().empty());
    }
    QLineEdit* searchBox() const { return Form1->edt1->lineEdit(); }
};

struct SearchCase {
    const char* label;
    QString typed;
    std::vector<std::string> listed;
};

class SearchResults : public SearchTest, public testing::WithParamInterface<SearchCase> {};

TEST_P(SearchResults, ListTheQuestionsContainingTheText)
{
    startWith(kBank);
    typeInto(searchBox(), GetParam().typed);
    EXPECT_TRUE(boxes_.boxes().empty()) << boxes_.boxes().front().text;
    EXPECT_EQ(Form1->edt1->Text(), GetParam().typed.toStdString());
    EXPECT_EQ(Form1->qry1->SQL().Count(), 1);
    EXPECT_EQ(Form1->qry1->SQL()[0], search::statementFor(GetParam().typed.toStdString()));
    EXPECT_EQ(listedQuestions(*Form1->qry1), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SearchResults,
    testing::Values(
        SearchCase{"letter_case_ignored", "a",
                   {"Apple pie", "apple tart", "BANANA split", "a \"\"pair\"\"", " leading", "nospace",
                    "half,comma", "題庫 traditional"}},
        SearchCase{"two_letters", "ap", {"Apple pie", "apple tart"}},
        SearchCase{"capitals_find_what_lower_case_finds", "APPLE", {"Apple pie", "apple tart"}},
        SearchCase{"one_blank_is_not_empty", " ",
                   {"Apple pie", "apple tart", "BANANA split", "a \"\"pair\"\"", "it':s here", " leading",
                    "100% sure", "題庫 traditional"}},
        SearchCase{"chinese_exactly", "题库", {"题库查询"}},
        SearchCase{"full_width_comma_is_not_a_comma", "，", {"全角，逗号"}},
        SearchCase{"percent_stands_for_itself", "%", {"100% sure"}},
        SearchCase{"nothing_found", "zzz", {}},
        // A double quote is a character of the text: one lists the questions that hold one ...
        SearchCase{"one_double_quote", "\"", {"他说\"你好\"", "a \"\"pair\"\""}},
        // ... and two adjacent ones the questions that hold two.
        SearchCase{"two_double_quotes", "\"\"", {"a \"\"pair\"\""}},
        // Text that would close the literal and add a condition is searched for as it stands.
        SearchCase{"quote_cannot_change_the_statement", "x\") or (\"1\"=\"1", {}},
        SearchCase{"apostrophe_then_colon", "':", {"it':s here"}}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.label); });

TEST_F(SearchTest, EachChangeRunsCloseClearAddOpenOnce)
{
    startWith(kBank);
    QueryLog log(*Form1);
    typeInto(searchBox(), "a");
    typeInto(searchBox(), "b");
    const std::string a = search::statementFor("a");
    const std::string ab = search::statementFor("ab");
    EXPECT_EQ(log.entries, (std::vector<std::string>{"closed", "closed sql=<none>", "closed sql=" + a, "opened",
                                                     "closed", "closed sql=<none>", "closed sql=" + ab, "opened"}));
    log.entries.clear();
    QTest::keyClick(searchBox(), Qt::Key_Backspace);
    QTest::keyClick(searchBox(), Qt::Key_Backspace);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"closed", "closed sql=<none>", "closed sql=" + a, "opened",
                                                     "closed", "closed sql=<none>",
                                                     "closed sql=select 题目 from tiku", "opened"}));
}

TEST_F(SearchTest, MovingTheCaretRunsNoStatement)
{
    startWith(kBank);
    typeInto(searchBox(), "ap");
    QueryLog log(*Form1);
    QTest::keyClick(searchBox(), Qt::Key_Left);
    QTest::keyClick(searchBox(), Qt::Key_Home);
    QTest::keyClick(searchBox(), Qt::Key_End, Qt::ShiftModifier);
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(SearchTest, EmptyingTheBoxBringsBackTheWholeBankAndTheStatusLineNeverChanges)
{
    startWith(kBank);
    const std::string statusLine = Form1->StatusBar1->Panels()[0]->Text();
    EXPECT_EQ(statusLine, "数据库中共有问题： 15 条");
    typeInto(searchBox(), "zzz");
    EXPECT_EQ(Form1->StatusBar1->Panels()[0]->Text(), statusLine);
    searchBox()->selectAll();
    QTest::keyClick(searchBox(), Qt::Key_Delete);
    EXPECT_EQ(Form1->qry1->SQL()[0], "select 题目 from tiku");
    std::vector<std::string> all;
    for (const auto& question : kBank)
        all.push_back(question.value_or("<null>"));
    EXPECT_EQ(listedQuestions(*Form1->qry1), all);
    EXPECT_EQ(Form1->StatusBar1->Panels()[0]->Text(), statusLine);
}

TEST_F(SearchTest, ViewsShowTheFirstFoundQuestion)
{
    startWith(kBank);
    typeInto(searchBox(), "tart");
    EXPECT_EQ(Form1->DBMemo1->Text(), "apple tart");
    EXPECT_EQ(Form1->dbgrd1->indicator(), vcl::GridIndicator::Current);
    EXPECT_EQ(Form1->dbgrd1->rowsOnScreen(), 1);
    // The search box keeps its text, caret and focus.
    EXPECT_EQ(QApplication::focusWidget(), searchBox());
    EXPECT_EQ(searchBox()->cursorPosition(), 4);
}

TEST_F(SearchTest, ViewsAreEmptyWhenNothingIsFound)
{
    startWith(kBank);
    typeInto(searchBox(), "zzz");
    EXPECT_TRUE(Form1->qry1->Active());
    EXPECT_EQ(Form1->qry1->RecordCount(), 0);
    EXPECT_EQ(Form1->DBMemo1->Text(), "");
    EXPECT_EQ(Form1->dbgrd1->rowsOnScreen(), 0);
    EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(SearchTest, AfterAStartWithoutTheBankTheFirstSearchFindsItOnceItIsThere)
{
    buildMainWindow();
    showMainWindow();
    ASSERT_EQ(boxes_.boxes().size(), 2u);
    writeBank(kBank);
    typeInto(searchBox(), "pie");
    EXPECT_EQ(boxes_.boxes().size(), 2u);
    EXPECT_EQ(listedQuestions(*Form1->qry1), (std::vector<std::string>{"Apple pie"}));
    EXPECT_EQ(Form1->DBMemo1->Text(), "Apple pie");
    // The status line stays as the start left it.
    EXPECT_EQ(Form1->StatusBar1->Panels()[0]->Text(), "");
}

TEST_F(SearchTest, AFailedSearchShowsTheErrorBoxAndLeavesTheViewsEmpty)
{
    buildMainWindow();
    showMainWindow();
    ASSERT_EQ(boxes_.boxes().size(), 2u);
    const std::string engineMessage = boxes_.boxes()[0].text;
    typeInto(searchBox(), "x");
    ASSERT_EQ(boxes_.boxes().size(), 3u);
    EXPECT_EQ(boxes_.boxes()[2].text, engineMessage);
    EXPECT_EQ(boxes_.boxes()[2].caption, vcl::Application->Title());
    EXPECT_FALSE(Form1->qry1->Active());
    EXPECT_EQ(Form1->qry1->SQL()[0], search::statementFor("x"));
    EXPECT_EQ(Form1->edt1->Text(), "x");
    EXPECT_EQ(Form1->DBMemo1->Text(), "");
    EXPECT_EQ(Form1->dbgrd1->indicator(), vcl::GridIndicator::None);
    // The caret is back in the search box, and the next change runs again.
    EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == searchBox(); }, 2000));
    typeInto(searchBox(), "y");
    EXPECT_EQ(boxes_.boxes().size(), 4u);
}

}  // namespace
