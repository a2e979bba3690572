// The result list as a screen reader sees it, on a real query over a bank file: its role, one item per
// row on screen named by the row's text, the current row selected (and focused with the list), where
// each item is on the screen, and the events sent when the current row, the result or a row changes.
#include <QAccessible>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "jet/create/bank_builder.h"
#include "support/test_support.h"
#include "test_window.h"
#include "vcl/data/ado_query.h"
#include "vcl/data/data_source.h"
#include "vcl/data/field.h"
#include "vcl/widgets/accessibility.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/edit.h"
#include "vcl/widgets/grid_accessible.h"
#include "vcl/widgets/label.h"

using namespace vcl;
using testing_support::TempDir;
using testing_support::TestWindow;

namespace {

using Questions = std::vector<std::optional<std::string>>;

Questions numbered(int count)
{
    Questions questions;
    for (int i = 1; i <= count; ++i)
        questions.push_back("第" + std::to_string(i) + "题");
    return questions;
}

// One event as a reader receives it: what it is about, and that item's name and selected state then.
struct SeenEvent {
    QAccessible::Event type;
    QAccessible::Role role;
    QString name;
    bool selected;
    bool operator==(const SeenEvent&) const = default;
};

std::ostream& operator<<(std::ostream& out, const SeenEvent& e)
{
    return out << "{event " << e.type << ", role " << e.role << ", " << e.name.toStdString()
               << (e.selected ? ", selected}" : "}");
}

SeenEvent item(QAccessible::Event type, const char* name, bool selected)
{
    return {type, QAccessible::ListItem, QString::fromUtf8(name), selected};
}

// The main window's list, on a query over a bank of the given questions, with a search box beside it.
struct ListOnBank {
    TempDir folder;
    std::vector<SeenEvent> events;  // before the window: the list still talks while the window goes
    TestWindow window;
    TDataSource* source = new TDataSource(&window);
    TDBGrid* grid = new TDBGrid(&window);
    TADOQuery* query = new TADOQuery(&window);
    TEdit* edit = new TEdit(&window);

    explicit ListOnBank(const Questions& questions)
    {
        jet::writeBank(folder / "data.mdb", questions);
        grid->SetBounds(22, 10, 609, 241);
        grid->Font().SetName("宋体");
        grid->Font().SetHeight(-14);
        using enum TDBGridOption;
        grid->SetOptions({dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect,
                          dgConfirmDelete, dgCancelOnExit});
        TColumn* column = grid->Columns().Add();
        column->SetFieldName("题目");
        column->SetWidth(909);
        grid->SetDataSource(source);
        edit->SetBounds(160, 261, 473, 20);
        query->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + (folder / "data.mdb").string());
        query->SetCursorType(TCursorType::ctStatic);
        source->SetDataSet(query);
        run("select 题目 from tiku");
    }

    void run(const std::string& statement)
    {
        query->Close();
        query->SQL().Clear();
        query->SQL().Add(statement);
        query->Open();
    }

    QAccessibleInterface* list() const { return QAccessible::queryAccessibleInterface(grid->view()); }

    // The list's items for the rows, in order.
    std::vector<QAccessibleInterface*> items() const
    {
        std::vector<QAccessibleInterface*> rows;
        QAccessibleInterface* iface = list();
        for (int i = 0; i < iface->childCount(); ++i)
            if (QAccessibleInterface* child = iface->child(i); child && child->role() == QAccessible::ListItem)
                rows.push_back(child);
        return rows;
    }
    std::vector<QString> names() const
    {
        std::vector<QString> result;
        for (QAccessibleInterface* row : items())
            result.push_back(row->text(QAccessible::Name));
        return result;
    }
    // The names of the selected items.
    std::vector<QString> selected() const
    {
        std::vector<QString> result;
        for (QAccessibleInterface* row : items())
            if (row->state().selected)
                result.push_back(row->text(QAccessible::Name));
        return result;
    }

    // From now on the list's events are noted instead of going to Qt (which drops them here).
    void listen()
    {
        auto* accessible = dynamic_cast<GridAccessible*>(list());
        ASSERT_NE(accessible, nullptr);
        accessible->setEventSink([this](QAccessibleEvent& event) {
            QAccessibleInterface* about = event.accessibleInterface();
            ASSERT_NE(about, nullptr);
            events.push_back({event.type(), about->role(), about->text(QAccessible::Name),
                              static_cast<bool>(about->state().selected)});
        });
    }
    std::vector<SeenEvent> eventsOf(QAccessible::Event type) const
    {
        std::vector<SeenEvent> found;
        for (const SeenEvent& e : events)
            if (e.type == type)
                found.push_back(e);
        return found;
    }
    void key(Qt::Key key) { QTest::keyClick(grid->view(), key); }
};

