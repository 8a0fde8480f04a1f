#pragma once

#include "RowSetCursor.h"

#include <QMap>

namespace desk {

// An updatable row set over one base table, optionally filtered by a WHERE part. It keeps
// its position as the row's key (Engine::rowKey) and answers every move, find and read with
// one indexed query, so nothing is copied into memory; changes are written straight through
// to the table. The key is not among the columns: the engine assigns it to a new row.
class TableCursor final : public RowSetCursor {
public:
    // where: the condition of "SELECT * FROM t WHERE …" (translated), with its values.
    TableCursor(std::shared_ptr<Connection> connection, const QString& source, const QString& table,
                const QString& where, const QVariantList& whereBinds);
    ~TableCursor() override;

    bool isUpdatable() const override { return true; }
    int recordCount() override;
    bool toFirst() override;
    bool toLast() override;
    bool toAfter(qint64 from) override;
    bool toBefore(qint64 from) override;
    qint64 firstKey() const override;
    bool findFrom(int column, const Criterion& criterion, qint64 start) override;
    void setBookmark(RowSet::Bookmark bookmark) override;
    QList<RowSet::Bookmark> bookmarks() override;
    void release() override;

    void writePending() override;
    void discardPending() override;
    void addNew() override;
    void setNewRowValue(int column, const QVariant& stored) override;
    void setValue(int column, const QVariant& stored) override;
    void remove() override;
    bool pendingValue(int column, QVariant* value) const override;

protected:
    bool isEmptyNow() override;
    void reloadRow() override;

private:
    enum class Edit { None, AddNew, Change };

    // The engine's key that orders the rows as they were added.
    QString rowKey() const;
    // " ORDER BY" that key, with at most limit rows when limit > 0.
    QString inKeyOrder(bool descending, int limit) const;
    QString selectRows() const;
    QString whereAll() const;
    QString whereAnd(const QString& condition) const;
    int bindFilter(QSqlQuery& query) const;
    bool fetch(QSqlQuery& query);
    bool fetchAt(qint64 at);
    void runWrite(QSqlQuery& query);
    // A write through this cursor: the other desks are told, rows read ahead are dropped.
    void afterWrite();

    QString m_table;
    QString m_selectRows;    // "SELECT key, the other columns by name FROM table"
    QStringList m_columnSql; // each column's name as the engine knows it, quoted
    QString m_filter;
    QVariantList m_filterBinds;         // the values of the filter's "?" marks, bound first
    QMap<int, QVariant> m_newRowValues; // storage form
    Connection::Compiled m_first, m_next, m_prev, m_last, m_at, m_count, m_exists, m_delete;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_find;

    // Rows after m_aheadAfter in key order, read in one query (Engine::rowsReadAhead) while
    // the connection's write count for this table was m_aheadWrites; moves forward take them one by one.
    struct AheadRow {
        qint64 key = 0;
        QVector<QVariant> row;
    };
    QList<AheadRow> m_ahead;
    qint64 m_aheadAfter = 0;
    quint64 m_aheadWrites = 0;
    bool m_aheadValid = false;
    Connection::Compiled m_nextBatch;

    Edit m_edit = Edit::None;
    QMap<int, QVariant> m_pending; // storage form
    Pos m_savedPos = Pos::Unresolved;
    qint64 m_savedKey = 0;
};

} // namespace desk
