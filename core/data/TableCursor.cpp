#include "TableCursor.h"

#include "Connection.h"
#include "Criterion.h"
#include "DbError.h"
#include "Engine.h"
#include "SchemaCatalogue.h"
#include "Sql.h"

#include <QSqlError>

#include <limits>

namespace desk {

using rowset::quoteName;

namespace {

// The catalogue's CREATE TABLE statement of a table of a file; empty when it has none.
QString catalogueStatement(const QString& fileName, const QString& table, const Engine& engine) {
    for (const Schema::Table& t : Schema::catalogueOf(fileName).tables) {
        if (t.name.compare(table, Qt::CaseInsensitive) == 0)
            return t.statement(engine);
    }
    return {};
}

} // namespace

TableCursor::TableCursor(std::shared_ptr<Connection> connection, const QString& sourceText, const QString& table,
                         const QString& where, const QVariantList& whereBinds)
    : RowSetCursor(std::move(connection), sourceText)
    , m_table(table)
    , m_filter(where)
    , m_filterBinds(whereBinds) {
    // The row key is the data layer's own: it positions the cursor, but no one above sees it
    // among the columns, sets it or copies it with a row.
    QStringList columnNames;
    QList<ColumnType> columnTypes;
    QStringList selected{rowKey()};
    // An engine that folds names gives them back in lower case; the catalogue's spelling is
    // what the clerk reads in a message and a caller names a column by.
    const QString spelling =
        conn->engine().foldsNames()
            ? catalogueStatement(conn->engine().fileNameOf(conn->filePath()), m_table, conn->engine())
            : QString();
    bool hasKey = false;
    for (const Connection::Column& c : conn->columns(m_table)) {
        if (c.name.compare(rowKey(), Qt::CaseInsensitive) == 0) {
            hasKey = true;
            continue;
        }
        columnNames << (spelling.isEmpty() ? c.name : Sql::spelledAs(c.name, spelling));
        columnTypes << columntype::fromDeclared(c.declaredType);
        m_columnSql << quoteName(c.name);
        selected << m_columnSql.constLast();
    }
    if (!hasKey)
        fail(QStringLiteral("表 %1 には行の番号の列（%2）がありません。deskadmin upgrade が必要なファイルです。")
                 .arg(m_table, rowKey()));
    setColumns(columnNames, columnTypes);
    m_selectRows =
        QStringLiteral("SELECT ") + selected.join(QLatin1String(", ")) + QStringLiteral(" FROM ") + quoteName(m_table);
    // Compiles the filter now, so a bad statement fails at open; no row is read.
    prepared(m_first, selectRows() + whereAll() + inKeyOrder(false, 1));
}

TableCursor::~TableCursor() = default;

QString TableCursor::selectRows() const {
    return m_selectRows;
}

QString TableCursor::rowKey() const {
    return conn->engine().rowKey();
}

QString TableCursor::inKeyOrder(bool descending, int limit) const {
    QString order = QStringLiteral(" ORDER BY ") + rowKey();
    if (descending)
        order += QStringLiteral(" DESC");
    return limit > 0 ? order + conn->engine().limit(limit) : order;
}

QString TableCursor::whereAll() const {
    return m_filter.isEmpty() ? QString() : QString(QStringLiteral(" WHERE (") + m_filter + u')');
}

QString TableCursor::whereAnd(const QString& condition) const {
    if (m_filter.isEmpty())
        return QStringLiteral(" WHERE ") + condition;
    return QStringLiteral(" WHERE (") + m_filter + QStringLiteral(") AND ") + condition;
}

// Binds the filter's values; the query's own values follow from the index returned.
int TableCursor::bindFilter(QSqlQuery& query) const {
    for (int i = 0; i < m_filterBinds.size(); ++i)
        query.bindValue(i, conn->engine().bindable(m_filterBinds.at(i)));
    return static_cast<int>(m_filterBinds.size());
}

// Runs a positioning query; true and the row loaded when it found one.
bool TableCursor::fetch(QSqlQuery& query) {
    run(query);
    const bool found = query.next();
    if (found) {
        key = query.value(0).toLongLong();
        row.resize(names.size());
        for (int i = 0; i < names.size(); ++i)
            row[i] = query.value(i + 1);
        rowValid = true;
        pos = Pos::Row;
        empty = Tri::No;
    }
    query.finish();
    return found;
}

bool TableCursor::toFirst() {
    QSqlQuery& q = prepared(m_first, {});
    bindFilter(q);
    return fetch(q);
}

bool TableCursor::toAfter(qint64 from) {
    const int ahead = conn->engine().rowsReadAhead();
    if (ahead > 1) {
        if (!m_aheadValid || m_aheadAfter != from || m_aheadWrites != conn->writesTo(m_table) || m_ahead.isEmpty()) {
            QSqlQuery& q = prepared(m_nextBatch, selectRows() + whereAnd(rowKey() + QStringLiteral(" > ?")) +
                                                     inKeyOrder(false, ahead));
            q.bindValue(bindFilter(q), from);
            run(q);
            m_ahead.clear();
            while (q.next()) {
                AheadRow next{q.value(0).toLongLong(), QVector<QVariant>(names.size())};
                for (int i = 0; i < names.size(); ++i)
                    next.row[i] = q.value(i + 1);
                m_ahead << next;
            }
            q.finish();
            m_aheadValid = true;
            m_aheadWrites = conn->writesTo(m_table);
        }
        if (m_ahead.isEmpty())
            return false;
        const AheadRow next = m_ahead.takeFirst();
        key = next.key;
        row = next.row;
        rowValid = true;
        pos = Pos::Row;
        empty = Tri::No;
        m_aheadAfter = key;
        return true;
    }
    QSqlQuery& q = prepared(m_next, selectRows() + whereAnd(rowKey() + QStringLiteral(" > ?")) + inKeyOrder(false, 1));
    q.bindValue(bindFilter(q), from);
    return fetch(q);
}

bool TableCursor::toBefore(qint64 from) {
    QSqlQuery& q = prepared(m_prev, selectRows() + whereAnd(rowKey() + QStringLiteral(" < ?")) + inKeyOrder(true, 1));
    q.bindValue(bindFilter(q), from);
    return fetch(q);
}

bool TableCursor::toLast() {
    QSqlQuery& q = prepared(m_last, selectRows() + whereAll() + inKeyOrder(true, 1));
    bindFilter(q);
    return fetch(q);
}

bool TableCursor::fetchAt(qint64 at) {
    QSqlQuery& q = prepared(m_at, selectRows() + QStringLiteral(" WHERE ") + rowKey() + QStringLiteral(" = ?"));
    q.bindValue(0, at);
    return fetch(q);
}

void TableCursor::reloadRow() {
    if (!fetchAt(key))
        fail(QStringLiteral("現在の行は、表 %1 にもうありません。").arg(m_table));
}

qint64 TableCursor::firstKey() const {
    return std::numeric_limits<qint64>::min();
}

bool TableCursor::isEmptyNow() {
    QSqlQuery& q =
        prepared(m_exists, QStringLiteral("SELECT EXISTS(SELECT 1 FROM ") + quoteName(m_table) + whereAll() + u')');
    bindFilter(q);
    run(q);
    const bool isEmpty = q.next() && q.value(0).toLongLong() == 0;
    q.finish();
    return isEmpty;
}

int TableCursor::recordCount() {
    QSqlQuery& q = prepared(m_count, QStringLiteral("SELECT COUNT(*) FROM ") + quoteName(m_table) + whereAll());
    bindFilter(q);
    run(q);
    const int count = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return count;
}

bool TableCursor::findFrom(int column, const Criterion& criterion, qint64 start) {
    // A value the column cannot hold equals no row; a server would refuse the comparison.
    if (criterion.op() == QLatin1String("=") && !criterion.fits(types.at(column)))
        return false;
    const QString cacheKey =
        QString::number(column) + u'|' + criterion.op() + u'|' + (criterion.isNull() ? u'n' : u'v');
    std::shared_ptr<QSqlQuery>& slot = m_find[cacheKey];
    if (!slot) {
        QString condition;
        const QString name = m_columnSql.at(column);
        if (criterion.isNull())
            condition = name + (criterion.op() == QLatin1String("=") ? QStringLiteral(" IS NULL")
                                                                     : QStringLiteral(" IS NOT NULL"));
        else
            condition = name + u' ' + criterion.op() + QStringLiteral(" ?");
        const QString statement = selectRows() +
                                  whereAnd(condition + QStringLiteral(" AND ") + rowKey() + QStringLiteral(" >= ?")) +
                                  inKeyOrder(false, 1);
        Connection::Compiled query;
        prepared(query, statement);
        slot = std::shared_ptr<QSqlQuery>(std::move(query));
    }
    QSqlQuery& q = *slot;
    int bind = bindFilter(q);
    if (!criterion.isNull())
        q.bindValue(bind++, conn->engine().bindable(criterion.operand(types.at(column))));
    q.bindValue(bind, start);
    return fetch(q);
}

void TableCursor::setBookmark(RowSet::Bookmark bookmark) {
    if (!fetchAt(bookmark))
        fail(QStringLiteral("ブックマークした行は、表 %1 にもうありません。").arg(m_table));
}

QList<RowSet::Bookmark> TableCursor::bookmarks() {
    QList<RowSet::Bookmark> keys;
    const QString statement = QStringLiteral("SELECT ") + rowKey() + QStringLiteral(" FROM ") + quoteName(m_table) +
                              whereAll() + inKeyOrder(false, 0);
    Connection::Compiled compiled;
    QSqlQuery& q = prepared(compiled, statement);
    bindFilter(q);
    run(q);
    while (q.next())
        keys.append(q.value(0).toLongLong());
    return keys;
}

void TableCursor::release() {
    m_first.reset();
    m_next.reset();
    m_prev.reset();
    m_last.reset();
    m_at.reset();
    m_count.reset();
    m_exists.reset();
    m_delete.reset();
    m_find.clear();
}

// A write the engine refuses; a duplicate key is named with the value written.
void TableCursor::afterWrite() {
    conn->wroteTo(m_table);
    m_aheadValid = false;
    // A write outside a save of several rows is a save of its own.
    if (conn->transactionDepth() == 0)
        conn->noticeChange();
}

void TableCursor::runWrite(QSqlQuery& query) {
    if (conn->isStale(query))
        conn->recompile(query);
    bool done = query.exec();
    if (!done && conn->revived(query.lastError(), query.lastQuery())) {
        conn->recompile(query);
        done = query.exec();
    }
    if (done) {
        afterWrite();
        return;
    }
    throw conn->engine().failure(query.lastError(), query.lastQuery(), conn->filePath(),
                                 [&](const QString& column) -> QVariant {
                                     const auto it = index.constFind(column.toLower());
                                     if (it == index.constEnd())
                                         return {};
                                     const auto value = m_pending.constFind(it.value());
                                     if (value != m_pending.constEnd())
                                         return value.value();
                                     return rowValid ? row.value(it.value()) : QVariant();
                                 });
}

void TableCursor::writePending() {
    if (m_edit == Edit::None)
        return;
    if (m_edit == Edit::AddNew) {
        for (auto it = m_newRowValues.constBegin(); it != m_newRowValues.constEnd(); ++it) {
            if (!m_pending.contains(it.key()))
                m_pending.insert(it.key(), it.value());
        }
        QString statement;
        if (m_pending.isEmpty()) {
            statement = QStringLiteral("INSERT INTO ") + quoteName(m_table) + QStringLiteral(" DEFAULT VALUES");
        } else {
            QStringList columns;
            QStringList marks;
            for (auto it = m_pending.constBegin(); it != m_pending.constEnd(); ++it) {
                columns << m_columnSql.at(it.key());
                marks << QStringLiteral("?");
            }
            statement = QStringLiteral("INSERT INTO ") + quoteName(m_table) + QStringLiteral(" (") +
                        columns.join(QLatin1String(", ")) + QStringLiteral(") VALUES (") +
                        marks.join(QLatin1String(", ")) + u')' + conn->engine().returningRowKey();
        }
        Connection::Compiled compiled;
        QSqlQuery& q = prepared(compiled, statement);
        int bind = 0;
        for (const QVariant& v : std::as_const(m_pending))
            q.bindValue(bind++, conn->engine().bindable(v));
        runWrite(q);
        // The engine numbers the row; one that does not report it returns it.
        key = q.next() ? q.value(0).toLongLong() : q.lastInsertId().toLongLong();
        q.finish();
        pos = Pos::Row;
        empty = Tri::No;
    } else {
        QStringList sets;
        for (auto it = m_pending.constBegin(); it != m_pending.constEnd(); ++it)
            sets << m_columnSql.at(it.key()) + QStringLiteral(" = ?");
        const QString statement = QStringLiteral("UPDATE ") + quoteName(m_table) + QStringLiteral(" SET ") +
                                  sets.join(QLatin1String(", ")) + QStringLiteral(" WHERE ") + rowKey() +
                                  QStringLiteral(" = ?");
        Connection::Compiled compiled;
        QSqlQuery& q = prepared(compiled, statement);
        int bind = 0;
        for (const QVariant& v : std::as_const(m_pending))
            q.bindValue(bind++, conn->engine().bindable(v));
        q.bindValue(bind, key);
        runWrite(q);
        const int affected = q.numRowsAffected();
        q.finish();
        if (affected == 0)
            fail(QStringLiteral("現在の行は、表 %1 にもうありません。").arg(m_table), statement);
    }
    rowValid = false;
    m_edit = Edit::None;
    m_pending.clear();
}

void TableCursor::discardPending() {
    if (m_edit == Edit::AddNew) {
        pos = m_savedPos;
        key = m_savedKey;
        rowValid = false;
    }
    m_edit = Edit::None;
    m_pending.clear();
}

void TableCursor::addNew() {
    writePending();
    m_savedPos = pos;
    m_savedKey = key;
    m_edit = Edit::AddNew;
    m_pending.clear();
}

void TableCursor::setNewRowValue(int column, const QVariant& stored) {
    m_newRowValues.insert(column, stored);
}

void TableCursor::setValue(int column, const QVariant& stored) {
    if (m_edit == Edit::None) {
        requireRow();
        m_edit = Edit::Change;
    }
    m_pending.insert(column, stored);
}

void TableCursor::remove() {
    if (m_edit == Edit::AddNew) {
        discardPending();
        return;
    }
    discardPending();
    requireRow();
    const QString statement = QStringLiteral("DELETE FROM ") + quoteName(m_table) + QStringLiteral(" WHERE ") +
                              rowKey() + QStringLiteral(" = ?");
    QSqlQuery& q = prepared(m_delete, statement);
    q.bindValue(0, key);
    run(q);
    q.finish();
    afterWrite();
    pos = Pos::Deleted;
    rowValid = false;
    empty = Tri::Unknown;
}

bool TableCursor::pendingValue(int column, QVariant* value) const {
    if (m_edit == Edit::None)
        return false;
    const auto it = m_pending.constFind(column);
    if (it != m_pending.constEnd())
        *value = columntype::fromStorage(types.at(column), it.value());
    else if (m_edit == Edit::AddNew)
        *value = QVariant();
    else
        return false;
    return true;
}

} // namespace desk
