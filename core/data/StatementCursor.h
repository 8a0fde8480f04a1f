#pragma once

#include "RowSetCursor.h"

namespace desk {

// A read-only row set over a view or any SELECT statement: run once on first use and held
// whole; the position is a row index.
class StatementCursor final : public RowSetCursor {
public:
    // hint: the table or view the statement reads from, for the columns' declared types.
    StatementCursor(std::shared_ptr<Connection> connection, const QString& source, const QString& statement,
                    const QVariantList& binds, const QString& hint);
    ~StatementCursor() override;

    bool isUpdatable() const override { return false; }
    void ensureColumns() override { load(); }
    int recordCount() override;
    bool toFirst() override;
    bool toLast() override;
    bool toAfter(qint64 from) override;
    bool toBefore(qint64 from) override;
    qint64 firstKey() const override { return 0; }
    bool findFrom(int column, const Criterion& criterion, qint64 start) override;
    void setBookmark(RowSet::Bookmark bookmark) override;
    QList<RowSet::Bookmark> bookmarks() override;
    void forget() override;
    void release() override;

protected:
    bool isEmptyNow() override;

private:
    void load();
    bool showIndex(qint64 i);

    QString m_sql;
    QVariantList m_binds;
    QString m_hint;
    Connection::Compiled m_query;
    bool m_loaded = false;
    QVector<QVector<QVariant>> m_rows;
};

} // namespace desk
