#pragma once
// The result list as a screen reader sees it: a list (AT-SPI role "list") named by its column titles,
// whose description tells how many rows the result holds ("共 N 条"), with one list item for each row
// on screen, named by the row's text as drawn (its first line). The current row is selected, and
// focused while the list has the focus. Each item knows its place on the screen, so that a point finds
// it and a click on that point makes it current. The scroll bar follows the rows as the list's last child.
#include <QAccessibleWidget>
#include <QString>
#include <functional>
#include <map>

namespace vcl {

class TDBGrid;
class GridView;

// What changed in the list, as the list tells its readers.
enum class GridChange {
    Result,  // a new result (opened, closed, rows added or removed): every row may be another row now
    Shown,   // the rows on screen, the current row, a row's text or state, or the layout
};

// Sends the events that keep screen readers current. The list's interface is made on the first change,
// whether a reader listens or not: it costs one small object, and keeps what readers were told in step.
void announceGridChange(TDBGrid& grid, GridChange change);

class GridAccessible : public QAccessibleWidget {
public:
    explicit GridAccessible(GridView& view);
    ~GridAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;

    // The events for a change; announceGridChange calls them.
    void resultReplaced();
    void shownChanged();
    // The list has just taken the focus: the current row has it now.
    void focusEntered();

    // Where the events go instead of to Qt, which drops them while no reader is active (as on the
    // offscreen platform, where a test listens here).
    using EventSink = std::function<void(QAccessibleEvent& event)>;
    void setEventSink(EventSink sink) { sink_ = std::move(sink); }

    // What a row shows, for its item.
    static QString rowName(const TDBGrid& grid, int record);
    static QString rowDescription(const TDBGrid& grid, int record);
    static QRect rowRect(const GridView& view, int record);  // on the screen; empty when not on screen
    static bool isCurrent(const TDBGrid& grid, int record);
    static void makeCurrent(TDBGrid& grid, int record);

private:
    TDBGrid& grid() const;
    int rowsOnScreen() const;
    // The item of a record on screen, made when first asked for.
    QAccessibleInterface* rowItem(int record) const;
    QAccessibleInterface* existingRowItem(int record) const;
    void dropRows(bool keepOnScreen);
    bool delivering() const;
    void send(QAccessibleInterface* item, QAccessible::Event type) const;
    void sendForList(QAccessible::Event type) const;  // about the list itself

    mutable std::map<int, QAccessible::Id> rows_;  // record -> its item, for the records on screen
    // What readers were last told.
    int shownTop_ = -1;
    int shownRows_ = -1;
    int current_ = -1;
    QString description_;
    EventSink sink_;
};

}  // namespace vcl
