#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace desk {

class Connection;
class RowSetCursor;

// A positioned cursor over a table, a saved query (view) or a SELECT statement.
//
// Over one base table (opened by name, or "SELECT * FROM t [WHERE …]") it is updatable
// and every change is written straight through to the table; it keeps its position as the
// row's key and answers each move, find and read with one indexed query, so nothing is
// copied into memory. The key is the table's last column, which the row set does not show. Over a view or any other
// statement it is read-only and read whole on first use. Opening reads nothing. Column names are matched without regard
// to case.
//
// Values come back typed by the column's declared type: QDate for DATE, QDateTime for
// DATETIME, qint64 for integers, double for REAL/amounts, bool for BOOLEAN, QString for
// text; null stays a null QVariant.
class RowSet {
public:
    using Bookmark = qint64;

    // source: a table name, a view name or a SELECT statement in the suite's dialect, with
    // values for its "?" marks. Text literals in the statement are bound as values too.
    RowSet(std::shared_ptr<Connection> connection, const QString& source, const QVariantList& binds = {});
    ~RowSet();

    RowSet(const RowSet&) = delete;
    RowSet& operator=(const RowSet&) = delete;

    bool isUpdatable() const;
    QStringList columnNames() const;

    int recordCount() const;
    bool isEmpty() const;
    bool eof() const; // past the last row
    bool bof() const; // before the first row

    // Moving (and find, setBookmark, requery) first writes a pending add-new or change, as
    // the cursor engines did. moveNext at end-of-set and movePrevious at beginning-of-set
    // stay where they are.
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();

    // Searches forward from the current row, not skipping it, for the first row that
    // matches "Column = value" (numbers bare, text in single quotes); stops there or at
    // end-of-set. Returns !eof(). The value is compared by the column's type, so
    // "RptNo = '5'" and "RptNo =5" find the same row of a number column. Also accepted:
    // <>, <, >, <=, >=, #dates#, True/False and "= Null". At end-of-set it finds nothing;
    // after remove() it starts on the row after the removed one. A malformed criterion or
    // an unknown column is a DbError.
    bool find(const QString& criterion);

    Bookmark bookmark() const;
    void setBookmark(Bookmark bookmark);
    // The bookmark of every row, in the set's order, read in one query: with setBookmark it
    // gives positional access (row n is bookmarks()[n]) without copying the rows. Writes a
    // pending add-new or change first; the position is left as it was.
    QList<Bookmark> bookmarks() const;

    // add-new, set columns, update: appends a row; unset columns take the table default.
    void addNew();
    // Every row added from now on gets this value in the column unless it is set: a row set
    // over one desk's lines of a work table adds lines of that desk.
    void setNewRowValue(const QString& column, const QVariant& value);
    void setValue(const QString& column, const QVariant& value);
    // setValue on the current row starts a change of it; a value the column cannot hold is
    // a DbError at once. Writing to a read-only row set, or with no current row, is a DbError.
    // Writes the pending new row (which becomes the current row) or the pending changes of
    // the current row; with nothing pending it does nothing.
    void update();
    void cancelUpdate();
    // Removes the current row; the position then stands on the removed row's place
    // (moveNext reaches the following row).
    void remove();

    // The current row's value (a pending value while adding or changing). No current row
    // (end-of-set, beginning-of-set, removed row) is a DbError.
    QVariant value(const QString& column) const;
    QVariant value(int column) const;

    // Reads the source again, keeping no position (current row = first row).
    void requery();
    void close();

    Connection& connection() const;

private:
    std::unique_ptr<RowSetCursor> d;
};

} // namespace desk
