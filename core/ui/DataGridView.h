#pragma once

#include "ui/GridColumn.h"

#include <QModelIndex>
#include <QPointer>
#include <QTableView>

namespace desk {

class DataGridModel;

// The data grid of the windows: a table view with the suite's column look, line editors
// whose text the model takes as each column holds it, and the events the windows handle:
// a committed cell edit with its column, a key press with the current column (Enter handling
// stays in each window), a row about to be deleted with its values, and the current cell.
//
// Over a DataGridModel the clerk edits cells (typing starts the edit, F2 or a double click
// too; a click only makes a cell current, so no key typed after it is lost), adds rows on the
// new-row line and removes a whole selected row with Delete (select it with its row header
// or Shift+Space). Over any other model it is a read-only grid.
//
// A cell the clerk is typing in is written, through the same checks, on Enter, Tab, leaving
// it, any button of the window (desk::onClicked) and the window's closing. A value the cell
// refuses is told with the cell's own message and stays in its editor, which keeps (or gets
// back) the focus; the button or the closing then does nothing.
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
    // Writes the cell being typed in, if any, as Enter would, closes its editor and raises
    // cellEditCommitted. False when the cell refused the text (the clerk has been told and the
    // editor, still holding it, has the focus) or the window's handler refused the value.
    bool commitEditor();
    // Called by a cellEditCommitted handler that refused the value written (an unknown code)
    // and told the clerk: an action waiting on commitEditor() does not go ahead.
    void refuseCommittedEdit();

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
    void keyboardSearch(const QString& search) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DataGridDelegate;
    // true when the key was consumed (swallowed or replaced).
    bool filterKey(QObject* target, QKeyEvent* event);
    void deleteSelectedRow();
    void notePendingCommit(const QModelIndex& index);
    void noteRefusal(QWidget* editor, const QString& message);
    void clearRefusal();
    // The editor open with a text its cell refused.
    bool holdsRefusedText() const;
    // Tells the clerk why the cell refused its text, with the focus back in the cell.
    void reportRefusal();
    // The same, once the mouse button that took the focus away is up again.
    void queueReport();
    void reportOnceTheMouseIsUp();

    QPersistentModelIndex m_committed;
    bool m_inKeyHandler = false;
    bool m_handlerRefused = false;
    // The editor open now, the one whose text was refused, and the message not yet shown.
    QPointer<QWidget> m_openEditor;
    QPointer<QWidget> m_refusedEditor;
    QString m_refusal;
    bool m_reportQueued = false;
    // The editor is being left for another widget of the window (not for a message box).
    bool m_leavingEditor = false;
    QPointer<QWidget> m_watchedWindow;
};

} // namespace desk
