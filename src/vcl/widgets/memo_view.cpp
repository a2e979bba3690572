#include "vcl/widgets/memo_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <memory>

namespace vcl {

MemoView::MemoView()
{
    setUndoRedoEnabled(false);  // every reload replaces the text; there is nothing of the user's to undo
}

bool MemoView::isChangingKey(const QKeyEvent& event)
{
    static const QKeySequence::StandardKey keepers[] = {
        QKeySequence::Copy, QKeySequence::SelectAll,
    };
    for (QKeySequence::StandardKey key : keepers)
        if (event.matches(key))
            return false;
    // A character that no key of the keyboard names (Chinese typed without an input method, say).
    if (event.key() == Qt::Key_unknown)
        return !event.text().isEmpty();
    switch (event.key()) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta: case Qt::Key_AltGr:
    case Qt::Key_CapsLock: case Qt::Key_NumLock: case Qt::Key_ScrollLock:
    case Qt::Key_Escape: case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Menu:
        return false;
    default:
        break;
    }
    if (event.key() >= Qt::Key_F1 && event.key() <= Qt::Key_F35)
        return false;
    // Insert alone toggles nothing here; with Shift it pastes, with Ctrl it copies.
    if (event.key() == Qt::Key_Insert)
        return event.modifiers() & Qt::ShiftModifier;
    switch (event.key()) {
    case Qt::Key_Backspace: case Qt::Key_Delete: case Qt::Key_Return: case Qt::Key_Enter:
        return true;
    default:
        break;
    }
    if (event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut) ||
        event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo))
        return true;
    // A printable character (Ctrl or Alt combinations type nothing).
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint() &&
           !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

void MemoView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && escapePressed) {
        escapePressed();
        event->accept();
        return;
    }
    if (isChangingKey(*event) && !changeBegun()) {
        event->accept();  // swallowed: the box looks editable, but there is nothing to change yet
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void MemoView::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        if (!changeBegun()) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void MemoView::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (focusLeft)
        focusLeft();
}

bool MemoView::canInsertFromMimeData(const QMimeData* source) const
{
    return changePossible() && QPlainTextEdit::canInsertFromMimeData(source);
}

void MemoView::insertFromMimeData(const QMimeData* source)
{
    if (changeBegun())
        QPlainTextEdit::insertFromMimeData(source);
}

void MemoView::contextMenuEvent(QContextMenuEvent* event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    const bool possible = changePossible();
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        const bool changing = name == QLatin1String("edit-undo") || name == QLatin1String("edit-redo") ||
                              name == QLatin1String("edit-cut") || name == QLatin1String("edit-paste") ||
                              name == QLatin1String("edit-delete");
        if (!changing)
            continue;
        action->setEnabled(action->isEnabled() && possible);
        // Cut and Delete change the text without passing the box's own hooks: they ask first here.
        if (name == QLatin1String("edit-cut") || name == QLatin1String("edit-delete")) {
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            const bool cut = name == QLatin1String("edit-cut");
            connect(action, &QAction::triggered, this, [this, cut] {
                if (!changeBegun())
                    return;
                if (cut)
                    this->cut();
                else
                    textCursor().removeSelectedText();
            });
        }
    }
    menu->exec(event->globalPos());
}

}  // namespace vcl