std::vector<QString> texts(std::initializer_list<const char*> names)
{
    std::vector<QString> result;
    for (const char* name : names)
        result.push_back(QString::fromUtf8(name));
    return result;
}

std::vector<QString> numberedNames(int first, int last)
{
    std::vector<QString> result;
    for (int i = first; i <= last; ++i)
        result.push_back(QStringLiteral("第%1题").arg(i));
    return result;
}

}  // namespace

TEST(GridAccessible, IsAListOfTheRowsOnScreenNamedByTheirText)
{
    ListOnBank list(numbered(30));
    QAccessibleInterface* iface = list.list();
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::List);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("题目"));  // the column's title over the rows
    EXPECT_EQ(iface->text(QAccessible::Description), QStringLiteral("共 30 条"));
    const int onScreen = list.grid->rowsOnScreen();
    ASSERT_GT(onScreen, 2);
    ASSERT_LT(onScreen, 30);
    EXPECT_EQ(list.names(), numberedNames(1, onScreen));
    // After the rows, the scroll bar, which the 30 rows need.
    ASSERT_EQ(iface->childCount(), onScreen + 1);
    EXPECT_EQ(iface->child(onScreen)->role(), QAccessible::ScrollBar);
    for (int i = 0; i < iface->childCount(); ++i) {
        EXPECT_EQ(iface->indexOfChild(iface->child(i)), i);
        EXPECT_EQ(iface->child(i)->parent(), iface);
    }
    // The same item each time it is asked for, so that a reader's reference holds.
    EXPECT_EQ(iface->child(1), iface->child(1));
}

TEST(GridAccessible, AnItemIsNamedByTheFirstLineOfItsText)
{
    struct Case {
        std::optional<std::string> stored;
        const char* name;
    };
    const std::vector<Case> cases = {
        {"单行题目", "单行题目"},
        {"第一行\r\n第二行", "第一行"},
        {"first\nsecond", "first"},
        {"\r\n下一行", ""},
        {std::nullopt, ""},
        {"", ""},
        {"A. H2O  B. CO2", "A. H2O  B. CO2"},
    };
    Questions questions;
    for (const Case& c : cases)
        questions.push_back(c.stored);
    ListOnBank list(questions);
    const std::vector<QString> names = list.names();
    ASSERT_EQ(names.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(names[i], QString::fromUtf8(cases[i].name)) << "row " << i;
}

TEST(GridAccessible, TheCurrentRowIsSelectedAndFocusedWhileTheListHasTheFocus)
{
    ListOnBank list(numbered(5));
    list.window.showActive();
    EXPECT_EQ(list.selected(), texts({"第1题"}));
    list.edit->SetFocus();
    EXPECT_FALSE(list.items()[0]->state().focused);
    list.grid->SetFocus();
    ASSERT_TRUE(list.grid->view()->hasFocus());
    EXPECT_TRUE(list.items()[0]->state().focused);
    EXPECT_FALSE(list.items()[1]->state().focused);
    EXPECT_EQ(list.list()->focusChild(), list.items()[0]);

    list.key(Qt::Key_Down);
    EXPECT_EQ(list.selected(), texts({"第2题"}));
    EXPECT_TRUE(list.items()[1]->state().focused);
    EXPECT_FALSE(list.items()[0]->state().focused);
    list.key(Qt::Key_End);
    EXPECT_EQ(list.selected(), texts({"第5题"}));
    list.key(Qt::Key_Home);
    EXPECT_EQ(list.selected(), texts({"第1题"}));
}

TEST(GridAccessible, ScrollingShowsTheRowsNowOnScreen)
{
    ListOnBank list(numbered(30));
    list.window.showActive();
    list.grid->SetFocus();
    const int onScreen = list.grid->rowsOnScreen();
    list.key(Qt::Key_End);
    EXPECT_EQ(list.names(), numberedNames(30 - onScreen + 1, 30));
    EXPECT_EQ(list.selected(), texts({"第30题"}));
    EXPECT_TRUE(list.items().back()->state().focused);
    list.key(Qt::Key_Home);
    EXPECT_EQ(list.names(), numberedNames(1, onScreen));
    EXPECT_EQ(list.selected(), texts({"第1题"}));
}

TEST(GridAccessible, AnotherStatementGivesItsRowsAndCount)
{
    ListOnBank list({"水的化学式", "唐朝的都城", "水的沸点", "明朝的开国皇帝"});
    list.query->Next();
    list.run("select 题目 from tiku where InStr(1,LCase(题目),LCase(\"水\"),0)<>0");
    EXPECT_EQ(list.names(), texts({"水的化学式", "水的沸点"}));
    EXPECT_EQ(list.selected(), texts({"水的化学式"}));
    EXPECT_EQ(list.list()->text(QAccessible::Description), QStringLiteral("共 2 条"));
    // Two rows need no scroll bar: it stays, hidden, after the rows.
    EXPECT_EQ(list.list()->childCount(), 3);
    EXPECT_TRUE(list.list()->child(2)->state().invisible);

    list.run("select 题目 from tiku where InStr(1,LCase(题目),LCase(\"无此题\"),0)<>0");
    EXPECT_TRUE(list.items().empty());  // the blank row drawn for an empty result is no item
    EXPECT_EQ(list.list()->text(QAccessible::Description), QStringLiteral("共 0 条"));
    list.query->Close();
    EXPECT_EQ(list.list()->text(QAccessible::Description), QString());
}

TEST(GridAccessible, ItemsSitOnTheirRowsAndAPointFindsThem)
{
    ListOnBank list(numbered(30));
    list.window.showActive();
    const QRect view(list.grid->view()->mapToGlobal(QPoint(0, 0)), list.grid->view()->size());
    const std::vector<QAccessibleInterface*> rows = list.items();
    ASSERT_FALSE(rows.empty());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QRect at = rows[i]->rect();
        EXPECT_TRUE(view.contains(at)) << "row " << i;
        EXPECT_EQ(at.height(), list.grid->dataRowHeight() - 1);  // without the row line
        if (i > 0) {
            EXPECT_EQ(at.top(), rows[i - 1]->rect().top() + list.grid->dataRowHeight());
        }
        EXPECT_EQ(list.list()->childAt(at.center().x(), at.center().y()), rows[i]) << "row " << i;
    }
    // The title row is no item.
    const QPoint title = rows[0]->rect().topLeft() - QPoint(-5, 3);
    EXPECT_EQ(list.list()->childAt(title.x(), title.y()), nullptr);

    // A click where an item says it is makes that row current.
    const QPoint third = list.grid->view()->mapFromGlobal(rows[3]->rect().center());
    QTest::mouseClick(list.grid->view(), Qt::LeftButton, Qt::NoModifier, third);
    EXPECT_EQ(list.selected(), texts({"第4题"}));
    EXPECT_EQ(list.query->FieldByName("题目")->AsString(), "第4题");
}

