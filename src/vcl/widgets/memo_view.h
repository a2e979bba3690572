#pragma once
// The widget of the full-text view: a plain-text box whose changing actions (typing, input-method
// commits, paste, cut, undo, drops) go through only when its owner allows a change first.
#include <QPlainTextEdit>
#include <functional>

class QKeyEvent;

namespace vcl {

class MemoView : public QPlainTextEdit {
    Q_OBJECT
public:
    MemoView();

    // Whether a change could start now (asked to offer a menu command or to accept a drop).
    std::function<bool()> canChange;
    // Asked right before an action changes the text; the action goes through only when it says yes.
    std::function<bool()> beginChange;
    // Escape: the owner puts back the text the row holds.
    std::function<void()> escapePressed;
    // The box lost the focus: the owner writes a changed text into the row.
    std::function<void()> focusLeft;

    // Whether the key alters the text when the box handles it (caret moves, selection, copy do not).
    static bool isChangingKey(const QKeyEvent& event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool changeBegun() const { return beginChange && beginChange(); }
    bool changePossible() const { return canChange && canChange(); }
};

}  // namespace vcl
