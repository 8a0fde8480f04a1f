#pragma once

#include "ColumnType.h"
#include "Connection.h"
#include "RowSet.h"

#include <QHash>
#include <QList>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

namespace desk {

class Connection;
class Criterion;

namespace rowset {
QString quoteName(const QString& name);
}

// What RowSet asks of its source: a table read row by row through indexed queries
// (TableCursor) or a statement read whole (StatementCursor). Holds what both keep: the
// columns, the position and the current row. Internal to core/data.
class RowSetCursor {
public:
    enum class Pos { Unresolved, Row, Bof, Eof, Deleted };
    enum class Tri { Unknown, Yes, No };

    RowSetCursor(std::shared_ptr<Connection> connection, const QString& source);
    virtual ~RowSetCursor();

    RowSetCursor(const RowSetCursor&) = delete;
    RowSetCursor& operator=(const RowSetCursor&) = delete;

    virtual bool isUpdatable() const = 0;
    // Columns a statement learns only when it runs.
    virtual void ensureColumns() {}
    virtual int recordCount() = 0;

    // Positioning: true and the row loaded when there is one. On false the position is left
    // for the caller to mark as an end.
    virtual bool toFirst() = 0;
    virtual bool toLast() = 0;
    virtual bool toAfter(qint64 from) = 0;
    virtual bool toBefore(qint64 from) = 0;
    // The first key a search from beginning-of-set starts on.
    virtual qint64 firstKey() const = 0;
    // The first row from `start` on whose column matches.
    virtual bool findFrom(int column, const Criterion& criterion, qint64 start) = 0;
    virtual void setBookmark(RowSet::Bookmark bookmark) = 0;
    virtual QList<RowSet::Bookmark> bookmarks() = 0;
    // Forgets what was read, so the next use reads the source again.
    virtual void forget() {}
    virtual void release() {}

    // Editing: a read-only source refuses every change.
    virtual void writePending() {}
    virtual void discardPending() {}
    virtual void addNew();
    virtual void setNewRowValue(int column, const QVariant& stored);
    virtual void setValue(int column, const QVariant& stored);
    virtual void remove();
    // The value an edit in progress gives the column (a pending value, or null on a new
    // row); false when the current row answers.
    virtual bool pendingValue(int column, QVariant* value) const;

    [[noreturn]] void fail(const QString& message, const QString& statement = {}) const;
    // A failure the engine reported, in the clerk's words by its cause.
    [[noreturn]] void failEngine(const QSqlError& error, const QString& statement) const;
    void ensureOpen() const;
    void ensureUpdatable() const;
    int columnIndex(const QString& name);
    // The stored form of a value for the column; a value it cannot hold is a DbError.
    QVariant storable(int column, const QVariant& value) const;
    void setColumns(const QStringList& columnNames, const QList<ColumnType>& columnTypes);
    QSqlQuery& prepared(Connection::Compiled& slot, const QString& statement);
    void run(QSqlQuery& query);
    void atEnd(Pos end, bool setIsEmpty);
    void resolve();
    bool isEmptySet();
    void requireRow();

    // Declared first so that it goes last: every query of a cursor must be gone before the
    // connection is.
    std::shared_ptr<Connection> conn;
    QString source;
    bool closed = false;

    QStringList names;
    QList<ColumnType> types;
    QHash<QString, int> index; // lower-case name → column

    // position: the row key over a table, a row index over a statement
    Pos pos = Pos::Unresolved;
    qint64 key = 0;
    Tri empty = Tri::Unknown;
    QVector<QVariant> row; // storage form
    bool rowValid = false;

protected:
    virtual bool isEmptyNow() = 0;
    // Reads the current row again when it is not at hand (after a write).
    virtual void reloadRow() {}
};

} // namespace desk