TEST(GridAccessible, TheActionOfAnItemMakesItCurrent)
{
    ListOnBank list(numbered(5));
    list.window.showActive();
    QAccessibleActionInterface* action = list.items()[2]->actionInterface();
    ASSERT_NE(action, nullptr);
    action->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_EQ(list.selected(), texts({"第3题"}));
    EXPECT_TRUE(list.grid->view()->hasFocus());
}

TEST(GridAccessible, MovingTheCurrentRowSelectsAndFocusesTheNewOne)
{
    ListOnBank list(numbered(5));
    list.window.showActive();
    list.grid->SetFocus();
    QApplication::processEvents();
    (void)list.names();  // a reader has looked at the rows
    list.listen();
    list.key(Qt::Key_Down);
    EXPECT_EQ(list.events, (std::vector<SeenEvent>{item(QAccessible::SelectionRemove, "第1题", false),
                                                    item(QAccessible::SelectionAdd, "第2题", true),
                                                    item(QAccessible::Focus, "第2题", true)}));
    // Without the focus (the caret in the search box) the selection follows, the focus stays.
    list.edit->SetFocus();
    list.events.clear();
    list.query->Next();
    EXPECT_EQ(list.events, (std::vector<SeenEvent>{item(QAccessible::SelectionRemove, "第2题", false),
                                                    item(QAccessible::SelectionAdd, "第3题", true)}));
    // A move that changes nothing tells nothing.
    list.events.clear();
    list.query->Last();
    list.events.clear();
    list.query->Next();
    EXPECT_TRUE(list.events.empty());
}

TEST(GridAccessible, TakingTheFocusHandsItToTheCurrentRow)
{
    ListOnBank list(numbered(5));
    list.window.showActive();
    list.edit->SetFocus();
    QApplication::processEvents();
    list.query->Next();
    list.listen();
    list.grid->SetFocus();
    QApplication::processEvents();  // the row's turn comes after Qt's own event for the list
    EXPECT_EQ(list.eventsOf(QAccessible::Focus), (std::vector<SeenEvent>{item(QAccessible::Focus, "第2题", true)}));
}

