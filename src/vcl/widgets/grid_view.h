#pragma once
// The painted area of the result list and its vertical scroll bar; it turns keys, clicks, wheel turns and
// scroll-bar actions into moves of the dataset's current row.
#include <QFrame>

class QScrollBar;

namespace vcl {

class TDBGrid;

class GridView : public QFrame {
    Q_OBJECT
public:
    explicit GridView(TDBGrid& grid);

    TDBGrid& grid() const noexcept { return grid_; }
    QScrollBar* scrollBar() const noexcept { return scrollBar_; }
    // The painted cells, inside the border, without the scroll bar.
    QRect cellArea() const;
    // Where the scroll bar goes, and whether it shows.
    void placeScrollBar(bool visible);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scrollBarAction(int action);
    void scrollBarReleased();

    TDBGrid& grid_;
    QScrollBar* scrollBar_;
    int wheelRemainder_ = 0;
};

}  // namespace vcl
