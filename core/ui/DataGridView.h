#pragma once

#include "ui/GridColumn.h"

#include <QModelIndex>
#include <QTableView>

namespace desk {

class DataGridModel;

// The data grid of the windows: a table view with the suite's column look, editors that take
// what each column holds (digits only in number columns), and the events the windows handle:
// a committed cell edit with its column, a key press with the current column (Enter handling
// stays in each window), a row about to be deleted with its values, and the current cell.
//
// Over a DataGridModel the clerk edits cells (typing starts the edit, F2 or a double click
// too), adds rows on the new-row line and removes a whole selected row with Delete (select
// it with its row header or Shift+Space). Over any other model it is a read-only grid.
class DataGridView : public QTableView {
    Q_OBJECT

public:
    explicit DataGridView(QWidget* parent = nullptr);
    ~DataGridView() override;

    // Sets the model and applies its columns (widths, the shared look).
    void setGridModel(QAbstractItemModel* model, const GridColumns& columns);
    DataGridModel* gridModel() const;

    int currentRow() const;
    int currentColumn() const;
    // Makes a cell current (no editor is opened: typing starts one).
    void setCurrentCell(int row, int column);
    // Sends a key to the grid after the current event has been handled, as if typed.
    void postKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

signals:
    // A cell edit the clerk made was written to its row (only when the value changed).
    void cellEditCommitted(int row, int column);
    // A key pressed in the grid or in its cell editor, with the current column. A handler may
    // replace the key (e.g. Enter by Tab) or set it to 0 to swallow it.
    void keyPressed(int& key, Qt::KeyboardModifiers modifiers, int column);
    // Before the row goes: its values by grid column.
    void rowAboutToBeDeleted(int row, const QVariantList& values);
    void currentCellChanged(int row, int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class DataGridDelegate;
    // true when the key was consumed (swallowed or replaced).
    bool filterKey(QObject* target, QKeyEvent* event);
    void deleteSelectedRow();
    void notePendingCommit(const QModelIndex& index);

    QPersistentModelIndex m_committed;
    bool m_inKeyHandler = false;
};

} // namespace desk
