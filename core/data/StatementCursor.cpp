#include "StatementCursor.h"

#include "Connection.h"
#include "Criterion.h"
#include "Engine.h"
#include "Sql.h"

#include <QSqlField>
#include <QSqlRecord>

namespace desk {

StatementCursor::StatementCursor(std::shared_ptr<Connection> connection, const QString& sourceText,
                                 const QString& statement, const QVariantList& binds, const QString& hint)
    : RowSetCursor(std::move(connection), sourceText)
    , m_sql(statement)
    , m_binds(binds)
    , m_hint(hint) {
    const QString head = Sql::maskLiterals(m_sql).trimmed().left(6).toUpper();
    if (!head.startsWith(QLatin1String("SELECT")) && !head.startsWith(QLatin1String("WITH")))
        fail(QStringLiteral("レコードセットを開けるのは、表、保存したクエリ、SELECT 文だけです。"));
    prepared(m_query, m_sql);
}

StatementCursor::~StatementCursor() = default;

void StatementCursor::load() {
    if (m_loaded)
        return;
    QSqlQuery& q = prepared(m_query, m_sql);
    for (int i = 0; i < m_binds.size(); ++i)
        q.bindValue(i, conn->engine().bindable(m_binds.at(i)));
    run(q);
    const QSqlRecord record = q.record();
    QStringList columnNames;
    QList<ColumnType> columnTypes;
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        QString declared = m_hint.isEmpty() ? QString() : conn->declaredType(field.name(), m_hint);
        if (declared.isEmpty())
            declared = conn->declaredType(field.name(), field.tableName());
        columnNames << Sql::resultName(field.name(), m_sql, conn->engine());
        columnTypes << columntype::fromDeclared(declared);
    }
    setColumns(columnNames, columnTypes);
    m_rows.clear();
    while (q.next()) {
        QVector<QVariant> values(record.count());
        for (int i = 0; i < record.count(); ++i)
            values[i] = q.value(i);
        m_rows.append(values);
    }
    q.finish();
    m_loaded = true;
    empty = m_rows.isEmpty() ? Tri::Yes : Tri::No;
}

bool StatementCursor::showIndex(qint64 i) {
    if (i < 0 || i >= m_rows.size())
        return false;
    key = i;
    row = m_rows.at(i);
    rowValid = true;
    pos = Pos::Row;
    return true;
}

int StatementCursor::recordCount() {
    load();
    return static_cast<int>(m_rows.size());
}

bool StatementCursor::isEmptyNow() {
    load();
    return m_rows.isEmpty();
}

bool StatementCursor::toFirst() {
    load();
    return showIndex(0);
}

bool StatementCursor::toLast() {
    load();
    return showIndex(m_rows.size() - 1);
}

bool StatementCursor::toAfter(qint64 from) {
    if (showIndex(from + 1))
        return true;
    key = m_rows.size();
    return false;
}

bool StatementCursor::toBefore(qint64 from) {
    if (showIndex(from - 1))
        return true;
    key = -1;
    return false;
}

bool StatementCursor::findFrom(int column, const Criterion& criterion, qint64 start) {
    const ColumnType type = types.at(column);
    for (qint64 i = std::max<qint64>(start, 0); i < m_rows.size(); ++i) {
        if (criterion.matches(m_rows.at(i).at(column), type))
            return showIndex(i);
    }
    key = m_rows.size();
    return false;
}

void StatementCursor::setBookmark(RowSet::Bookmark bookmark) {
    load();
    if (!showIndex(bookmark))
        fail(QStringLiteral("このブックマークは、このレコードセットの行を指していません。"));
}

QList<RowSet::Bookmark> StatementCursor::bookmarks() {
    load();
    QList<RowSet::Bookmark> keys;
    keys.reserve(m_rows.size());
    for (qint64 i = 0; i < m_rows.size(); ++i)
        keys.append(i);
    return keys;
}

void StatementCursor::forget() {
    m_loaded = false;
    m_rows.clear();
}

void StatementCursor::release() {
    m_query.reset();
    m_rows.clear();
}

} // namespace desk
