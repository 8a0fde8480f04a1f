#pragma once

#include <QTableView>

namespace arrivalapp {

// The party's list on the check-in window. Tab walks the cells of a line and on to the next
// line, whether a cell is being typed in or not (the from-abroad box has no editor), and
// leaves the list after its last cell, as Shift+Tab does before its first: the clerk types a
// whole party without the mouse and goes on to the buttons.
class GuestGrid : public QTableView {
    Q_OBJECT
public:
    explicit GuestGrid(QWidget* parent = nullptr);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool atEnd(CursorAction cursorAction) const;
};

} // namespace arrivalapp
