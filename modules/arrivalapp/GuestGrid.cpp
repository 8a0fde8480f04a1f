#include "GuestGrid.h"

namespace arrivalapp {

GuestGrid::GuestGrid(QWidget* parent)
    : QTableView(parent) {
    setTabKeyNavigation(true);
}

bool GuestGrid::atEnd(CursorAction cursorAction) const {
    const QModelIndex current = currentIndex();
    if (!model() || !current.isValid())
        return true;
    if (cursorAction == MoveNext)
        return current.row() == model()->rowCount() - 1 && current.column() == model()->columnCount() - 1;
    if (cursorAction == MovePrevious)
        return current.row() == 0 && current.column() == 0;
    return false;
}

QModelIndex GuestGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    // No move past either end: the key then takes the focus on to the next control instead of
    // wrapping round to the other end of the list.
    if (atEnd(cursorAction))
        return {};
    return QTableView::moveCursor(cursorAction, modifiers);
}

void GuestGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool leaving = (hint == QAbstractItemDelegate::EditNextItem && atEnd(MoveNext)) ||
                         (hint == QAbstractItemDelegate::EditPreviousItem && atEnd(MovePrevious));
    if (!leaving) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    // The typed text is already committed; the editor closes and the focus moves on at once.
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
}

} // namespace arrivalapp