TEST(GridAccessible, ScrollingTellsTheNewChildrenAndDropsTheOld)
{
    ListOnBank list(numbered(30));
    list.window.showActive();
    list.grid->SetFocus();
    const int onScreen = list.grid->rowsOnScreen();
    (void)list.names();  // a reader has looked at every row
    list.listen();
    list.key(Qt::Key_End);
    // Every row left the screen and every row on it now is new; the last row is selected and focused.
    EXPECT_EQ(list.eventsOf(QAccessible::ObjectDestroyed).size(), static_cast<std::size_t>(onScreen));
    const std::vector<SeenEvent> created = list.eventsOf(QAccessible::ObjectCreated);
    ASSERT_EQ(created.size(), static_cast<std::size_t>(onScreen));
    for (int i = 0; i < onScreen; ++i)
        EXPECT_EQ(created[i].name, QStringLiteral("第%1题").arg(30 - onScreen + 1 + i));
    EXPECT_EQ(list.eventsOf(QAccessible::SelectionAdd),
              (std::vector<SeenEvent>{item(QAccessible::SelectionAdd, "第30题", true)}));
    EXPECT_EQ(list.eventsOf(QAccessible::Focus), (std::vector<SeenEvent>{item(QAccessible::Focus, "第30题", true)}));
    EXPECT_TRUE(list.eventsOf(QAccessible::SelectionRemove).empty());  // the old current row is gone
}

TEST(GridAccessible, ANewResultIsTold)
{
    ListOnBank list(numbered(12));
    (void)list.names();
    list.listen();
    list.run("select 题目 from tiku where InStr(1,LCase(题目),LCase(\"1\"),0)<>0");  // 第1题, 第10-12题
    ASSERT_EQ(list.names(), texts({"第1题", "第10题", "第11题", "第12题"}));
    EXPECT_FALSE(list.eventsOf(QAccessible::ObjectDestroyed).empty());
    const std::vector<SeenEvent> created = list.eventsOf(QAccessible::ObjectCreated);
    ASSERT_GE(created.size(), 4u);  // the rows of the new result, each new
    EXPECT_EQ(created.back().name, QStringLiteral("第12题"));
    const std::vector<SeenEvent> description = list.eventsOf(QAccessible::DescriptionChanged);
    ASSERT_FALSE(description.empty());
    EXPECT_EQ(list.list()->text(QAccessible::Description), QStringLiteral("共 4 条"));
    // The first row is current again, and it is another question: it is told although its number is the same.
    EXPECT_EQ(list.eventsOf(QAccessible::SelectionAdd).back(), item(QAccessible::SelectionAdd, "第1题", true));
}

TEST(GridAccessible, EditingTheCurrentRowTellsItsStateAndText)
{
    ListOnBank list(numbered(3));
    ASSERT_TRUE(list.query->CanModify());
    (void)list.names();
    list.listen();
    list.query->Edit();
    EXPECT_EQ(list.items()[0]->text(QAccessible::Description), QStringLiteral("正在修改"));
    EXPECT_EQ(list.eventsOf(QAccessible::DescriptionChanged),
              (std::vector<SeenEvent>{item(QAccessible::DescriptionChanged, "第1题", true)}));
    list.query->FieldByName("题目")->SetAsString("改过的\r\n第二行");
    EXPECT_EQ(list.eventsOf(QAccessible::NameChanged),
              (std::vector<SeenEvent>{item(QAccessible::NameChanged, "改过的", true)}));
    EXPECT_EQ(list.names()[1], QStringLiteral("第2题"));
}

TEST(Accessibility, APlainTopLevelWidgetIsAWindowNamedByItsCaption)
{
    installAccessibleInterfaces();  // as Application->Initialize does
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tessarin"));
    auto* inside = new QWidget(&window);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&window);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Window);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Tessarin"));
    // A plain widget inside a window is no window.
    EXPECT_NE(QAccessible::queryAccessibleInterface(inside)->role(), QAccessible::Window);
}

TEST(Accessibility, ALabelNamesItsControlAndNothingElseChanges)
{
    TestWindow window;
    auto* label = new TLabel(&window);
    label->SetCaption("请输入题目的一部分：");
    auto* edit = new TEdit(&window);
    SetAccessibleLabel(*edit, *label);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(edit->Handle());
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("请输入题目的一部分："));
    EXPECT_EQ(iface->text(QAccessible::Value), QString());  // the box's own text stays its own
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label->Handle())->text(QAccessible::Name),
              QStringLiteral("请输入题目的一部分："));
}
